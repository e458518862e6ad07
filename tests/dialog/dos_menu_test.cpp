#include <gtest/gtest.h>

#include "dos/core/buffers.h"
#include "dos/dialog/buffer_dialog.h"
#include "dos/dialog/main_menu.h"
#include "dos_fixture.h"
#include "dos/draw/drawing.h"

using namespace common;
using namespace dos;

using dostest::Session;
using dostest::Shape;
using dostest::graphFor;
using dostest::load;

namespace {

std::vector<std::string> lines(const std::vector<MenuEntry>& m) {
    std::vector<std::string> r;
    for (const auto& e : m) r.push_back(e.text);
    return r;
}

}  // namespace

TEST(DosMainMenu, NumberingFollowsTheInputAndTheBuffers) {
    Shape s;
    s.nao = 2;  // NTOT 3, NAO 2, NFMO 0, NCOOP 1
    DosInput in = dostest::input(s);
    DosGraph g = graphFor(in);
    auto menu = buildMainMenu(in, g);
    EXPECT_EQ(lines(menu), (std::vector<std::string>{
                               " ( 1) Density of states",
                               " ( 2) Integrated density of states",
                               " ( 3) Total energy",
                               " ( 4) AO contribution to DOS (2 projection(s))",
                               " ( 5) Integrated AO contribution to DOS (2 projection(s))",
                               " ( 6) COOP (1 projection(s))",
                               " ( 7) Integrated COOP (1 projection(s))",
                               "\n ( 8) Modify graph",
                               " ( 9) Generate outputfile",
                               " (10) Save graph layout",
                               " (11) Load graph layout",
                           }));
    load(in, g, Panel::COOP, 6);
    menu = buildMainMenu(in, g);
    EXPECT_EQ(menu[8].text, " ( 9) Delete buffer");
    EXPECT_EQ(numberOf(menu, MenuAction::Output), 10);
    EXPECT_EQ(numberOf(menu, MenuAction::LoadLayout), 12);

    Session out;
    printMainMenu(out.con, menu);
    EXPECT_EQ(out.out.str().substr(0, 38), "\n Main menu:\n\n ( 1) Density of states\n");
    EXPECT_NE(out.out.str().find("\n\n ( 8) Modify graph\n ( 9) Delete buffer\n"), std::string::npos);
    EXPECT_EQ(out.out.str().substr(out.out.str().size() - 22), "\n\n ( 0) Quit program\n\n");
}

TEST(DosMainMenu, WithoutTotalsTheProjectionsStartAtOne) {
    Shape s;
    s.ntot = 0;
    s.nao = 0;
    s.nfmo = 3;
    s.ncoop = 0;
    DosInput in = dostest::input(s);
    auto menu = buildMainMenu(in, graphFor(in));
    ASSERT_EQ(menu.size(), 6u);
    EXPECT_EQ(menu[0].text, " ( 1) FMO contribution to DOS (3 projection(s))");
    EXPECT_EQ(menu[2].text, "\n ( 3) Modify graph");
    EXPECT_EQ(dispatch(menu, 1), MenuAction::FMO);
    EXPECT_EQ(dispatch(menu, 2), MenuAction::IntegratedFMO);
}

TEST(DosMainMenu, DispatchSelectsOnlyEntriesShownNow) {
    DosInput in = dostest::input();
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    auto withBuffer = buildMainMenu(in, g);
    EXPECT_EQ(dispatch(withBuffer, 9), MenuAction::Delete);
    deleteBuffer(g, 1);
    auto empty = buildMainMenu(in, g);
    // 9 was "Delete buffer" a moment ago; now it is the output file
    EXPECT_EQ(dispatch(empty, 9), MenuAction::Output);
    EXPECT_EQ(numberOf(empty, MenuAction::Delete), -1);
    for (int s = 0; s <= 20; ++s) EXPECT_NE(dispatch(empty, s), MenuAction::Delete);
    EXPECT_FALSE(dispatch(empty, 0));
    EXPECT_FALSE(dispatch(empty, 12));
    EXPECT_FALSE(dispatch(empty, -1));
}

