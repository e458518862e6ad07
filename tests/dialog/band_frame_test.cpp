#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "band/dialog/frame_questions.h"
#include "band_graph_support.h"
#include "recording_plot.h"

using namespace common;

using bandtest::bandsText;
using bandtest::drawBands;
using bandtest::Session;
using bandtest::writeText;

TEST(FrameDialogue, EqualEnergiesAreRefusedAndBothAskedAgain) {
    Session s("5\n5\nx\n-3\n4\n");
    float lo = 0, hi = 0;
    tlener(s.con, lo, hi);
    EXPECT_FLOAT_EQ(lo, -3.0f);
    EXPECT_FLOAT_EQ(hi, 4.0f);
    EXPECT_EQ(s.out.str(),
              "\n Minimum energy in eV:  Maximum energy in eV: "
              "\n Error: Maximum and minimum energy are equal.\n"
              "\n Minimum energy in eV:  Minimum energy in eV:  Maximum energy in eV: ");
    Session lower("4\n-3\n-3\n4\n");
    tlener(lower.con, lo, hi);
    EXPECT_NE(lower.out.str().find("\n Error: Maximum energy is lower than minimum.\n"), std::string::npos);
}

TEST(FrameDialogue, LengthsOneOneTwoPutSeparatorsAtAQuarterAndAHalf) {
    Session s("1\n0\n-2\n1\n2\n");
    LinePos p{};
    const float w = 0.58926f;
    tlsyml(s.con, p, w, 3);
    EXPECT_FLOAT_EQ(p[1], 0.0f);
    EXPECT_FLOAT_EQ(p[2], w / 4);
    EXPECT_FLOAT_EQ(p[3], w / 2);
    EXPECT_EQ(p[4], w);  // exactly the frame width
    EXPECT_EQ(s.out.str(),
              "\n Symmetry line lengths can be input as relative ratios.\n"
              " Length of symmetry line  1:  Length of symmetry line  2:  Length of symmetry line  2: "
              " Length of symmetry line  2:  Length of symmetry line  3: ");
}

TEST(Frame, OneLineHasNeitherRightNorTopEdge) {
    RecordingPlot p;
    auto g = bandtest::graphFor(1);
    EXPECT_FLOAT_EQ(g.geom.frame_w, 0.39284f);
    EXPECT_FLOAT_EQ(g.line_pos[2], g.geom.frame_w);
    tlaxes(p, g.geom.frame(), g.line_pos, 1);
    EXPECT_EQ(p.calls, (std::vector<std::string>{"sci 1", "swin 0 0.39284 0 0.75", "svp 0.11785 0.51069 0.125 0.875",
                                                 "sclp 0", "move 0 0.75", "draw 0 0", "draw 0.39284 0",
                                                 "sclp 1"}));
}

TEST(Frame, SeveralLinesAreClosedAndSeparated) {
    RecordingPlot p;
    auto g = bandtest::graphFor(4);
    // the Fermi text has its room right of the frame on the view surface
    EXPECT_FLOAT_EQ(g.geom.right(), 0.92f);
    tlaxes(p, g.geom.frame(), g.line_pos, 4);
    auto draws = p.matching("draw");
    ASSERT_EQ(draws.size(), 4u + 3u);
    EXPECT_EQ(draws[2], "draw 0.76 0.75");
    EXPECT_EQ(draws[3], "draw 0 0.75");
    auto moves = p.matching("move");
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_EQ(moves[0], "move 0 0.75");
    EXPECT_NEAR(std::stof(moves[3].substr(5)), 0.76f * 3 / 4, 1e-5);
}

class Bands : public bandtest::InScratchDir {};

TEST_F(Bands, EachLineInItsPanelOnePolylinePerBand) {
    writeText("fort.2", bandsText(2, {51, 26}, 3));
    RecordingPlot p;
    auto g = bandtest::graphFor(2);
    std::string problem = drawBands(p, g, 2);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(p.matching("swin"), (std::vector<std::string>{"swin 1 51 -12 8", "swin 1 26 -12 8"}));
    EXPECT_EQ(p.matching("svp"),
              (std::vector<std::string>{"svp 0.11785 0.41248 0.125 0.875", "svp 0.41248 0.70711 0.125 0.875"}));
    auto lines = p.matching("line");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3].rfind("line 26 (1,1.42074) (2,1.45465)", 0), 0u);
    EXPECT_EQ(p.matching("scr ").size(), 7u);  // the palette, defined before the bands
    EXPECT_EQ(p.calls[8], "slw 3");
    EXPECT_EQ(p.calls.back(), "slw 3");
}

TEST_F(Bands, FewerBlocksThanLinesLeaveTheLastPanelsEmpty) {
    writeText("fort.2", bandsText(3, {51, 51}, 2));
    RecordingPlot p;
    auto g = bandtest::graphFor(3);
    std::string problem;
    problem = drawBands(p, g, 3);
    EXPECT_EQ(p.matching("svp").size(), 2u);
    EXPECT_EQ(p.matching("line").size(), 4u);
    EXPECT_EQ(problem, "fort.2, record " + std::to_string(2 + 2 * (1 + 102)) + ": ends after 2 of 3 symmetry lines");
}

