#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "dos/dialog/graph_menu.h"
#include "dos/core/layout_file.h"
#include "dos/dialog/main_menu.h"
#include "dos/dialog/output.h"
#include "dos/core/buffers.h"
#include "dos/core/starter_layout.h"
#include "dos/draw/drawing.h"
#include "dos_fixture.h"

using namespace common;
using namespace annotate;
using namespace dos;

using dostest::Session;
using dostest::Shape;
using dostest::graphFor;
using dostest::load;

namespace {

// Three points per curve: energies 1, 2, 3; curve c has values c, 2c, 3c
// (the COOP curve 6 runs -1 ... 1).
Shape small() {
    Shape s;
    s.ne = 3;
    s.value = [](int c, int i) {
        if (c == 0) return static_cast<float>(i);
        if (c == 6) return static_cast<float>(i - 2);
        return static_cast<float>(c * i);
    };
    return s;
}

size_t indexOf(const std::vector<std::string>& calls, const std::string& call, size_t from = 0) {
    for (size_t k = from; k < calls.size(); ++k)
        if (calls[k] == call) return k;
    return std::string::npos;
}

}  // namespace

TEST(DosDrawing, HighestBufferFirstWithFillsInTheBrushColour) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    for (int c : {1, 2, 3}) load(in, g, Panel::DOS, c);
    g.buffer(1).closed = true;
    g.buffer(1).brush = 4;
    g.buffer(3).line_type = 2;
    g.buffer(2).colour = annotate::kBlue;
    g.buffer(2).width = 4;
    RecordingPlot p;
    mvplot(p, in, g, Panel::DOS);
    std::vector<std::string> drawn;  // without the palette's definitions
    for (const std::string& c : p.calls)
        if (c.rfind("scr ", 0) != 0) drawn.push_back(c);
    EXPECT_EQ(p.matching("scr ").size(), 7u);
    EXPECT_EQ(drawn, (std::vector<std::string>{
                         "slw 3", "svp 0.11785 0.70711 0.125 0.875", "swin 1 9 1 3",
                         "swin 1 9 1 3", "sci 1", "slw 3", "sls 2", "line 3 (3,1) (6,2) (9,3)",
                         "swin 1 9 1 3", "sci 20", "slw 4", "sls 1", "line 3 (2,1) (4,2) (6,3)",
                         "swin 1 9 1 3", "sfs 1", "sci 4", "poly 5 (0,1) (1,1) (2,2) (3,3) (0,3)",
                         "sci 1", "slw 3", "sls 1", "line 5 (0,1) (1,1) (2,2) (3,3) (0,3)",
                         "sci 1", "slw 3", "sls 1", "swin 0 1 0 1", "move 0 1", "draw 0 0", "draw 1 0"}));
}

TEST(DosDrawing, ClosedCurveWithOffsetClosesAtZero) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    g.buffer(1).closed = true;
    g.buffer(1).offset = 2.0f;
    RecordingPlot p;
    mvplot(p, in, g, Panel::DOS);
    EXPECT_EQ(p.matching("line"), std::vector<std::string>{"line 5 (0,1) (3,1) (4,2) (5,3) (0,3)"});
    EXPECT_TRUE(p.matching("poly").empty());  // closed but no brush: outline only
}

TEST(DosDrawing, CoopPanelZeroLineAndOwnScaleWindows) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    load(in, g, Panel::COOP, 6);                  // -1 ... 1
    load(in, g, Panel::COOP, 4, 0.0f, /*own=*/true);   // 4 ... 12 on its own scale
    g.buffer(9).offset = 5.0f;                    // COOP buffers draw without offset
    RecordingPlot p;
    mvplot(p, in, g, Panel::COOP);
    const auto& c = p.calls;
    size_t own = indexOf(c, "swin -12 12 1 3");
    size_t common = indexOf(c, "swin -1 1 1 3", 3);
    ASSERT_NE(own, std::string::npos);
    ASSERT_NE(common, std::string::npos);
    EXPECT_LT(own, common);  // buffer 10 before buffer 9
    EXPECT_EQ(p.matching("line")[1], "line 3 (-1,1) (0,2) (1,3)");
    size_t zero = indexOf(c, "move 0 1");
    ASSERT_NE(zero, std::string::npos);
    EXPECT_EQ(c[zero + 1], "draw 0 3");
    EXPECT_GT(zero, common);
}