TEST(DosMainMenu, QuitTypedAtOnceAndOutOfRangeAsksOnlyTheSelection) {
    DosInput in = dostest::input();
    DosGraph g = graphFor(in);
    Session s("12\n-1\nx\n0\n");
    runMainMenu(s.plot, s.con, in, g, 1, "/nonexistent/fort.7");
    const std::string out = s.out.str();
    EXPECT_EQ(out.find(" Main menu:"), out.rfind(" Main menu:"));  // shown once
    EXPECT_NE(out.find(" Selection:  Selection:  Selection:  Selection: "), std::string::npos);
    EXPECT_TRUE(s.plot.calls.empty());
}

TEST(DosMainMenu, ProjectionListShowsTheCountedLines) {
    Shape sp;
    sp.nfmo = 2;
    sp.lines = 3;
    sp.desc = [](int k, int p, int j) {
        return k == 1 && p == 2 && j == 1 ? std::string(75, 'a') + "bbbbb" : "fmo " + std::to_string(p) + "." + std::to_string(j);
    };
    DosInput in = dostest::input(sp);
    Session s("0\n3\n2\n");
    EXPECT_EQ(askProjection(s.con, in, ProjKind::FMO), 2);
    const std::string pad70(68, ' ');  // "fmo p.j" padded to 75
    EXPECT_EQ(s.out.str(), "\n FMO projection(s) of DOS:\n\n"
                           " (1) fmo 1.1" + pad70 + "\n"
                           "     fmo 1.2" + pad70 + "\n"
                           "     fmo 1.3" + pad70 + "\n"
                           " (2) " + std::string(75, 'a') + "\n"
                           "     fmo 2.2" + pad70 + "\n"
                           "     fmo 2.3" + pad70 + "\n"
                           " \n Selection:  Selection:  Selection: ");
}

TEST(DosMainMenu, IntegratedAoAsksTheMaximum) {
    Shape sp;
    sp.value = [](int c, int i) { return c == 0 ? static_cast<float>(i) : (c == 5 ? 0.4f * static_cast<float>(i - 1) : 0.5f); };
    DosInput in = dostest::input(sp);  // curve 5 (integrated AO 1) runs 0 ... 1.6
    DosGraph g = graphFor(in);
    Session s("5\n1\n2.0\n0\n");
    runMainMenu(s.plot, s.con, in, g, 1, "fort.7");
    EXPECT_NE(s.out.str().find(" Enter maximum of AO projected DOS curve: "), std::string::npos);
    ASSERT_EQ(g.nd, 1);
    EXPECT_EQ(g.buffer(1).curve, 5);
    EXPECT_FLOAT_EQ(g.buffer(1).max, 2.0f);
    EXPECT_FLOAT_EQ(g.dos_max, 2.0f);
    EXPECT_EQ(fortran::trimRight(g.buffer(1).title), "AOPROJ  ao 1 line 1");
    // a requested maximum below the curve's own keeps the curve's
    g = graphFor(in);
    s.feed("5\n1\n1.0\n0\n");
    runMainMenu(s.plot, s.con, in, g, 1, "fort.7");
    EXPECT_FLOAT_EQ(g.buffer(1).max, 1.6f);
    EXPECT_FLOAT_EQ(g.buffer(1).min, 0.0f);
}

TEST(DosBuffers, FirstCurveIsAskedNothingAndFillsTheDefaultWidth) {
    DosInput in = dostest::input();
    DosGraph g = graphFor(in);
    Session s("6\n1\n0\n");  // COOP of projection 1
    runMainMenu(s.plot, s.con, in, g, 1, "fort.7");
    EXPECT_EQ(s.out.str().find("Create a new graph"), std::string::npos);
    EXPECT_NE(s.out.str().find("\n OVLPROJ coop 1 line 1" + std::string(51, ' ') + "\n assigned to COOP curve buffer # 9\n"),
              std::string::npos);
    EXPECT_EQ(g.nc, 1);
    EXPECT_FLOAT_EQ(g.coop_x, 0.11785f);
    EXPECT_FLOAT_EQ(g.coop_w, 0.58926f);
}

