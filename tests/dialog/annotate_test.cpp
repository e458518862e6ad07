#include <gtest/gtest.h>

#include <sstream>

#include "annotate/marks.h"
#include "annotate/tics.h"
#include "common/console.h"
#include "common/records.h"
#include "fixtures.h"

using namespace common;
using namespace annotate;

using fixture::Session;

TEST(Tics, OnlyTheFrameEdgeCarriesNumericLabels) {
    RecordingPlot p;
    TicRange t{-12.0f, 8.0f, 0.25f, 1.0f};
    int nsub = 0;
    tltica(p, {{0.11785f, 0.125f, 0.58926f, 0.75f}, -12.0f, 20.0f, 0.11785f, 1}, t, nsub);
    EXPECT_EQ(nsub, 4);
    tltica(p, {{0.11785f, 0.125f, 0.58926f, 0.75f}, -12.0f, 20.0f, 0.3f, 2}, t, nsub);
    auto boxes = p.matching("box");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "box '' 1 4 'ABN     ITSV' 1 4");
    EXPECT_EQ(boxes[1], "box '' 1 4 'AB      TSV' 1 4");
    EXPECT_EQ(p.matching("swin")[0], "swin 0.11785 1 -12 8");
    EXPECT_EQ(p.matching("svp")[0], "svp 0.11785 1 0.125 0.875");
}

TEST(Tics, SubintervalsRoundAndSideThreeDrawsTwoBoxes) {
    RecordingPlot p;
    int nsub = 0;
    tltica(p, {{0.1f, 0.1f, 0.58926f, 0.8f}, 0.0f, 10.0f, 0.1f, 3}, TicRange{0, 10, 0.3f, 1.0f}, nsub);
    EXPECT_EQ(nsub, 3);
    auto boxes = p.matching("box");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].find("'ABN     ITSV' 1 3"), std::string::npos);
    EXPECT_NE(boxes[1].find("'AB      TSV' 1 3"), std::string::npos);  // numbers written once
    // the DOS energy axis the same way
    p.clear();
    mvtica(p, {{0.1f, 0.1f, 0.6f, 0.8f}, 0.0f, 10.0f, 0.1f, 3}, 2, TicRange{0, 10, 0.3f, 1.0f}, nsub);
    EXPECT_EQ(p.matching("box"), (std::vector<std::string>{"box '        ITS' 1 3 'ABN     ITSV' 1 3",
                                                           "box '        TS' 1 3 'AB      TSV' 1 3"}));
    p.clear();
    tltica(p, {{0.1f, 0.1f, 0.58926f, 0.8f}, 0.0f, 10.0f, 0.5f, 0}, TicRange{0, 10, 0.3f, 1.0f}, nsub);
    EXPECT_TRUE(p.matching("box").empty());
}

TEST(Tics, WithoutLabelsTicsAtTheTicDistanceAndNoNumbers) {
    RecordingPlot p;
    int nsub = 4;
    tltica(p, {{0.1f, 0.1f, 0.58926f, 0.8f}, 0.0f, 10.0f, 0.1f, 1}, TicRange{0, 10, 0.5f, 0.0f}, nsub);
    EXPECT_EQ(nsub, 4);  // kept from the last labelled axis
    EXPECT_EQ(p.matching("box")[0], "box '' 0.5 1 'AB      ITSV' 0.5 1");
}