TEST(DosDrawing, OneEnergyGivesAPointOnAnAxisAroundIt) {
    Shape sh;
    sh.ne = 1;  // E(1) = -2
    sh.value = [](int c, int) { return c == 0 ? -2.0f : 1.5f; };
    DosInput in = dostest::input(sh);
    DosGraph g = graphFor(in);
    EXPECT_FLOAT_EQ(g.emin, -3.0f);
    EXPECT_FLOAT_EQ(g.emax, -1.0f);
    load(in, g, Panel::DOS, 1);  // one value 1.5: a range of no width, widened
    RecordingPlot p;
    mvplot(p, in, g, Panel::DOS);
    EXPECT_EQ(p.calls[2], "swin 0.5 2.5 -3 -1");
    EXPECT_EQ(p.matching("line")[0], "line 1 (1.5,-2)");
}

TEST(DosDrawing, XRangeFactorWidensTheCommonWindow) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 2);  // 2 ... 6
    load(in, g, Panel::COOP, 6);
    g.xfactor = 1.5f;
    RecordingPlot p;
    mvrdrw(p, in, g);
    EXPECT_EQ(p.matching("swin 3 9 1 3").size(), 2u);
    EXPECT_EQ(p.matching("swin -1.5 1.5 1 3").size(), 2u);
}

TEST(DosDrawing, RedrawWithoutBuffersDrawsOnlyTheAnnotations) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    g.setFlag(kFlagFermi, true);
    g.efermi = 2.0f;
    RecordingPlot p;
    mvrdrw(p, in, g);
    EXPECT_TRUE(p.matching("line").empty());
    EXPECT_EQ(p.matching("ptxt").size(), 1u);
    g.setFlag(kFlagFermi, false);
    p.clear();
    mvrdrw(p, in, g);
    EXPECT_EQ(p.calls, std::vector<std::string>{"scf 2"});  // the text font only: nothing drawn
}

TEST(DosOutput, LandscapeTwoPanelsThenPortraitScreenAgain) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    load(in, g, Panel::COOP, 6);
    g.dos_w = g.coop_w = 0.29463f;
    g.coop_x = 0.41248f;
    Session s("7\nx\n3\nq\nl\n");
    s.plot.current = 7;  // the screen
    generateOutput(s.plot, s.con, in, g, 7);
    EXPECT_NE(s.out.str().find(" (3) HPGL\n (4) PDF\n (5) PNG\n (6) SVG\n\n Selection: \n Output file options:"), std::string::npos);
    const auto& c = s.plot.calls;
    ASSERT_EQ(c[0], "open 'morvane.plt/HPGL '");
    EXPECT_EQ(c[1], "slct 1");
    EXPECT_EQ(c[2], "pap 8.267 1");
    size_t close = indexOf(c, "clos");
    ASSERT_NE(close, std::string::npos);
    EXPECT_EQ(c[close + 1], "slct 7");
    // on the file: DOS panel left, COOP right, each 0.375 wide, the room
    // for the Fermi text right of them
    EXPECT_EQ(s.plot.matching("svp")[0], "svp 0.16667 0.54167 0.15 0.65");
    size_t coop = indexOf(c, "svp 0.54167 0.91667 0.15 0.65");
    EXPECT_LT(coop, close);
    // on the screen afterwards: the portrait layout as before
    EXPECT_NE(indexOf(c, "svp 0.11785 0.41248 0.125 0.875", close), std::string::npos);
    EXPECT_NE(indexOf(c, "svp 0.41248 0.70711 0.125 0.875", close), std::string::npos);
    EXPECT_FLOAT_EQ(g.page_w, 0.707107f);
    EXPECT_FLOAT_EQ(g.page_h, 1.0f);
    EXPECT_FLOAT_EQ(g.x0, 0.11785f);
    EXPECT_FLOAT_EQ(g.y0, 0.125f);
    EXPECT_FLOAT_EQ(g.h, 0.75f);
    EXPECT_FLOAT_EQ(g.w0, 0.58926f);
    EXPECT_FLOAT_EQ(g.coop_x, 0.41248f);
    EXPECT_FLOAT_EQ(g.dos_w, 0.29463f);
}

TEST(DosOutput, LandscapeKeepsTheRightPanelOnTheRight) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    load(in, g, Panel::COOP, 6);
    load(in, g, Panel::DOS, 1);
    g.dos_x = 0.41248f;
    // a text at the frame's top left corner and one at its centre
    g.texts = {FreeText{"corner", 0.11785f, 0.875f, 0, 0}, FreeText{"centre", 0.41248f, 0.5f, 0, 1}};
    setLandscape(g);
    EXPECT_NEAR(g.texts[0].x, 0.16667f, 1e-5);
    EXPECT_NEAR(g.texts[0].y, 0.65f, 1e-5);
    EXPECT_NEAR(g.texts[1].x, 0.16667f + 0.375f, 1e-5);
    EXPECT_NEAR(g.texts[1].y, 0.4f, 1e-5);
    EXPECT_FLOAT_EQ(g.coop_x, 0.16667f);
    EXPECT_FLOAT_EQ(g.dos_x, 0.54167f);
    EXPECT_FLOAT_EQ(g.dos_w, 0.375f);
    // one panel: the full landscape width
    g.nd = 0;
    setLandscape(g);
    EXPECT_FLOAT_EQ(g.coop_x, 0.16667f);
    EXPECT_FLOAT_EQ(g.coop_w, 0.75f);
    EXPECT_FLOAT_EQ(g.page_h, 0.707107f);
}