TEST(DosBuffers, CompositionQuestion) {
    DosInput in = dostest::input();
    // append a COOP panel to a DOS graph: DOS left half, COOP right half
    {
        DosGraph g = graphFor(in);
        load(in, g, Panel::DOS, 1);
        Session s("3\n2\n");
        EXPECT_FALSE(askComposition(s.plot, s.con, in, g, Panel::COOP));
        EXPECT_EQ(s.out.str(), "\n Create a new graph or append it to the existing  one?\n (1) Create new\n (2) Append\n"
                               "\n Selection: \n Selection: ");
        EXPECT_FLOAT_EQ(g.dos_x, 0.11785f);
        EXPECT_FLOAT_EQ(g.dos_w, 0.29463f);
        EXPECT_FLOAT_EQ(g.coop_x, 0.41248f);
        EXPECT_FLOAT_EQ(g.coop_w, 0.29463f);
        EXPECT_EQ(s.plot.calls.front(), "page");
        EXPECT_EQ(s.plot.matching("line").size(), 1u);  // the DOS panel drawn again
    }
    // and the other way: a DOS curve appended to a COOP graph goes right
    {
        DosGraph g = graphFor(in);
        load(in, g, Panel::COOP, 6);
        Session s("2\n");
        askComposition(s.plot, s.con, in, g, Panel::DOS);
        EXPECT_FLOAT_EQ(g.coop_x, 0.11785f);
        EXPECT_FLOAT_EQ(g.dos_x, 0.41248f);
        EXPECT_EQ(g.nc, 1);
    }
    // create new from a two-panel graph: one panel of default width, all reset
    {
        DosGraph g = graphFor(in);
        load(in, g, Panel::DOS, 1);
        load(in, g, Panel::COOP, 6);
        g.dos_x = 0.5f;
        g.buffer(1).brush = 4;
        g.buffer(9).closed = true;
        Session s("1\n");
        EXPECT_FALSE(askComposition(s.plot, s.con, in, g, Panel::DOS));
        EXPECT_NE(s.out.str().find(" (3) Overlay with arbitrary axis scale"), std::string::npos);
        EXPECT_EQ(g.nd + g.nc, 0);
        EXPECT_FLOAT_EQ(g.dos_x, 0.11785f);
        EXPECT_FLOAT_EQ(g.dos_min, 1000.0f);
        EXPECT_FLOAT_EQ(g.dos_max, 0.0f);
        EXPECT_FLOAT_EQ(g.coop_max, 0.0f);
        EXPECT_EQ(g.buffer(1).brush, 0);
        EXPECT_FALSE(g.buffer(9).closed);
        EXPECT_EQ(s.plot.calls, std::vector<std::string>{"page"});
    }
    // overlay clears the page; overlay with its own scale does not
    {
        DosGraph g = graphFor(in);
        load(in, g, Panel::DOS, 1);
        Session s("2\n");
        EXPECT_FALSE(askComposition(s.plot, s.con, in, g, Panel::DOS));
        EXPECT_EQ(s.plot.calls, std::vector<std::string>{"page"});
        Session t("3\n");
        EXPECT_TRUE(askComposition(t.plot, t.con, in, g, Panel::DOS));
        EXPECT_TRUE(t.plot.calls.empty());
        EXPECT_EQ(g.nd, 1);
    }
    // an overlay on a two-panel graph keeps the other panel on the page
    for (Panel target : {Panel::DOS, Panel::COOP}) {
        DosGraph g = graphFor(in);
        load(in, g, Panel::DOS, 1);
        load(in, g, Panel::COOP, 6);
        Session s("2\n");
        askComposition(s.plot, s.con, in, g, target);
        RecordingPlot other;
        other.calls.push_back("page");
        mvplot(other, in, g, target == Panel::DOS ? Panel::COOP : Panel::DOS);
        EXPECT_EQ(s.plot.calls, other.calls);
    }
}

