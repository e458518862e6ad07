#include <gtest/gtest.h>

#include <map>
#include <set>

#include "band/dialog/graph_menu.h"
#include "band/draw/redraw.h"
#include "band_graph_support.h"
#include "common/publication.h"

using namespace common;
using namespace annotate;
using namespace band;

using bandtest::bandsText;
using bandtest::findCall;
using bandtest::graphFor;
using bandtest::Session;
using bandtest::writeText;

namespace {

class Menu : public bandtest::InScratchDir {
protected:
    void SetUp() override {
        InScratchDir::SetUp();
        writeText("fort.2", bandsText(4, {51, 51, 51, 26}, 2));
    }
    // Runs the menu on `input` (a final "0" quits) and returns the calls
    // drawn after the last clear of the page.
    static std::vector<std::string> afterLastPage(const RecordingPlot& p) {
        long last = -1;
        for (size_t i = 0; i < p.calls.size(); ++i)
            if (p.calls[i] == "page") last = static_cast<long>(i);
        return {p.calls.begin() + (last + 1), p.calls.end()};
    }
};

// Everything on: three lines, tics on every axis, labels, titles, two free
// texts, Fermi line.
BandGraph decorated() {
    BandGraph g = graphFor(3);
    g.flags.fill(true);
    g.border = true;
    g.range = g.ehigh - g.elow;
    g.tics = TicRange{-12, 8, 0.5f, 2.0f};
    g.tic_side = {1, 2, 3, 1};
    g.labels[1] = "L";
    g.labels[2] = "\\GAMMA";
    g.labels[3] = "X";
    g.labels[4] = "W";
    g.titles[1] = "t1";
    g.titles[2] = "t2";
    g.titles[3] = "t3";
    g.vtitle = "Energy (eV)";
    g.texts = {FreeText{"left", 0.2f, 0.3f, 0, 0}, FreeText{"right", 0.6f, 0.3f, 90, 2}};
    g.efermi = -2.0f;
    g.fermi_line = true;
    return g;
}

}  // namespace

// ---- tic marks through option 3 ----