TEST(DosOutput, PortraitUsesTheScreenGeometryAndVcps) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    Session s("2\np\n");
    generateOutput(s.plot, s.con, in, g, 5);
    EXPECT_EQ(s.plot.calls[0], "open 'morvane.eps/VCPS '");
    EXPECT_EQ(outputDevice(1, true), "morvane.eps/PS   ");
    EXPECT_EQ(outputDevice(3, false), "morvane.plt/VHPGL");
    EXPECT_EQ(s.plot.matching("svp")[0], "svp 0.11785 0.70711 0.125 0.875");
}

TEST(DosOutput, DeviceThatCannotBeOpenedDrawsNothing) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    Session s("1\nl\n");
    s.plot.failOpen = true;
    generateOutput(s.plot, s.con, in, g, 5);
    EXPECT_EQ(s.plot.calls, (std::vector<std::string>{"open 'morvane.eps/PS   '", "slct 5"}));
    EXPECT_NE(s.out.str().find(" Output device morvane.eps/PS could not be opened; no output file written.\n"),
              std::string::npos);
    EXPECT_FLOAT_EQ(g.x0, 0.11785f);
    EXPECT_FLOAT_EQ(g.dos_w, 0.58926f);
}

namespace {

// A graph with every kind of setting, as a user would leave it.
DosGraph fullGraph(const DosInput& in) {
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    load(in, g, Panel::DOS, 4, 0.0f, true);
    load(in, g, Panel::COOP, 6);
    g.dos_w = g.coop_w = 0.29463f;
    g.coop_x = 0.41248f;
    g.buffer(1).closed = true;
    g.buffer(1).brush = 15;
    g.buffer(2).line_type = 3;
    g.buffer(2).offset = 1.5f;
    g.setFlag(kFlagBorder, true);
    g.setFlag(kFlagTics, true);
    g.setFlag(kFlagText, true);
    g.setFlag(kFlagFermi, true);
    g.energy_tics = TicRange{1.0f, 3.0f, 0.5f, 1.0f};
    g.sides = {1, 3, 2, 0, 0, 0, 0};
    g.dos_title = fortran::A("DOS", 80);
    g.energy_title = fortran::A("\\epsilon (eV)", 80);
    g.texts.push_back(FreeText{fortran::A("Si", 80), 0.3f, 0.9f, 0.0f, 1});
    g.efermi = 2.25f;
    g.fermi_line = true;
    g.xfactor = 1.25f;
    g.buffer(2).colour = annotate::kVermillion;
    g.buffer(2).width = 4;
    g.legend = {true, LegendCorner::TopLeft};
    g.source_fermi = 6.6803f;
    g.picture_title = "Si: s and p";
    return g;
}

std::string replaceRecord(const std::string& text, size_t n, const std::string& rec) {
    std::istringstream in(text);
    std::string line, out;
    for (size_t k = 1; std::getline(in, line); ++k) out += (k == n ? rec : line) + "\n";
    return out;
}

}  // namespace