TEST(DosBuffers, CoopRangeIsSymmetricAndOwnScaleStaysOutOfTheCommonRange) {
    Shape sp;
    sp.ne = 5;
    sp.value = [](int c, int i) {
        const float coop[5] = {-0.3f, -0.1f, 0.0f, 0.05f, 0.1f};
        if (c == 0) return static_cast<float>(i);
        if (c == 6) return coop[i - 1];
        return c == 4 ? 10.0f * static_cast<float>(i) : static_cast<float>(i);
    };
    DosInput in = dostest::input(sp);
    DosGraph g = graphFor(in);
    load(in, g, Panel::COOP, 6);
    EXPECT_FLOAT_EQ(g.buffer(9).min, -0.3f);
    EXPECT_FLOAT_EQ(g.buffer(9).max, 0.3f);
    EXPECT_FLOAT_EQ(g.coop_max, 0.3f);

    load(in, g, Panel::DOS, 1);
    load(in, g, Panel::DOS, 4, 0.0f, true);  // 10 ... 50 on its own scale
    EXPECT_TRUE(g.buffer(2).own_scale);
    EXPECT_FLOAT_EQ(g.buffer(2).max, 50.0f);
    EXPECT_FLOAT_EQ(g.dos_min, 1.0f);
    EXPECT_FLOAT_EQ(g.dos_max, 5.0f);
    load(in, g, Panel::DOS, 2);
    deleteBuffer(g, 3);  // the own-scale buffer is not counted
    EXPECT_FLOAT_EQ(g.dos_max, 5.0f);
    EXPECT_FLOAT_EQ(g.dos_min, 1.0f);
    deleteBuffer(g, 1);  // only the own-scale buffer left: the start values
    EXPECT_FLOAT_EQ(g.dos_min, 1000.0f);
    EXPECT_FLOAT_EQ(g.dos_max, 0.0f);
}

TEST(DosBuffers, DeletionMovesWholeRecordsAndResetsTheFreedSlot) {
    DosInput in = dostest::input();
    DosGraph g = graphFor(in);
    for (int c : {1, 2, 3}) load(in, g, Panel::DOS, c);
    CurveBuffer& third = g.buffer(3);
    third.line_type = 4;
    third.brush = 7;
    third.closed = true;
    third.offset = 2.5f;
    Session s("0\n4\n2\n");
    EXPECT_EQ(mvselc(s.con, g, SelectMode::Delete), 2);
    EXPECT_EQ(s.out.str(), " Select curve buffer to delete.\n"
                           " Enter buffer number (DOS, Energies: 1- 3):  Enter buffer number (DOS, Energies: 1- 3):  "
                           "Enter buffer number (DOS, Energies: 1- 3): ");
    ASSERT_EQ(g.nd, 2);
    EXPECT_EQ(g.buffer(2).curve, 3);
    EXPECT_EQ(g.buffer(2).line_type, 4);
    EXPECT_EQ(g.buffer(2).brush, 7);
    EXPECT_TRUE(g.buffer(2).closed);
    EXPECT_FLOAT_EQ(g.buffer(2).offset, 2.5f);
    EXPECT_FLOAT_EQ(g.buffer(2).values[0], 3.01f);
    EXPECT_FLOAT_EQ(g.dos_max, 3.05f);
    // the next curve into slot 3 starts with plain attributes
    load(in, g, Panel::DOS, 2);
    EXPECT_EQ(g.buffer(3).line_type, 1);
    EXPECT_EQ(g.buffer(3).brush, 0);
    EXPECT_FALSE(g.buffer(3).closed);
    EXPECT_FLOAT_EQ(g.buffer(3).offset, 0.0f);
}