TEST(Tics, HorizontalDosAxisLabelsOnlyAtTheFrameBottom) {
    RecordingPlot p;
    int nsub = 0;
    TicRange t{0.0f, 4.0f, 0.5f, 1.0f};
    mvtica(p, {{0.11785f, 0.125f, 0.58926f, 0.75f}, 0.0f, 4.0f, 0.125f, 3}, 1, t, nsub);
    auto boxes = p.matching("box");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "box 'ABN     ITS' 1 2 '        ITSV' 1 2");
    EXPECT_EQ(boxes[1], "box 'AB      TS' 1 2 '        TSV' 1 2");  // numbers written once
    p.clear();
    // the upper axis is the top edge of a box down to the frame's bottom:
    // tics into the frame, or out of it with the numbers above the frame
    mvtica(p, {{0.11785f, 0.125f, 0.58926f, 0.75f}, 0.0f, 4.0f, 0.875f, 1}, 1, t, nsub);
    EXPECT_EQ(p.matching("box")[0], "box 'C       TS' 1 2 '        ITSV' 1 2");
    EXPECT_EQ(p.matching("svp")[0], "svp 0.11785 0.70711 0.125 0.875");
    p.clear();
    mvtica(p, {{0.11785f, 0.125f, 0.58926f, 0.75f}, 0.0f, 4.0f, 0.875f, 3}, 1, t, nsub);
    EXPECT_EQ(p.matching("box"), (std::vector<std::string>{"box 'C       TS' 1 2 '        ITSV' 1 2",
                                                           "box 'CM      ITS' 1 2 '        TSV' 1 2"}));
    p.clear();
    mvtica(p, {{0.11785f, 0.125f, 0.58926f, 0.75f}, 0.0f, 4.0f, 0.875f, 2}, 1, TicRange{0, 4, 0.5f, 0}, nsub);
    EXPECT_EQ(p.matching("box")[0], "box 'C       ITS' 0.5 1 '        TSV' 0.5 1");  // no labels asked: no numbers
    p.clear();
    mvtica(p, {{0.11785f, 0.125f, 0.58926f, 0.75f}, -5.0f, 10.0f, 0.11785f, 2}, 2, t, nsub);
    EXPECT_EQ(p.matching("box")[0], "box '        TS' 1 2 'ABN     TSV' 1 2");
}

TEST(TicDialogue, StartAndEndClampedAndAskedAgainWhenCrossed) {
    Session s("2.0\n9\n5\n4\n3\n20\n0\n-1\n0.5\n");
    TicRange t;
    askTicRange(s.con, 3.0f, 8.0f, kEnergyTicPrompts, t);
    EXPECT_FLOAT_EQ(t.start, 3.0f);  // 2.0 raised to the minimum, 9 lowered to 8
    EXPECT_FLOAT_EQ(t.end, 8.0f);
    EXPECT_FLOAT_EQ(t.distance, 5.0f);
    Session s2("5\n4\n3\n7\n0\n-1\n0.5\n");
    askTicRange(s2.con, 3.0f, 8.0f, kEnergyTicPrompts, t);
    EXPECT_FLOAT_EQ(t.start, 3.0f);
    EXPECT_FLOAT_EQ(t.end, 7.0f);
    EXPECT_FLOAT_EQ(t.distance, 0.5f);
}

TEST(TicDialogue, DistanceGivingMoreThanAThousandTicsIsAskedAgain) {
    // 20 eV at 0.01 is 2000 tics, at 0.02 exactly 1000; a distance of 0 or
    // less is refused without the reason
    Session s("-12\n8\n0.00001\n0\n0.01\n0.02\n");
    TicRange t;
    askTicRange(s.con, -13.0f, 9.0f, kEnergyTicPrompts, t);
    EXPECT_FLOAT_EQ(t.distance, 0.02f);
    EXPECT_EQ(s.in.rdbuf()->in_avail(), 0);
    const std::string d = kEnergyTicPrompts.distance, tooMany = " Too many tics: at most 1000 per axis.\n";
    const std::string out = s.out.str();
    EXPECT_EQ(out.substr(out.find(d)), d + tooMany + d + d + tooMany + d);
}

TEST(Tics, SettingsBeyondAThousandTicsOrLabelsDrawNoAxis) {
    EXPECT_TRUE(ticsFit(TicRange{-12.0f, 8.0f, 0.02f, 0.04f}));
    EXPECT_TRUE(ticsFit(TicRange{0.0f, 0.0f, 0.0f, 0.0f}));  // never set
    EXPECT_TRUE(ticsFit(TicRange{-12.0f, 8.0f, -1.0f, 0.0f}));
    EXPECT_FALSE(ticsFit(TicRange{-12.0f, 8.0f, 0.00001f, 0.0f}));
    EXPECT_FALSE(ticsFit(TicRange{-12.0f, 8.0f, 1.0f, 0.00001f}));
    RecordingPlot p;
    int nsub = 3;
    tltica(p, {{0.1f, 0.1f, 0.58926f, 0.8f}, -12.0f, 20.0f, 0.1f, 3}, TicRange{-12.0f, 8.0f, 0.00001f, 0.00001f}, nsub);
    mvtica(p, {{0.1f, 0.1f, 0.6f, 0.8f}, 0.0f, 10.0f, 0.1f, 1}, 1, TicRange{0.0f, 10.0f, 1.0f, 0.001f}, nsub);
    EXPECT_TRUE(p.calls.empty());
    EXPECT_EQ(nsub, 3);
}