TEST(DosLayout, RecordsAndRoundTrip) {
    DosInput in = dostest::input(small());
    DosGraph g = fullGraph(in);
    const std::string text = *formatLayout(g);
    std::istringstream lines(text);
    std::string l1, l2;
    std::getline(lines, l1);
    std::getline(lines, l2);
    EXPECT_EQ(l1, " 2");
    EXPECT_EQ(l2, " 1 115FT     0.00000     1.00000     3.00000Density of states" + std::string(55, ' '));
    EXPECT_EQ(l2.size(), 116u);
    EXPECT_NE(text.find("\nFFTTFTFFFTFFF\n"), std::string::npos);
    EXPECT_NE(text.find("\n1320000\n"), std::string::npos);
    EXPECT_NE(text.find("\n   2.25000T\n"), std::string::npos);
    const std::string keywords = "look 2 21 4\nlegend 1 2\nfermi     6.68030\ntitle Si: s and p\n";
    ASSERT_EQ(text.substr(text.size() - keywords.size()), keywords);

    DosGraph back = graphFor(in);
    Status read = parseLayout(RecordFile::fromText("fort.7", text), in, back);
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(*formatLayout(back), text);
    EXPECT_FLOAT_EQ(back.buffer(2).values[2], 12.0f);  // fetched again from the input
    EXPECT_TRUE(back.buffer(2).own_scale);
    RecordingPlot a, b;
    mvrdrw(a, in, g);
    mvrdrw(b, in, back);
    // The page width 0.707107 comes back as 0.70711 (five decimals); it only
    // sets the page window, whose world coordinates equal the device ones.
    for (std::string& call : a.calls)
        if (size_t at = call.find("0.707107"); at != std::string::npos) call.replace(at, 8, "0.70711");
    EXPECT_EQ(a.calls, b.calls);

    // a layout written before curves had colours and legends loads with
    // black curves as heavy as the frame and no legend
    DosGraph older = graphFor(in);
    ASSERT_TRUE(parseLayout(RecordFile::fromText("fort.7", text.substr(0, text.size() - keywords.size())), in, older));
    EXPECT_EQ(older.buffer(2).colour, 1);
    EXPECT_EQ(older.buffer(2).width, 3);
    EXPECT_EQ(older.legend, LegendPlace{});
    EXPECT_EQ(older.picture_title, "");
}

TEST(DosDrawing, OneFontForEveryTextWithOrWithoutTics) {
    DosInput in = dostest::input(small());
    for (bool tics : {true, false}) {
        DosGraph g = fullGraph(in);
        g.setFlag(kFlagTics, tics);
        g.setFlag(kFlagTitles, true);
        RecordingPlot p;
        mvrdrw(p, in, g);
        EXPECT_EQ(p.matching("box").empty(), !tics);
        EXPECT_GE(p.matching("ptxt").size(), 4u);  // titles, text, Fermi text
        EXPECT_EQ(p.textFonts(), std::set<int>{kTextFont}) << "tics " << tics;
    }
}