TEST(DosBuffers, DeletingCoopBufferNineAndAPanelLeftAloneTakesTheWidth) {
    Shape sp;
    sp.ncoop = 3;
    DosInput in = dostest::input(sp);  // COOP curves 6, 8, 10
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    for (int c : {6, 8, 10}) load(in, g, Panel::COOP, c);
    g.dos_w = g.coop_w = 0.29463f;
    g.coop_x = 0.41248f;
    g.sides[kSideMiddle] = 3;
    Session s("9\n");
    deleteDialogue(s.plot, s.con, in, g);
    EXPECT_NE(s.out.str().find("(DOS, Energies: 1- 1, COOP: 9-11)"), std::string::npos);
    EXPECT_EQ(g.buffer(9).curve, 8);
    EXPECT_EQ(g.buffer(10).curve, 10);
    EXPECT_EQ(g.nc, 2);
    EXPECT_FLOAT_EQ(g.dos_w, 0.29463f);  // two panels still
    s.feed("1\n");
    deleteDialogue(s.plot, s.con, in, g);
    EXPECT_EQ(g.nd, 0);
    EXPECT_FLOAT_EQ(g.coop_x, 0.11785f);
    EXPECT_FLOAT_EQ(g.coop_w, 0.58926f);
    EXPECT_EQ(g.sides[kSideMiddle], 0);
    EXPECT_EQ(s.plot.calls.back(), "draw 1 0");  // the COOP panel redrawn
    s.feed("10\n9\n10\n");
    deleteDialogue(s.plot, s.con, in, g);
    deleteDialogue(s.plot, s.con, in, g);
    EXPECT_NE(s.out.str().find("(COOP:  9-10)"), std::string::npos);
    EXPECT_EQ(g.nc, 0);
    EXPECT_EQ(s.plot.calls.back(), "page");  // nothing left to draw
}

TEST(DosBuffers, ANinthCurveIsRefusedAndTheGraphRedrawn) {
    DosInput in = dostest::input();
    DosGraph g = graphFor(in);
    for (int k = 0; k < 8; ++k) load(in, g, Panel::DOS, 1 + k % 3);
    Session s("2\n");
    requestCurve(s.plot, s.con, in, g, {Panel::DOS, 2});
    EXPECT_EQ(g.nd, 8);
    const std::string out = s.out.str();
    EXPECT_EQ(out.substr(out.size() - 29), " DOS curve buffers are full.\n");
    // cleared by the overlay, then the whole graph again: all eight curves
    EXPECT_EQ(s.plot.matching("page").size(), 2u);
    EXPECT_EQ(s.plot.matching("line").size(), 8u);
}

TEST(DosBuffers, SelectionDialoguesChangeTheAttributes) {
    DosInput in = dostest::input();
    DosGraph g = graphFor(in);
    load(in, g, Panel::COOP, 6);
    Session s("8\n9\n");
    mvselc(s.con, g, SelectMode::CloseOpen);
    EXPECT_TRUE(g.buffer(9).closed);
    EXPECT_EQ(s.out.str(), " Select curve to close or open.\n Enter buffer number (COOP:  9- 9):  Enter buffer number (COOP:  9- 9): ");
    s.feed("9\n16\n3\n");
    mvselc(s.con, g, SelectMode::Shading);
    EXPECT_EQ(g.buffer(9).brush, 3);
    EXPECT_NE(s.out.str().find(" Brush number of selected curve is  0.\n Select new brush (0-15, 0=no shading): "),
              std::string::npos);
    s.feed("9\n0\n");
    mvselc(s.con, g, SelectMode::Shading);
    EXPECT_FALSE(g.buffer(9).closed);  // brush 0 opens the curve again
    s.feed("9\n6\n0\n5\n");
    mvselc(s.con, g, SelectMode::LineType);
    EXPECT_EQ(g.buffer(9).line_type, 5);
    EXPECT_NE(s.out.str().find(" Line type number of selected curve is 1.\n Enter line type (1-5): "), std::string::npos);
}

TEST(DosBuffers, AnUnreadableCurveLoadsNothingAndNamesTheRecord) {
    DosInput in = dostest::input();  // NE 5: curve 2 on records 315-319
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    std::string text = dostest::text(Shape());
    text.replace(text.find("     2.03000"), 12, "     2.0x000");
    in.file = RecordFile::fromText("fort.1", text);  // the file changed since start-up
    Session s("2\n");
    requestCurve(s.plot, s.con, in, g, {Panel::DOS, 2});
    EXPECT_EQ(g.nd, 1);
    EXPECT_FLOAT_EQ(g.dos_max, 1.05f);
    const std::string out = s.out.str();
    EXPECT_EQ(out.substr(out.size() - 49), " fort.1, record 317: unreadable value of curve 2\n");
    EXPECT_EQ(s.plot.matching("line").size(), 1u);  // the graph drawn again as it was
}