TEST(TicDialogue, DistanceBeyondTheRangeBecomesTheRange) {
    Session s("2\n");
    TicRange t{0, 5, 8.0f, 0};
    askTicsPerLabel(s.con, 5.0f, t);
    EXPECT_FLOAT_EQ(t.distance, 5.0f);
    EXPECT_FLOAT_EQ(t.label_distance, 5.0f);
    Session s2("0\n");
    askTicsPerLabel(s2.con, 5.0f, t);
    EXPECT_FLOAT_EQ(t.label_distance, 0.0f);
}

TEST(TicDialogue, LabelDistanceTheLayoutCannotKeepIsAskedAgain) {
    auto refusal = [](float v) { return fieldRefusal(v, 10, 5); };
    Session s("99\n0\n");
    TicRange t{-200.0f, 200.0f, 300.0f, 0};
    askTicsPerLabel(s.con, 400.0f, t, refusal);  // 29700 eV is wider than F10.5
    EXPECT_FLOAT_EQ(t.label_distance, 0.0f);
    EXPECT_FLOAT_EQ(t.distance, 300.0f);
    EXPECT_NE(s.out.str().find(" The layout file cannot hold this value: 29700 does not fit its 10 columns.\n"),
              std::string::npos);
    Session s2("99\n");
    askTicsPerLabel(s2.con, 200.0f, t, refusal);  // beyond the range: one tic per label
    EXPECT_FLOAT_EQ(t.label_distance, 200.0f);
    EXPECT_FLOAT_EQ(t.distance, 200.0f);
}

TEST(TicDialogue, SideMenus) {
    Session s("4\nx\n3\n");
    EXPECT_EQ(tltics(s.con), 3);
    EXPECT_EQ(s.out.str(),
              "\n Select axis side of tic marks \n (0) No tic marks\n (1) Left side\n (2) Right side\n"
              " (3) Both sides\n\n Option:  Option:  Option: ");
    Session s2("1\n");
    EXPECT_EQ(mvtics(s2.con, 1), 1);
    EXPECT_NE(s2.out.str().find(" (1) Lower side\n (2) Upper side\n"), std::string::npos);
    EXPECT_EQ(s2.out.str().rfind("\n", 0), std::string::npos);  // no leading empty line
}

TEST(Marks, FermiMarkerRightOfTheFrameAndDashedLineAcrossIt) {
    RecordingPlot p;
    tlfrmi(p, {{0.11785f, 0.125f, 0.58926f, 0.75f}, -2.0f, 2.0f}, {0.0f, 0.0f, 0.707107f, 1.0f}, {-1.0f, true});
    // the whole view surface: a text right of a portrait page is not clipped
    EXPECT_EQ(p.calls[0], "swin 0 1 0 1");
    EXPECT_EQ(p.matching("ptxt")[0], "ptxt 0.72211 0.30375 0 0 '\\(2263) E\\dF \\u'");
    EXPECT_EQ(p.matching("sls")[0], "sls 2");
    EXPECT_EQ(p.matching("move")[0], "move 0 -1");
    EXPECT_EQ(p.matching("draw")[0], "draw 0.58926 -1");
    EXPECT_EQ(p.calls.back(), "sls 1");
}