TEST(DosLayout, EmptyGraphWritesZeroCounts) {
    DosInput in = dostest::input(small());
    const std::string text = *formatLayout(graphFor(in));
    EXPECT_EQ(text.substr(0, 6), " 0\n 0\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 15);
}

TEST(DosLayout, DamagedFilesAreRefusedAndTheGraphStays) {
    DosInput in = dostest::input(small());
    const std::string good = *formatLayout(fullGraph(in));
    // records: 1 nD, 2-3 DOS, 4 nC, 5 COOP, 6 flags, ... 13 Fermi, 14 sides, 15-17 titles, 18 nT, 19 text
    struct Case {
        size_t record;
        std::string text;
        std::string error;
    } cases[] = {
        {1, " 9", "fort.7, record 1: number of buffers 9 outside 0 ... 8"},
        {2, " 8 1 0FF     0.00000     1.00000     3.00000", "fort.7, record 2: curve number 8 outside 1 ... 7"},
        {3, " 4 6 0TF     1.50000     4.00000    12.00000", "fort.7, record 3: line type 6 outside 1 ... 5"},
        {5, " 6 116FF    -1.00000     1.00000", "fort.7, record 5: brush 16 outside 0 ... 15"},
        {5, " 6 1 0XF    -1.00000     1.00000", "fort.7, record 5: unreadable own-scale flag"},
        {14, "1340000", "fort.7, record 14: tic side 4 outside 0 ... 3"},
        {8, "   3.00000   1.00000", "fort.7, record 8: upper energy bound below the lower one"},
        {18, "  11", "fort.7, record 18: number of texts 11 outside 0 ... 10"},
        {12, "   0.00000   0.00000   0.00000   1.2.000", "fort.7, record 12: unreadable x range factor"},
        {19, "   0.30000   0.90000   0.00000 1Si", ""},  // fine
        {20, "look 3 21 4", "fort.7, record 20: buffer 3 holds no curve"},
        {20, "look 2 23 4", "fort.7, record 20: colour index 23 outside 1 ... 22"},
        {20, "look 2 21 0", "fort.7, record 20: line width 0 outside 1 ... 201"},
        {20, "look 2 21", "fort.7, record 20: 'look' record with 2 numbers (3 wanted)"},
        {21, "legend 1 9", "fort.7, record 21: legend corner 9 outside 0 ... 4"},
        {21, "legnd 1 0", "fort.7, record 21: unknown record 'legnd'"},
        {21, "   0.50000", "fort.7, record 21: unreadable record '   0.50000' (a keyword and whole numbers wanted)"},
        {20, "fermi 6.6x", "fort.7, record 20: unreadable fermi value"},
        {20, "fermi", "fort.7, record 20: unreadable fermi value"},
    };
    for (const Case& c : cases) {
        DosGraph g = fullGraph(in);
        g.nd = 1;
        const std::string before = *formatLayout(g);
        std::string error;
        DosGraph copy = g;
        Status read = parseLayout(RecordFile::fromText("fort.7", replaceRecord(good, c.record, c.text)), in, copy);
        EXPECT_EQ(static_cast<bool>(read), c.error.empty()) << c.record;
        EXPECT_EQ(read.error(), c.error);
        EXPECT_EQ(*formatLayout(g), before);
    }
    // a file cut short
    std::string error;
    DosGraph g = graphFor(in);
    Status cut = parseLayout(RecordFile::fromText("fort.7", good.substr(0, good.find("DOS "))), in, g);
    EXPECT_FALSE(cut);
    EXPECT_EQ(cut.error(), "fort.7, record 15: missing (the file ends early)");
}

TEST(DosLayout, SaveAndLoadThroughTheFile) {
    DosInput in = dostest::input(small());
    const std::string dir = ::testing::TempDir() + "dos-layout-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/fort.7";
    Session s;
    DosGraph g = graphFor(in);
    EXPECT_FALSE(loadLayout(s.plot, s.con, in, g, path, 12));
    EXPECT_EQ(s.out.str(), " Layout file does not exist. First use option (12).\n");

    DosGraph full = fullGraph(in);
    ASSERT_TRUE(saveLayout(path, full));
    std::ofstream(path, std::ios::app) << "";
    ASSERT_TRUE(loadLayout(s.plot, s.con, in, g, path, 12));
    EXPECT_EQ(*formatLayout(g), *formatLayout(full));
    EXPECT_EQ(s.plot.calls.front(), "page");

    // panels above the page still load, said in one line
    DosGraph high = full;
    high.y0 = 100.0f;
    ASSERT_TRUE(saveLayout(path, high));
    s.feed("");
    ASSERT_TRUE(loadLayout(s.plot, s.con, in, g, path, 12));
    EXPECT_EQ(s.out.str(), " " + path + ", record " + std::to_string(full.nd + full.nc + 4) +
                               ": nothing of the frame is on the page.\n");
    g = full;

    std::ofstream(path) << " 1\n 9 1 0FF     0.00000     1.00000     3.00000\n";
    s.feed("");
    s.plot.clear();
    EXPECT_FALSE(loadLayout(s.plot, s.con, in, g, path, 12));
    EXPECT_EQ(s.out.str(), " " + path + ", record 2: curve number 9 outside 1 ... 7; layout not loaded.\n");
    EXPECT_TRUE(s.plot.calls.empty());
    EXPECT_EQ(*formatLayout(g), *formatLayout(full));
    std::filesystem::remove_all(dir);
}

TEST(DosLayout, ANumberTooWideForItsFieldKeepsThePreviousFile) {
    DosInput in = dostest::input(small());
    const std::string dir = ::testing::TempDir() + "dos-layout-wide-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/fort.7";
    std::ofstream(path) << "previous\n";
    std::string error;
    for (float wide : {12345678.0f, -1234567.0f}) {
        DosGraph g = fullGraph(in);
        g.buffer(1).max = wide;  // F12.5 holds at most 99999.99999
        Status saved = saveLayout(path, g);
        EXPECT_FALSE(saved);
        EXPECT_NE(saved.error().find(path + " not written: the value "), std::string::npos) << saved.error();
    }
    DosGraph g = fullGraph(in);
    g.efermi = 100000.0f;  // one column more than F10.5
    EXPECT_FALSE(saveLayout(path, g));
    std::ifstream back(path);
    std::string first;
    std::getline(back, first);
    EXPECT_EQ(first, "previous");
    EXPECT_TRUE(saveLayout(path, fullGraph(in)));  // and nothing stays remembered
    std::filesystem::remove_all(dir);
}

namespace {

std::vector<float> numbers(const std::string& call) {
    std::istringstream in(call.substr(call.find(' ')));
    std::vector<float> v;
    for (float x; in >> x;) v.push_back(x);
    return v;
}

}  // namespace

// The value axes follow the range the curves are drawn with at every redraw:
// window and viewport of the lower axis box against the panel.
TEST(DosValueAxes, RunOverTheRangeTheCurvesAreDrawnWith) {
    struct Case {
        const char* what;
        bool coop;
        float asked_max;   // common maximum when the tics were asked (DOS minimum 0)
        TicRange tics;     // as asked
        float now_max;     // common maximum at the redraw
        float xfactor;
        float start, end;  // tic range drawn
    } cases[] = {
        {"COOP maximum raised by option 11", true, 18.9f, {-18.9f, 18.9f, 5, 15}, 30, 1, -30, 30},
        {"COOP tics typed inside the axis stay", true, 18.9f, {-15, 15, 5, 15}, 30, 1, -15, 15},
        {"DOS widened by an overlay", false, 2.9f, {0, 2.9f, 0.5f, 1}, 20, 1, 0, 20},
        {"DOS narrowed by a deletion", false, 2.9f, {0, 2.5f, 0.5f, 1}, 2, 1, 0, 2},
        {"x range factor", false, 2.0f, {0, 2, 0.5f, 1}, 2, 1.5f, 0, 3},
    };
    for (const Case& c : cases) {
        DosGraph g;
        g.setFlag(kFlagTics, true);
        (c.coop ? g.nc : g.nd) = 1;
        g.dos_min = 0;
        g.dos_axis_min = 0;
        g.dos_axis_max = g.coop_axis_max = c.asked_max;
        (c.coop ? g.coop_tics : g.dos_tics) = c.tics;
        g.sides[c.coop ? kSideCoopLower : kSideDosLower] = 1;
        (c.coop ? g.coop_max : g.dos_max) = c.now_max;
        g.xfactor = c.xfactor;
        RecordingPlot p;
        mvaxes(p, g);
        ASSERT_EQ(p.matching("box").size(), 1u) << c.what;
        const std::vector<float> win = numbers(p.matching("swin").back());
        const std::vector<float> vp = numbers(p.matching("svp").back());
        EXPECT_FLOAT_EQ(win[0], c.start) << c.what;
        EXPECT_FLOAT_EQ(win[1], c.end) << c.what;
        // the viewport puts each tic value where the curves have it
        const float x = c.coop ? g.coop_x : g.dos_x, w = c.coop ? g.coop_w : g.dos_w;
        const float lo = c.coop ? -c.xfactor * c.now_max : 0, hi = c.xfactor * c.now_max;
        EXPECT_NEAR(vp[0], x + w * (c.start - lo) / (hi - lo), 1e-5) << c.what;
        EXPECT_NEAR(vp[1], x + w * (c.end - lo) / (hi - lo), 1e-5) << c.what;
    }
}

TEST(DosLayout, APanelEmptiedByDeletionSavesAndLoadsBack) {
    DosInput in = dostest::input(small());
    for (int gone : {1, 9}) {
        DosGraph g = graphFor(in);
        load(in, g, Panel::DOS, 1);
        load(in, g, Panel::COOP, 6);
        deleteBuffer(g, gone);
        Result<std::string> text = formatLayout(g);
        ASSERT_TRUE(text) << text.error();
        DosGraph back = graphFor(in);
        ASSERT_TRUE(parseLayout(RecordFile::fromText("fort.7", *text), in, back));
        EXPECT_EQ(*formatLayout(back), *text);
        // the next curve widens the emptied panel from its start values
        load(in, back, gone == 1 ? Panel::DOS : Panel::COOP, gone == 1 ? 2 : 6);
        EXPECT_FLOAT_EQ(gone == 1 ? back.dos_max : back.coop_max, gone == 1 ? 6.0f : 1.0f);
    }
}

TEST(DosOutput, GreyPostScriptGivesEveryBrushItsOwnLightGrey) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    for (char type : {'1', '2'}) {
        Session s(std::string(1, type) + "\np\n");
        generateOutput(s.plot, s.con, in, g, 5);
        // the brushes' greys, and the palette every picture defines
        std::vector<std::string> reps, palette;
        for (const std::string& r : s.plot.matching("scr "))
            (numbers(r)[0] < annotate::kFirstPaletteColour ? reps : palette).push_back(r);
        EXPECT_EQ(palette.size() % 7, 0u);
        EXPECT_FALSE(palette.empty());
        if (type == '2') {
            EXPECT_TRUE(reps.empty());  // the colour device keeps its colours
            continue;
        }
        ASSERT_EQ(reps.size(), 14u);
        std::vector<float> greys;
        for (int ci = 2; ci <= 15; ++ci) {
            const std::vector<float> v = numbers(reps[static_cast<size_t>(ci - 2)]);
            EXPECT_EQ(v[0], ci);
            EXPECT_TRUE(v[1] == v[2] && v[2] == v[3]) << reps[static_cast<size_t>(ci - 2)];
            EXPECT_GE(v[1], 0.3f);  // well lighter than the black lines
            EXPECT_LT(v[1], 1.0f);  // and not the white page
            greys.push_back(v[1]);
        }
        std::sort(greys.begin(), greys.end());
        EXPECT_EQ(std::adjacent_find(greys.begin(), greys.end()), greys.end());
        // set before anything is drawn on the file
        EXPECT_LT(indexOf(s.plot.calls, reps.back()), indexOf(s.plot.calls, "slw 3"));
    }
}

