#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "dos/dialog/graph_menu.h"
#include "dos/core/layout_file.h"
#include "dos/dialog/main_menu.h"
#include "dos/dialog/output.h"
#include "dos/core/buffers.h"
#include "dos/draw/drawing.h"
#include "dos_fixture.h"

using namespace common;
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
    RecordingPlot p;
    mvplot(p, in, g, Panel::DOS);
    EXPECT_EQ(p.calls, (std::vector<std::string>{
                           "slw 1", "svp 0.11785 0.70711 0.125 0.875", "swin 1 9 1 3",
                           "swin 1 9 1 3", "sci 1", "sls 2", "line 3 (3,1) (6,2) (9,3)",
                           "swin 1 9 1 3", "sci 1", "sls 1", "line 3 (2,1) (4,2) (6,3)",
                           "swin 1 9 1 3", "sfs 1", "sci 4", "poly 5 (0,1) (1,1) (2,2) (3,3) (0,3)",
                           "sci 1", "sls 1", "line 5 (0,1) (1,1) (2,2) (3,3) (0,3)",
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
    EXPECT_TRUE(p.calls.empty());
}

TEST(DosOutput, LandscapeTwoPanelsThenPortraitScreenAgain) {
    DosInput in = dostest::input(small());
    DosGraph g = graphFor(in);
    load(in, g, Panel::DOS, 1);
    load(in, g, Panel::COOP, 6);
    g.dos_w = g.coop_w = 0.29463f;
    g.coop_x = 0.41248f;
    Session s("6\nx\n3\nq\nl\n");
    s.plot.current = 7;  // the screen
    generateOutput(s.plot, s.con, in, g, 7);
    EXPECT_NE(s.out.str().find(" (3) HPGL\n (4) PDF\n (5) PNG\n\n Selection: \n Output file options:"), std::string::npos);
    const auto& c = s.plot.calls;
    ASSERT_EQ(c[0], "open 'morvane.plt/HPGL '");
    EXPECT_EQ(c[1], "slct 1");
    EXPECT_EQ(c[2], "pap 8.267 1");
    size_t close = indexOf(c, "clos");
    ASSERT_NE(close, std::string::npos);
    EXPECT_EQ(c[close + 1], "slct 7");
    // on the file: DOS panel left, COOP right, each 0.416665 wide
    EXPECT_EQ(c[4], "svp 0.16667 0.583335 0.088388 0.618718");
    size_t coop = indexOf(c, "svp 0.583335 1 0.088388 0.618718");
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
    setLandscape(g);
    EXPECT_FLOAT_EQ(g.coop_x, 0.16667f);
    EXPECT_FLOAT_EQ(g.dos_x, 0.583335f);
    EXPECT_FLOAT_EQ(g.dos_w, 0.416665f);
    // one panel: the full landscape width
    g.nd = 0;
    setLandscape(g);
    EXPECT_FLOAT_EQ(g.coop_x, 0.16667f);
    EXPECT_FLOAT_EQ(g.coop_w, 0.83333f);
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
    EXPECT_EQ(s.plot.calls[4], "svp 0.11785 0.70711 0.125 0.875");
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