TEST(Marks, FermiTextOutsideTheFrameAtTheLevelAndMarksOnBothEdgesWithoutLine) {
    // Wherever the level lies, the text starts right of the frame beyond an
    // outward tic (half a character height of 0.025), its arrow (0.35
    // character heights above the baseline) at the level; without the dashed
    // line a short mark at the exact level on each edge, pointing inwards.
    const float x0 = 0.11785f, y0 = 0.125f, w = 0.58926f, h = 0.75f, ch = 0.025f;
    for (float ef : {-12.0f, -11.99f, 0.0f, 1.0f, 7.99f, 8.0f}) {
        RecordingPlot p;
        tlfrmi(p, {{x0, y0, w, h}, -12.0f, 8.0f}, {0.0f, 0.0f, 0.707107f, 1.0f}, {ef, false});
        std::istringstream f(p.matching("ptxt").at(0).substr(5));
        float x = 0, y = 0;
        f >> x >> y;
        const float level = y0 + h * (ef + 12.0f) / 20.0f;
        EXPECT_GE(x, x0 + w + 0.5f * ch) << ef;
        EXPECT_NEAR(y + 0.35f * ch, level, 1e-5) << ef;
        const auto moves = p.matching("move"), draws = p.matching("draw");
        ASSERT_EQ(moves.size(), 2u) << ef;
        ASSERT_EQ(draws.size(), 2u) << ef;
        float mx = 0, my = 0, dx = 0, dy = 0;
        std::istringstream(moves[0].substr(5)) >> mx >> my;
        std::istringstream(draws[0].substr(5)) >> dx >> dy;
        EXPECT_NEAR(mx, x0, 1e-5);
        EXPECT_GT(dx, x0);
        EXPECT_NEAR(my, level, 1e-5);
        EXPECT_NEAR(dy, level, 1e-5);
        std::istringstream(moves[1].substr(5)) >> mx >> my;
        std::istringstream(draws[1].substr(5)) >> dx >> dy;
        EXPECT_NEAR(mx, x0 + w, 1e-5);
        EXPECT_LT(dx, x0 + w);
        EXPECT_NEAR(dy, level, 1e-5);
    }
    // a level outside a narrowed window has no marker
    RecordingPlot q;
    tlfrmi(q, {{x0, y0, w, h}, -2.0f, 2.0f}, {0.0f, 0.0f, 0.707107f, 1.0f}, {3.0f, true});
    EXPECT_TRUE(q.calls.empty());
}

TEST(Marks, FermiDialogueRefusesEnergiesOutsideTheWindow) {
    Session s("-2.01\n2.5\n1.0\nx\nn\n");
    float ef = 0;
    bool line = true;
    askFermi(s.con, -2.0f, 2.0f, true, ef, line);
    EXPECT_FLOAT_EQ(ef, 1.0f);
    EXPECT_FALSE(line);
    EXPECT_EQ(s.out.str(), "\n Fermi energy:  Fermi energy:  Fermi energy:  Mark with line? (y/n)  Mark with line? (y/n) ");
}

TEST(Marks, FreeTextsPlacedWithTheConsoleCursorAndRedrawn) {
    Session s("L\n0\n0\n0.1, 0.2\nR\n2\n90\nbad\n0.5 0.6\n\n");
    std::vector<FreeText> texts;
    enterFreeTexts(s.plot, s.con, {0.0f, 0.0f, 0.707107f, 1.0f}, texts, 200);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_FLOAT_EQ(texts[1].x, 0.5f);
    EXPECT_FLOAT_EQ(texts[1].angle, 90.0f);
    EXPECT_EQ(texts[1].pos, 2);
    EXPECT_EQ(s.plot.matching("ptxt")[1], "ptxt 0.5 0.6 90 1 'R'");
    RecordingPlot p;
    drawFreeTexts(p, 0.707107f, 1.0f, texts);
    EXPECT_EQ(p.matching("ptxt"), s.plot.matching("ptxt"));
}