// A4 in landscape shows the square view surface from 0.042 of its height up
// (PGPLOT puts the page 620 pt from the sheet's edge, 595 pt wide); a
// character is about 0.02 high and a tic 0.012 long.
TEST(DosOutput, LandscapeKeepsEverythingOnAnA4Sheet) {
    DosGraph g;
    g.nd = g.nc = 1;
    setLandscape(g);
    const float sheet = (620.4f - 595.3f) / 595.2f, character = 0.02f, tic = 0.012f;
    const float title = 0.5f * g.y0;  // baseline of the horizontal axis titles
    EXPECT_GT(title - 0.4f * character, sheet + 0.01f);  // descenders on the sheet
    // the tic labels below the frame (outward tics, then the numbers) clear of the title
    EXPECT_GT(g.y0 - tic - 1.5f * character, title + character);
    EXPECT_LT(g.y0 + g.h + tic, g.page_h);
    EXPECT_LT(g.xr() + tic, 1.0f);  // outward tics of the right axis inside the view surface
    EXPECT_FLOAT_EQ(g.coop_x + g.coop_w, g.xr());
}

namespace {

// The legend as drawn: the texts, and the box from its line samples (two-
// point level lines) to the right end of its longest text.
struct DrawnLegend {
    std::vector<std::string> names;
    float x0 = 1, x1 = 0, y0 = 1, y1 = 0;
};

DrawnLegend legendOf(const RecordingPlot& p) {
    DrawnLegend l;
    for (const auto& line : p.polylinesOnPage())
        if (line.size() == 2 && line[0].second == line[1].second) {
            l.x0 = std::min(l.x0, line[0].first);
            l.y0 = std::min(l.y0, line[0].second);
            l.y1 = std::max(l.y1, line[0].second);
        }
    for (const std::string& t : p.matching("ptxt ")) {
        std::istringstream in(t.substr(5));
        float x, y, angle, just;
        std::string text;
        in >> x >> y >> angle >> just;
        std::getline(in, text);
        text = text.substr(2, text.size() - 3);  // ' quoted '
        if (y < l.y0 - 0.02f || y > l.y1 || x < l.x0) continue;  // not beside a sample
        l.names.push_back(text);
        l.x1 = std::max(l.x1, x + 0.6f / 40.0f * static_cast<float>(text.size()));
    }
    return l;
}

// Points of the curves (polylines of more than two points) that lie in the box.
int curvePointsIn(const RecordingPlot& p, const DrawnLegend& l) {
    int n = 0;
    for (const auto& line : p.polylinesOnPage()) {
        if (line.size() <= 2) continue;
        for (size_t i = 1; i < line.size(); ++i)
            for (int k = 0; k <= 20; ++k) {
                const float x = line[i - 1].first + (line[i].first - line[i - 1].first) * static_cast<float>(k) / 20;
                const float y = line[i - 1].second + (line[i].second - line[i - 1].second) * static_cast<float>(k) / 20;
                if (x >= l.x0 && x <= l.x1 && y >= l.y0 && y <= l.y1) ++n;
            }
    }
    return n;
}

}  // namespace