TEST_F(Bands, ABlockBeyondTheTablesOrUnreadableStopsTheDrawingThere) {
    auto g = bandtest::graphFor(3);
    auto run = [&](const std::string& text) {
        writeText("fort.2", text);
        RecordingPlot p;
        std::string problem;
        problem = drawBands(p, g, 3);
            EXPECT_EQ(p.calls.back(), "slw 3");
        return std::make_pair(p.matching("line").size(), problem);
    };
    auto r = run(bandsText(3, {51, 52, 51}, 1));
    EXPECT_EQ(r.first, 1u);
    EXPECT_EQ(r.second, "fort.2, record 54: number of points outside 1 ... 51");

    std::string text = bandsText(3, {51, 51, 51}, 2);
    text.replace(text.find(" 51  2", 10), 6, " 511001");
    r = run(text);
    EXPECT_EQ(r.first, 2u);
    EXPECT_EQ(r.second, "fort.2, record 105: number of bands outside 0 ... 1000");

    text = bandsText(3, {51, 51, 51}, 2);
    text.replace(text.find("\n", text.find(" 51  2", 10) + 40) + 1, 10, "   1.2x345");
    r = run(text);
    EXPECT_EQ(r.first, 2u);
    EXPECT_NE(r.second.find(": unreadable energy"), std::string::npos);

    text = bandsText(3, {51, 51, 51}, 2);
    text.resize(text.size() - 22);  // the last line loses its last two values
    r = run(text);
    EXPECT_EQ(r.first, 4u);
    EXPECT_EQ(r.second, "fort.2, record 309: missing energy (file ends inside a line)");
}

TEST_F(Bands, EnergiesFollowTheFortranFieldRules) {
    // plain decimals, an exponent, implied decimals, an embedded blank, a
    // plus sign, no leading digit; only the first ten columns count
    writeText("fort.2", " 1\n  6  1\n  -5.12345\n    1.5E1\n   1234567\n  - 1.5   \n+2.25\n-.5       99\n");
    RecordingPlot p;
    auto g = bandtest::graphFor(1);
    std::string problem;
    problem = drawBands(p, g, 1);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(p.matching("line"),
              (std::vector<std::string>{"line 6 (1,-5.12345) (2,15) (3,12.3457) (4,-1.5) (5,2.25) (6,-0.5)"}));
}

TEST_F(Bands, AThousandBandsReadFromAFourColumnCount) {
    writeText("fort.2", bandsText(1, {2}, 1000));
    RecordingPlot p;
    auto g = bandtest::graphFor(1);
    std::string problem;
    problem = drawBands(p, g, 1);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(p.matching("line").size(), 1000u);
    // columns after the count are not part of it
    writeText("fort.2", " 1\n  2  1  7\n   1.00000\n   2.00000\n");
    p.clear();
    problem = drawBands(p, g, 1);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(p.matching("line"), (std::vector<std::string>{"line 2 (1,1) (2,2)"}));
}

TEST_F(Bands, MissingFileSetsTheErrorAndDrawsNothing) {
    RecordingPlot p;
    auto g = bandtest::graphFor(2);
    std::string problem;
    problem = drawBands(p, g, 2);
    EXPECT_EQ(problem, "fort.2 could not be opened");
    EXPECT_TRUE(p.matching("line").empty());
    EXPECT_TRUE(p.matching("svp").empty());
}

// On a real PostScript device the top edge lies exactly on the viewport's
// edge; it must survive PGPLOT's clipping.
TEST(Frame, EveryEdgeReachesThePostScriptFile) {
    const std::string file = std::string(BINARY_DIR) + "/frame-edges.eps";
    CpgPlot p;
    ASSERT_GT(p.open(file + "/PS"), 0);
    p.pap(8.267f, 1.0f);
    auto g = bandtest::graphFor(5);
    tlaxes(p, g.geom.frame(), g.line_pos, 5);
    p.clos();
    std::ifstream in(file);
    std::string line, body;
    while (std::getline(in, line)) body += line + "\n";
    std::remove(file.c_str());
    // left edge down, bottom, right edge up, top back: four segments of one path
    EXPECT_NE(body.find("0 -6201 1323 7606 L\n6283 0 C\n0 6201 C\n-6283 0 C\n"), std::string::npos) << body;
}

#include "band/core/layout_file.h"
#include "band/draw/text_rows.h"

// Landscape output (four lines or more) on A4: the sheet cuts the square view
// surface 0.042 above its bottom (PGPLOT puts the page 620 pt from the
// sheet's edge, 595 pt wide). A line title's subscript and descenders reach
// about a character height (0.02) below its baseline.
TEST(BandFrame, LandscapeTitlesStayOnAnA4Sheet) {
    const band::FrameGeom f = band::FrameGeom::wide();
    const float sheet = (620.4f - 595.3f) / 595.2f;
    EXPECT_GT(band::lineTitleRow(f) - 0.02f, sheet + 0.005f);
    EXPECT_LT(f.top(), f.view_top);
}

// The energy window goes into fort.15 as two F10.5 fields: a window the
// loader would refuse ("minimum energy not below maximum") is asked again.
TEST(FrameDialogue, AWindowTheLayoutCouldNotKeepIsAskedAgain) {
    Session s("0\n1e-6\n-99999\n1\n-3\n4\n");
    float lo = 0, hi = 0;
    tlener(s.con, lo, hi);
    EXPECT_FLOAT_EQ(lo, -3.0f);
    EXPECT_FLOAT_EQ(hi, 4.0f);
    const std::string out = s.out.str();
    EXPECT_NE(out.find(" The layout file cannot hold this value: 0 to 1e-06 reads back as 0.00000 to 0.00000.\n"),
              std::string::npos) << out;
    EXPECT_NE(out.find(" The layout file cannot hold this value: -99999 does not fit its 10 columns.\n"),
              std::string::npos);
    EXPECT_EQ(band::energyWindowRefusal(-1e-5f, 0.0f), "");  // the narrowest window that reads back
}