TEST_F(Menu, TicDialogueClampsTheRangeAndDrawsEachAxisWithItsSide) {
    BandGraph g = graphFor(3);
    // start -15 -> -12, end 10 -> 8; 0.25 eV, left side 1, 4 tics per label;
    // line 2 side 2, line 3 both sides, right border none
    Session s("3\n-15\n10\n0.25\n1\n4\n2\n3\n0\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_TRUE(g.flags[kFlagTics]);
    EXPECT_FLOAT_EQ(g.tics.start, -12.0f);
    EXPECT_FLOAT_EQ(g.tics.end, 8.0f);
    EXPECT_FLOAT_EQ(g.tics.label_distance, 1.0f);
    EXPECT_EQ(g.nsub, 4);
    EXPECT_EQ(g.tic_side[1], 1);
    EXPECT_EQ(g.tic_side[3], 3);
    EXPECT_EQ(s.plot.matching("box"), (std::vector<std::string>{
                                          "box '' 1 4 'ABN     ITSV' 1 4",
                                          "box '' 1 4 'AB      TSV' 1 4",
                                          "box '' 1 4 'AB      ITSV' 1 4",
                                          "box '' 1 4 'AB      TSV' 1 4",
                                      }));
    auto svp = s.plot.matching("svp");
    EXPECT_EQ(s.plot.matching("swin")[0], "swin 0.11785 1 -12 8");
    EXPECT_EQ(svp[0], "svp 0.11785 1 0.125 0.875");
    const std::string out = s.out.str();
    EXPECT_NE(out.find(" Energy axis tic marking and labeling.\n\n"
                       " Minimum energy:  -12.00000 eV\n"
                       " Maximum energy:    8.00000 eV\n"
                       " Energy range:     20.00000 eV\n\n"
                       " Tic range settings apply to all axes.\n\n"
                       " Tic start energy:           Tic end energy:             Distance between two tics: "
                       "\n Left axis:\n\n Select axis side"),
              std::string::npos);
    EXPECT_NE(out.find(" Tics per label (<1: no labels): \n Symmetry line  2:\n\n Select"), std::string::npos);
    EXPECT_NE(out.find("\n Symmetry line  3:\n"), std::string::npos);
    EXPECT_NE(out.find("\n Right border:\n"), std::string::npos);
}

TEST_F(Menu, ThreeTicsOfPointThreePerLabelAndTheRangeClampedDistance) {
    BandGraph g = graphFor(2);
    Session s("3\n-12\n8\n0.3\n1\n3\n0\n0\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_EQ(s.plot.matching("box"), (std::vector<std::string>{"box '' 0.9 3 'ABN     ITSV' 0.9 3"}));

    // a tic distance beyond the energy range becomes the range, one tic per label
    BandGraph h = graphFor(2);
    h.elow = 0;
    h.ehigh = 5;
    Session t("3\n0\n5\n8\n1\n2\n0\n0\n0\n");
    tlgrph(t.plot, t.con, h);
    EXPECT_FLOAT_EQ(h.tics.distance, 5.0f);
    EXPECT_EQ(t.plot.matching("box"), (std::vector<std::string>{"box '' 5 1 'ABN     ITSV' 5 1"}));
}

TEST_F(Menu, ATicRangeOfNoLengthDrawsNoAxis) {
    BandGraph g = graphFor(2);
    Session s("3\n2\n2\n0.5\n3\n1\n3\n3\n9\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_TRUE(g.flags[kFlagTics]);
    EXPECT_TRUE(s.plot.matching("box").empty());
    EXPECT_TRUE(s.plot.matching("swin 0.11785 1").empty());
}

TEST_F(Menu, OneLineWithoutBorderHasNoRightAxis) {
    BandGraph g = graphFor(1);
    Session s("3\n-12\n8\n1\n3\n1\n0\n");
    tlgrph(s.plot, s.con, g);
    // both sides at the left edge: the numbers come once, with the outward tics
    EXPECT_EQ(s.plot.matching("box"), (std::vector<std::string>{"box '' 1 1 'ABN     ITSV' 1 1",
                                                                "box '' 1 1 'AB      TSV' 1 1"}));
    EXPECT_EQ(s.out.str().find("Right border:"), std::string::npos);
    // with the border added the right edge is an axis position
    Session t("2\n3\n-12\n8\n1\n3\n1\n2\n0\n");
    tlgrph(t.plot, t.con, g);
    EXPECT_NE(t.out.str().find("\n Right border:\n"), std::string::npos);
    EXPECT_EQ(t.plot.matching("box").back(), "box '' 1 1 'AB      TSV' 1 1");
    EXPECT_EQ(g.tic_side[2], 2);
}

// ---- the redraw ----

TEST_F(Menu, RedrawDrawsTheElementsInTheirFixedOrder) {
    BandGraph g = decorated();
    RecordingPlot p;
    tlrdrw(p, g);
    const auto& c = p.calls;
    const long bands = findCall(c, "line");
    const long border = findCall(c, "move 0.58926 0");
    const long tics = findCall(c, "box");
    const long label = findCall(c, "ptxt 0.11785 0.09375 0 0.5 'L'");
    const long title = findCall(c, "ptxt 0.21606 0.055 0 0.5 't1'");
    const long vtitle = findCall(c, "ptxt 0.02357 0.5 90 0.5 'Energy (eV)'");
    const long text = findCall(c, "ptxt 0.6 0.3 90 1 'right'");
    const long fermi = findCall(c, "ptxt 0.72211 0.49125 0 0 ");
    EXPECT_EQ(c[0], "scf 2");
    EXPECT_EQ(c[1], "sci 1");
    EXPECT_GT(bands, 0);
    EXPECT_GT(border, bands);
    EXPECT_GT(tics, border);
    EXPECT_GT(label, tics);
    EXPECT_GT(title, label);
    EXPECT_GT(vtitle, title);
    EXPECT_GT(text, vtitle);
    EXPECT_GT(fermi, text);
    EXPECT_EQ(c.back(), "sls 1");
    // tics at the left edge, both separators and the right edge
    EXPECT_EQ(p.matching("box").size(), 5u);
    EXPECT_EQ(findCall(c, "swin 0.70711 1 -12 8") > tics, true);
    EXPECT_EQ(findCall(c, "ptxt 0.70711 0.09375 0 0.5 'W'") > label, true);
}

TEST_F(Menu, OneFontForEveryTextWithOrWithoutTics) {
    for (bool tics : {true, false}) {
        BandGraph g = decorated();
        g.flags[kFlagTics] = tics;
        RecordingPlot p;
        p.scf(1);  // left by the crossing dialogue's band numbers
        tlrdrw(p, g);
        EXPECT_EQ(p.matching("box").empty(), !tics);
        EXPECT_EQ(p.textFonts(), std::set<int>{kTextFont}) << "tics " << tics;
    }
}

// A picture drawn `drawn` points wide and shown `cm` wide: every character
// height that reaches the device is 8.5 pt there at every width, every line
// at least 0.5 pt, and a band range drawn twice as wide as the plain bands
// stays twice as wide.
TEST_F(Menu, TextKeepsItsPointsAndLinesTheirProportionsAtEveryWidth) {
    struct Row {
        double drawn, cm;
    };
    const Row rows[] = {{583, 8.5}, {583, 17}, {430, 8.5}, {2000, 4}, {300, 50}, {583, 4}, {583, 50}};
    for (const Row& r : rows) {
        BandGraph g = decorated();
        g.styles.push_back(BandStyle{1, 2, 4, 2 * kLineWidth, 1});  // a band range in a width of its own
        RecordingPlot p;
        const PictureSizes sizes = sizesForWidth(r.drawn, r.cm, kLineWidth);
        SizedPlot sized(p, sizes);
        sized.sch(1.0f);
        tlrdrw(sized, g);
        const double scale = r.cm / 2.54 * 72.0 / r.drawn;
        std::set<float> heights;
        for (const std::string& c : p.matching("sch ")) heights.insert(std::stof(c.substr(4)));
        std::set<int> widths;
        for (const std::string& c : p.matching("slw ")) widths.insert(std::stoi(c.substr(4)));
        ASSERT_EQ(heights.size(), 1u) << r.drawn << " " << r.cm;
        EXPECT_NEAR(*heights.begin() * 8.267 * 72 / 40 * scale, 8.5, 0.1) << r.drawn << " " << r.cm;
        EXPECT_GE(*widths.begin() * 0.36 * scale, 0.5) << r.drawn << " " << r.cm;
        ASSERT_EQ(widths.size(), 2u) << r.drawn << " " << r.cm << ": the plain and the wide bands";
        EXPECT_NEAR(*widths.rbegin(), 2 * *widths.begin(), 1) << r.drawn << " " << r.cm;
    }
}

TEST_F(Menu, AllFlagsOffShowsOnlyFrameAndBands) {
    BandGraph g = decorated();
    g.flags.fill(false);
    RecordingPlot p;
    tlrdrw(p, g);
    EXPECT_TRUE(p.matching("ptxt").empty());
    EXPECT_TRUE(p.matching("box").empty());
    EXPECT_EQ(p.matching("line").size(), 6u);
    EXPECT_EQ(p.matching("move 0.58926 0").size(), 0u);
}

// ---- menu options ----

TEST_F(Menu, BadSelectionsAskAgainAndTheMenuIsShownInFull) {
    BandGraph g = graphFor(3);
    Session s("16\n-1\nx\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_EQ(s.out.str(),
              "\n Graph modification menu:\n\n"
              " ( 1) Change energy range\n ( 2) Add border\n ( 3) Add energy axis tic marks and tic labels\n"
              " ( 4) Add symmetry axes labels\n ( 5) Add symmetry line and energy axis titles\n"
              " ( 6) Add optional text (eg. symmetry labels)\n ( 7) Mark fermi energy\n"
              " ( 8) Change symmetry line lengths\n ( 9) Clear and redraw\n (10) Generate output file\n"
              " (11) Save graph layout\n (12) Load graph layout\n (13) Change band colours and line widths\n"
              " (14) Legend\n (15) Orbital character of the bands\n\n"
              " ( 0) Quit program\n\n"
              " Selection:  Selection:  Selection:  Selection: ");
    EXPECT_TRUE(g.border);  // two or more lines: the frame is closed
    EXPECT_EQ(s.plot.calls, (std::vector<std::string>{"sls 1"}));
}

// Option 15: nothing to choose without fort.16; with it none, the groups'
// colours or one group's fat band, the legend then naming the groups.
TEST_F(Menu, OrbitalCharacterIsChosenWhenTheBandsHaveOne) {
    BandGraph plain = graphFor(3);
    Session none("15\n0\n");
    tlgrph(none.plot, none.con, plain);
    EXPECT_NE(none.out.str().find(" Selection:  No band character fort.16: the bands have no orbital character to show.\n"),
              std::string::npos);
    EXPECT_EQ(plain.show, CharacterView{});

    struct Row {
        const char* answers;
        CharacterView view;
        std::vector<std::string> legend;  // the entries' names
    };
    const Row rows[] = {
        {"15\n1\n0\n", {CharacterMode::colours, 1}, {"Fe d", "Fe s"}},
        {"15\n3\n2\n0\n2\n0\n", {CharacterMode::fat, 2}, {"Fe s"}},
        {"15\n0\n0\n", {}, {}},
    };
    for (const Row& r : rows) {
        BandGraph g = graphFor(3);
        g.character.names = {"Fe d", "Fe s"};
        Session s(r.answers);
        tlgrph(s.plot, s.con, g);
        EXPECT_EQ(g.show, r.view) << r.answers;
        EXPECT_EQ(g.legend.on, r.view.mode != CharacterMode::off) << r.answers;
        std::vector<std::string> names;
        for (const LegendEntry& e : legendEntries(g)) names.push_back(e.text);
        EXPECT_EQ(names, r.legend) << r.answers;
    }
}

TEST_F(Menu, EnergyRangeKeepsEveryElementRedrawnForTheNewRange) {
    struct Row {
        const char* answers;
        TicRange tics;      // after the change
        const char* note;   // the line saying the tics were chosen anew, or ""
    };
    const Row rows[] = {
        // the same distances on the same values over the narrower window
        {"1\n-5\n5\n0\n", {-4, 4, 0.5f, 2}, ""},
        // no two labels 2 eV apart fit in 1 eV: chosen anew, said once
        {"1\n-2.5\n-1.5\n0\n", {-2.5f, -1.5f, 0.05f, 0.1f},
         " Tic distance 0.5 does not fit the range -2.5 ... -1.5: tics every 0.05, labels every 0.1.\n"},
    };
    for (const Row& r : rows) {
        BandGraph g = decorated();
        Session s(r.answers);
        tlgrph(s.plot, s.con, g);
        for (int k : {kFlagTics, kFlagLabels, kFlagTitles, kFlagTexts, kFlagFermi})
            EXPECT_TRUE(g.flags[static_cast<size_t>(k)]) << k;
        EXPECT_FLOAT_EQ(g.tics.start, r.tics.start) << r.answers;
        EXPECT_FLOAT_EQ(g.tics.end, r.tics.end) << r.answers;
        EXPECT_FLOAT_EQ(g.tics.distance, r.tics.distance) << r.answers;
        EXPECT_FLOAT_EQ(g.tics.label_distance, r.tics.label_distance) << r.answers;
        EXPECT_FLOAT_EQ(g.range, g.ehigh - g.elow);
        EXPECT_EQ(s.out.str().find(" Tic distance") != std::string::npos, *r.note != 0) << s.out.str();
        if (*r.note) {
            EXPECT_NE(s.out.str().find(r.note), std::string::npos) << s.out.str();
        }
        // the redraw of the new window carries numbers, labels, titles and the marker
        auto last = afterLastPage(s.plot);
        EXPECT_NE(findCall(last, "box ''"), -1);
        EXPECT_NE(findCall(last, "ptxt 0.11785 0.09375 0 0.5 'L'"), -1);
        EXPECT_NE(findCall(last, "ptxt 0.02357 0.5 90 0.5 'Energy (eV)'"), -1);
        EXPECT_NE(findCall(last, "ptxt 0.72211"), -1);
    }
}

TEST_F(Menu, BorderOnlyWithOneLine) {
    BandGraph g = graphFor(3);
    Session s("2\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_FALSE(g.flags[kFlagBorder]);
    EXPECT_EQ(s.plot.calls, (std::vector<std::string>{"sls 1"}));

    BandGraph one = graphFor(1);
    Session t("2\n9\n0\n");
    tlgrph(t.plot, t.con, one);
    EXPECT_TRUE(one.flags[kFlagBorder]);
    EXPECT_TRUE(one.border);
    auto last = afterLastPage(t.plot);
    EXPECT_NE(findCall(last, "move 0.39284 0"), -1);
    EXPECT_NE(findCall(last, "draw 0 0.75", static_cast<size_t>(findCall(last, "move 0.39284 0"))), -1);
}

TEST_F(Menu, LabelsAreCutToTwentyCharacters) {
    BandGraph g = graphFor(2);
    Session s("4\n\\GAMMA is the centre of the zone\nX\nW\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_EQ(g.labels[1], fortran::A("\\GAMMA is the centre", 80));
    EXPECT_EQ(g.labels[1].size(), 80u);
    EXPECT_NE(s.out.str().find(" Symmetry line  1, left label: "
                               " \"\\GAMMA is the centre of the zone\" was cut to \"\\GAMMA is the centre\" (20 characters).\n"
                               " Symmetry line  2, left label:  Right border, label:          \n"),
              std::string::npos);
    EXPECT_EQ(s.plot.matching("ptxt"),
              (std::vector<std::string>{"ptxt 0.11785 0.09375 0 0.5 '\\gGis the centre'",
                                        "ptxt 0.41248 0.09375 0 0.5 'X'", "ptxt 0.70711 0.09375 0 0.5 'W'"}));
    EXPECT_TRUE(g.flags[kFlagLabels]);
}

TEST_F(Menu, TitlesBelowThePanelsAndTheEnergyTitleUpright) {
    BandGraph g = graphFor(2);
    Session s("5\nfirst line title that is long\nB\nEnergy (eV)\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_EQ(g.titles[1], fortran::A("first line title tha", 80));
    EXPECT_EQ(s.plot.matching("swin")[0], "swin 0 0.707107 0 1");
    EXPECT_EQ(s.plot.matching("ptxt"),
              (std::vector<std::string>{"ptxt 0.265165 0.055 0 0.5 'first line title tha'",
                                        "ptxt 0.559795 0.055 0 0.5 'B'",
                                        "ptxt 0.02357 0.5 90 0.5 'Energy (eV)'"}));
}

TEST_F(Menu, PointLabelsAndLineTitlesKeepApartAtAnyLineCount) {
    // Labels ("L") and titles ("T") as options 4 and 5 draw them and as the
    // redraw draws them again: one row each, the title row a character
    // height (0.025) and a subscript below the label row, all on the page.
    for (int n = 1; n <= 10; ++n) {
        BandGraph g = graphFor(n);
        std::string answers = "4\n";
        // n + 1 labels, then option 5 with n titles
        for (int l = 0; l <= 2 * n; ++l) answers += l == n + 1 ? "5\nT\n" : l > n ? "T\n" : "L\n";
        Session s(answers + "E\n9\n0\n");
        tlgrph(s.plot, s.con, g);
        std::map<char, std::set<float>> rows;
        for (const std::string& c : s.plot.matching("ptxt")) {
            float x = 0, y = 0;
            std::istringstream(c.substr(5)) >> x >> y;
            rows[c[c.size() - 2]].insert(y);
        }
        ASSERT_EQ(rows['L'].size(), 1u) << n;
        ASSERT_EQ(rows['T'].size(), 1u) << n;
        const float label = *rows['L'].begin(), title = *rows['T'].begin();
        EXPECT_LT(label + 0.025f, g.geom.frame_y0) << n;
        EXPECT_LE(title + 0.025f, label - 0.25f * 0.025f) << n;
        EXPECT_GE(title, 0.025f) << n;
    }
}

TEST_F(Menu, FermiMarkerPointsAtTheFermiLevel) {
    BandGraph g = graphFor(2);
    g.elow = -2;
    g.ehigh = 2;
    Session s("7\n0\ny\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_TRUE(g.flags[kFlagFermi]);
    EXPECT_TRUE(g.fermi_line);
    EXPECT_EQ(s.plot.matching("ptxt")[0].rfind("ptxt 0.72211 0.49125 0 0 ", 0), 0u);
    EXPECT_EQ(s.plot.matching("move")[0], "move 0 0");
    EXPECT_EQ(s.plot.matching("draw")[0], "draw 0.58926 0");
}

TEST_F(Menu, FreeTextsReplaceTheEarlierOnes) {
    BandGraph g = decorated();
    Session s("6\nnew\n1\n45\n0.3 0.4\n\n0\n");
    tlgrph(s.plot, s.con, g);
    ASSERT_EQ(g.texts.size(), 1u);
    EXPECT_EQ(g.texts[0].pos, 1);
    EXPECT_FLOAT_EQ(g.texts[0].angle, 45.0f);
    EXPECT_EQ(s.plot.matching("ptxt"), (std::vector<std::string>{"ptxt 0.3 0.4 45 0.5 'new'"}));
}

TEST_F(Menu, LineLengthsOnlyWithSeveralLines) {
    BandGraph g = graphFor(3);
    Session s("8\n1\n1\n2\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_FLOAT_EQ(g.line_pos[2], 0.58926f / 4);
    EXPECT_EQ(s.plot.calls[1], "page");
    EXPECT_NE(findCall(s.plot.calls, "svp 0.265165 0.41248 0.125 0.875"), -1);

    BandGraph one = graphFor(1);
    Session t("8\n0\n");
    tlgrph(t.plot, t.con, one);
    EXPECT_EQ(t.out.str().find("Symmetry line lengths"), std::string::npos);
    EXPECT_EQ(t.plot.calls, (std::vector<std::string>{"sls 1"}));
}

TEST_F(Menu, BandsThatEndEarlyAreReportedAtARedrawAndTheMenuGoesOn) {
    BandGraph g = graphFor(2);
    g.bands = BandsFile{"fort.2", 2, {}, "", 2};
    Session s("9\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_NE(s.out.str().find(" fort.2, record 2: ends after 0 of 2 symmetry lines; bands drawn up to there.\n"),
              std::string::npos);
}

// ---- output file ----

TEST_F(Menu, OutputDeviceFollowsTheLineCount) {
    // PostScript in colour: the band colours of option 13 reach the EPS
    EXPECT_EQ(outputDevice(1, 4), "tarlisen.eps/CPS  ");
    EXPECT_EQ(outputDevice(1, 3), "tarlisen.eps/VCPS ");
    EXPECT_EQ(outputDevice(2, 4), "tarlisen.plt/HPGL ");
    EXPECT_EQ(outputDevice(2, 3), "tarlisen.plt/VHPGL");
    EXPECT_EQ(outputDevice(2, 1), "tarlisen.plt/VHPGL");
    // SVG, the last entry, is made from the colour EPS
    EXPECT_EQ(outputDevice(6, 4), "tarlisen.eps/CPS  ");
    EXPECT_EQ(outputDevice(6, 3), "tarlisen.eps/VCPS ");
}

TEST_F(Menu, OutputDrawsOnTheFileDeviceThenAgainOnTheScreen) {
    BandGraph g = decorated();
    Session s("10\n0\n5\n1\n0\n");
    tlgrph(s.plot, s.con, g);
    const auto& c = s.plot.calls;
    const long open = findCall(c, "open");
    ASSERT_NE(open, -1);
    EXPECT_EQ(c[static_cast<size_t>(open)], "open 'tarlisen.eps/VCPS '");
    EXPECT_EQ(c[static_cast<size_t>(open) + 1], "slct 2");
    EXPECT_EQ(c[static_cast<size_t>(open) + 2], "pap 8.267 1");
    const long clos = findCall(c, "clos");
    ASSERT_GT(clos, open);
    EXPECT_EQ(c[static_cast<size_t>(clos) + 1], "slct 1");
    EXPECT_EQ(c[static_cast<size_t>(clos) + 2], "page");
    // the same picture on both devices
    std::vector<std::string> file(c.begin() + open + 5, c.begin() + clos);
    std::vector<std::string> screen(c.begin() + clos + 3, c.end());
    EXPECT_EQ(file, screen);
    EXPECT_NE(s.out.str().find("\n Output file options:\n (1) Postscript/encapsulated postscript\n (2) HPGL\n (3) PDF\n (4) PNG\n (6) SVG\n\n"
                               // 0 is no choice, nor 5 (the figure) without a DOS to draw
                               " Selection:  Selection:  Selection: "
                               // a recording plot writes no file
                               " tarlisen.eps: cannot be read\n"),
              std::string::npos);

    BandGraph wide = graphFor(4);
    Session t("10\n2\n0\n");
    tlgrph(t.plot, t.con, wide);
    EXPECT_EQ(t.plot.matching("open")[0], "open 'tarlisen.plt/HPGL '");
}

TEST_F(Menu, AFailingOutputDeviceIsReportedAndTheScreenRedrawn) {
    BandGraph g = graphFor(3);
    Session s("10\n2\n0\n");
    s.plot.failOpen = true;
    tlgrph(s.plot, s.con, g);
    EXPECT_NE(s.out.str().find(" Output device tarlisen.plt/VHPGL could not be opened.\n"), std::string::npos);
    EXPECT_TRUE(s.plot.matching("clos").empty());
    EXPECT_TRUE(s.plot.matching("pap").empty());
    const long open = findCall(s.plot.calls, "open");
    EXPECT_EQ(s.plot.calls[static_cast<size_t>(open) + 1], "slct 1");
    EXPECT_EQ(s.plot.calls[static_cast<size_t>(open) + 2], "page");
    EXPECT_EQ(s.plot.matching("line").size(), 6u);
}

// A label or title longer than its field is cut, and one line says so;
// one that fits (trailing blanks aside) is taken without a word.
TEST_F(Menu, TitlesCutAtTheirFieldWidthSaySo) {
    BandGraph g = graphFor(2);
    Session s("5\nshort   \n\\DELTA\nE - E\\sub F\\endsub (eV)\n0\n");
    tlgrph(s.plot, s.con, g);
    EXPECT_EQ(g.vtitle, fortran::A("E - E\\sub F\\endsub (", 80));
    const std::string out = s.out.str();
    EXPECT_NE(out.find(" \"E - E\\sub F\\endsub (eV)\" was cut to \"E - E\\sub F\\endsub (\" (20 characters).\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("was cut"), out.rfind("was cut"));
}