// The starter legend names every curve in buffer order, in its colour; two
// curves crossing the panel on its diagonals leave no corner clear, so it
// stands in the room between them along an edge. A corner asked for is kept
// whatever it covers; a panel too narrow for it has it below.
TEST(DosLegend, NamesEveryCurveWhereNoCurveRuns) {
    Shape shape;
    shape.ntot = 3;
    shape.nao = 2;
    shape.ncoop = 0;
    shape.ne = 41;
    shape.value = [](int c, int i) {
        const float e = static_cast<float>(i - 1);
        return c == 0 ? e : c == 1 ? e : c == 4 ? 40.0f - e : c == 6 ? 0.05f * e : 1.0f;
    };
    const DosInput in = dostest::input(shape);
    Result<DosGraph> g = starterGraph(in, StarterDos{std::nullopt, false, false});
    ASSERT_TRUE(g) << g.error();
    ASSERT_TRUE(g->legend.on);
    EXPECT_EQ(g->buffer(2).colour, annotate::kBlue);

    RecordingPlot p;
    mvrdrw(p, in, *g);
    DrawnLegend l = legendOf(p);
    EXPECT_EQ(l.names, (std::vector<std::string>{"total", "ao 1 line 1", "ao 2 line 1"}));
    EXPECT_EQ(curvePointsIn(p, l), 0);
    const common::Box panel = g->panel(Panel::DOS).box;
    EXPECT_GT(l.y0, panel.y0 + panel.h / 2);              // along the top edge
    EXPECT_GT(l.x0, panel.x0 + panel.w / 8);              // clear of the corners
    EXPECT_LT(l.x1, panel.right() - panel.w / 8);

    g->legend.corner = LegendCorner::BottomLeft;
    RecordingPlot q;
    mvrdrw(q, in, *g);
    l = legendOf(q);
    EXPECT_EQ(l.names.size(), 3u);
    EXPECT_LT(l.x0, panel.x0 + panel.w / 8);
    EXPECT_LT(l.y0, panel.y0 + panel.h / 4);
    EXPECT_GT(curvePointsIn(q, l), 0);

    // a panel too narrow for the names has its legend below the frame,
    // under the axis numbers and title, whatever corner was asked
    for (LegendCorner corner : {LegendCorner::Free, LegendCorner::TopRight}) {
        DosGraph narrow = *g;
        narrow.legend.corner = corner;
        narrow.w0 = narrow.dos_w = 0.08f;
        RecordingPlot r;
        mvrdrw(r, in, narrow);
        l = legendOf(r);
        EXPECT_EQ(l.names.size(), 3u);
        EXPECT_LT(l.y1, narrow.y0 - 4 * 0.025f);
        EXPECT_FLOAT_EQ(l.x0, narrow.x0 + 0.5f * 0.025f);
        EXPECT_EQ(curvePointsIn(r, l), 0);
    }

    // one curve needs no name; a legend switched off draws none
    g->legend.corner = LegendCorner::Free;
    for (bool one : {true, false}) {
        DosGraph h = *g;
        if (one) h.nd = 1;
        h.legend.on = one;
        RecordingPlot r;
        mvrdrw(r, in, h);
        EXPECT_TRUE(legendOf(r).names.empty()) << one;
    }
}