TEST(Marks, FreeTextAngleOrPositionTheLayoutCannotKeepIsAskedAgain) {
    Session s("A\n0\n1e6\n45\n123456 0.5\n0.5 -0.1\n0.2 0.3\n\n");
    std::vector<FreeText> texts;
    enterFreeTexts(s.plot, s.con, {0.0f, 0.0f, 1.0f, 1.0f}, texts, 200, [](float v) { return fieldRefusal(v, 10, 5); });
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_FLOAT_EQ(texts[0].angle, 45.0f);
    EXPECT_FLOAT_EQ(texts[0].x, 0.2f);
    const std::string out = s.out.str();
    EXPECT_NE(out.find(" The layout file cannot hold this value: 1e+06 does not fit its 10 columns.\n"),
              std::string::npos);
    // a position off the page is said, as the page coordinates are
    EXPECT_NE(out.find(" (Page coordinates from its lower left corner: x 0 ... 1.00 across, y 0 ... 1.00 up.)\n"),
              std::string::npos);
    size_t offPage = 0;
    for (size_t at = out.find(" That position lies off the page"); at != std::string::npos; at = out.find(" That position lies off the page", at + 1))
        ++offPage;
    EXPECT_EQ(offPage, 2u) << out;
    EXPECT_EQ(s.plot.matching("ptxt").size(), 1u);
}

TEST(Marks, FullTextTableEndsTheOption) {
    Session s("A\n0\n0\n0.1 0.1\nB\n");
    std::vector<FreeText> texts;
    enterFreeTexts(s.plot, s.con, {0.0f, 0.0f, 1.0f, 1.0f}, texts, 1);
    EXPECT_EQ(texts.size(), 1u);
    EXPECT_NE(s.out.str().find(" The text table is full (1 texts).\n"), std::string::npos);
}

TEST(Marks, BordersAndTitles) {
    RecordingPlot p;
    mvbrdr(p, {{0.1f, 0.125f, 0.3f, 0.75f}, 2}, {{0.4f, 0.125f, 0.3f, 0.75f}, 0});
    EXPECT_EQ(p.matching("draw").size(), 2u);
    EXPECT_EQ(p.matching("move")[0], "move 0.1 0.875");
    // the edges lie on the panel viewport's own edges: drawn unclipped
    EXPECT_EQ(p.matching("svp"), std::vector<std::string>{"svp 0.1 0.4 0.125 0.875"});
    EXPECT_EQ(p.calls[p.calls.size() - 5], "sclp 0");
    EXPECT_EQ(p.calls.back(), "sclp 1");
    p.clear();
    mvtitl(p, {{0.1f, 0.125f, 0.3f, 0.75f}, 1}, {{0.4f, 0.125f, 0.3f, 0.75f}, 1}, 0.1f, {"DOS", "COOP", "E"});
    auto t = p.matching("ptxt");
    ASSERT_EQ(t.size(), 3u);
    // three character heights below the panels: clear of a lower axis's numbers
    EXPECT_EQ(t[0], "ptxt 0.25 0.05 0 0.5 'DOS'");
    EXPECT_EQ(t[1], "ptxt 0.55 0.05 0 0.5 'COOP'");
    EXPECT_EQ(t[2], "ptxt 0.02 0.5 90 0.5 'E'");
}

TEST(Tics, AnAxisOnTheRightPageEdgeGetsABoxBeyondIt) {
    // a landscape DOS page is 1.0 wide: its right axis lies on the edge
    RecordingPlot p;
    int nsub = 0;
    mvtica(p, {{0.16667f, 0.088388f, 0.83333f, 0.53033f}, -10.0f, 20.0f, 1.0f, 2}, 2, TicRange{-10, 10, 1, 5}, nsub);
    EXPECT_EQ(p.matching("swin")[0], "swin 1 2 -10 10");
    EXPECT_EQ(p.matching("svp")[0], "svp 1 2 0.088388 0.618718");
    EXPECT_EQ(p.matching("box")[0], "box '        TS' 5 5 'AB      TSV' 5 5");
}

TEST(Tics, ATicRangeOfNoLengthDrawsNoDosAxis) {
    RecordingPlot p;
    int nsub = 0;
    mvtica(p, {{0.11785f, 0.125f, 0.58926f, 0.75f}, -10.0f, 20.0f, 0.11785f, 1}, 2, TicRange{2, 2, 1, 0}, nsub);
    EXPECT_TRUE(p.calls.empty());
}