// The two spin halves of a curve in one look are one entry; drawn apart,
// each says which half it is.
TEST(DosLegend, SpinHalvesOfACurveAreOneEntryUntilTheirLooksDiffer) {
    DosGraph g;
    auto title = [](const std::string& t) { return fortran::A(t, kTitleWidth); };
    const char* titles[] = {"Density of states", "AOPROJ  Total DOS, spin down", "AOPROJ  Fe(1) d up",
                            "AOPROJ  Fe(1) d down", "FMOPROJ Ring p"};
    g.nd = 5;
    for (int b = 1; b <= 5; ++b) g.buffer(b).title = title(titles[b - 1]);
    auto names = [&g] {
        std::vector<std::string> n;
        for (const LegendEntry& e : legendEntries(g, Panel::DOS)) n.push_back(e.text);
        return n;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"total", "Fe(1) d", "Ring p"}));
    g.buffer(4).colour = annotate::kOrange;
    g.buffer(2).line_type = 2;
    EXPECT_EQ(names(), (std::vector<std::string>{"total", "total (down)", "Fe(1) d (up)", "Fe(1) d (down)", "Ring p"}));
}

// Option 14 sets the colour and width of the curve asked for, each asked
// again until in range; the redraw draws it so and fort.7 keeps it.
TEST(DosLegend, ColourAndWidthOfACurveFromTheGraphMenu) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    load(in, g, Panel::DOS, 4);
    Session s("14\n2\n23\n20\n0\n5\n0\n");
    mvgrph(s.plot, s.con, in, g);
    const std::string out = s.out.str();
    EXPECT_NE(out.find(" (14) Change colour and line width of a curve\n (15) Legend\n"), std::string::npos);
    EXPECT_NE(out.find(" Colour index of selected curve is  1, line width   3.\n"), std::string::npos);
    EXPECT_NE(out.find("19 yellow, 20 blue, 21 vermillion, 22 reddish purple."), std::string::npos);
    EXPECT_EQ(g.buffer(2).colour, annotate::kBlue);
    EXPECT_EQ(g.buffer(2).width, 5);
    EXPECT_EQ(g.buffer(1).colour, 1);
    const auto calls = s.plot.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "sci 20"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "slw 5"), calls.end());
    EXPECT_NE(formatLayout(g)->find("\nlook 2 20 5\n"), std::string::npos);

    Session legend("15\ny\n7\n2\n0\n");
    mvgrph(legend.plot, legend.con, in, g);
    EXPECT_EQ(g.legend, (LegendPlace{true, LegendCorner::TopLeft}));
    EXPECT_NE(legend.out.str().find(" Place (0-4):  Place (0-4): "), std::string::npos);
}
