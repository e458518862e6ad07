#include <gtest/gtest.h>

#include "dos/dialog/graph_menu.h"
#include "dos/core/buffers.h"
#include "dos/core/layout_file.h"
#include "dos/draw/drawing.h"
#include "dos_fixture.h"

using namespace common;
using namespace annotate;
using namespace dos;

using dostest::Session;
using dostest::Shape;

namespace {

// Energies 0 ... 10 in steps of 2.5; curve c has values c*i/5 (0.2c ... c).
DosInput tenEv() {
    Shape s;
    s.value = [](int c, int i) {
        if (c == 0) return 2.5f * static_cast<float>(i - 1);
        return static_cast<float>(c * i) / 5.0f - (c == 6 ? 3.0f : 0.0f);
    };
    return dostest::input(s);
}

DosGraph withCurves(const DosInput& in, std::initializer_list<int> dos, std::initializer_list<int> coop) {
    DosGraph g = dostest::graphFor(in);
    for (int c : dos) dostest::load(in, g, Panel::DOS, c);
    for (int c : coop) dostest::load(in, g, Panel::COOP, c);
    if (g.nd > 0 && g.nc > 0) {
        g.dos_w = g.coop_w = g.w0 / 2;
        g.coop_x = g.x0 + g.w0 / 2;
    }
    return g;
}

}  // namespace

TEST(DosGraphMenu, EnergyAndXRangeKeepTheTicsAndRedraw) {
    DosInput in = tenEv();
    DosGraph g = withCurves(in, {1}, {});
    g.setFlag(kFlagTics, true);
    g.energy_tics = {0, 10, 1, 2};
    g.sides[kSideLeft] = 1;
    Session s("1\n5\n2\n2\n8\n2\n0\nx\n1.5\n0\n");
    mvgrph(s.plot, s.con, in, g);
    // the energy tics on the same values over the new window, numbered again
    EXPECT_FLOAT_EQ(g.energy_tics.start, 2.0f);
    EXPECT_FLOAT_EQ(g.energy_tics.end, 8.0f);
    EXPECT_EQ(s.plot.matching("box").size(), 2u);
    EXPECT_FLOAT_EQ(g.emin, 2.0f);  // 5 ... 2 refused, both asked again
    EXPECT_FLOAT_EQ(g.emax, 8.0f);
    EXPECT_FLOAT_EQ(g.xfactor, 1.5f);
    EXPECT_TRUE(g.flag(kFlagTics));
    const std::string out = s.out.str();
    EXPECT_NE(out.find("\n Actual energy range:   10.00000\n Lower energy:           0.00000\n"
                       " Higher energy:         10.00000\n\n Lower energy:  "),
              std::string::npos);
    EXPECT_NE(out.find(" x range is  1.000 times the amplitude range.\n\n x range:  x range:  x range: "),
              std::string::npos);
    EXPECT_EQ(s.plot.matching("page").size(), 2u);
    EXPECT_EQ(s.plot.calls.back().rfind("box ", 0), 0u);  // the redraw ends with the tics
}

TEST(DosGraphMenu, TicsOnTwoPanelsAskEnergyAxesOnly) {
    DosInput in = tenEv();
    DosGraph g = withCurves(in, {1}, {6});
    g.setFlag(kFlagBorder, true);
    Session s("4\n-5\n20\n1\n1\n2\n3\n2\n0\n");
    mvgrph(s.plot, s.con, in, g);
    const std::string out = s.out.str();
    EXPECT_NE(out.find(" Tic range settings apply to all energy axes.\n\n Tic start energy:          "),
              std::string::npos);
    EXPECT_NE(out.find("\n Left axis.\n Select axis side"), std::string::npos);
    EXPECT_NE(out.find("\n Middle axis.\n Select axis side"), std::string::npos);
    EXPECT_NE(out.find("\n Right axis.  Select axis side"), std::string::npos);
    EXPECT_EQ(out.find("horizontal"), std::string::npos);
    EXPECT_FLOAT_EQ(g.energy_tics.start, 0.0f);  // clamped to the energy range
    EXPECT_FLOAT_EQ(g.energy_tics.end, 10.0f);
    EXPECT_FLOAT_EQ(g.energy_tics.label_distance, 2.0f);
    EXPECT_EQ(g.sides, (std::array<int, kSides>{1, 3, 2, 0, 0, 0, 0}));
    EXPECT_TRUE(g.flag(kFlagTics));
    // left at x0 with labels, middle at the COOP panel's edge, right at x0 + w0
    const auto boxes = s.plot.matching("box");
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0], "box '        ITS' 2 2 'ABN     ITSV' 2 2");
    EXPECT_NE(std::find(s.plot.calls.begin(), s.plot.calls.end(), "svp 0.41248 1 0.125 0.875"), s.plot.calls.end());
    EXPECT_NE(std::find(s.plot.calls.begin(), s.plot.calls.end(), "svp 0.70711 1 0.125 0.875"), s.plot.calls.end());
    // the redraw repeats them
    RecordingPlot again;
    mvrdrw(again, in, g);
    EXPECT_EQ(again.matching("box"), boxes);
}

TEST(DosGraphMenu, TicDistanceBeyondTheRangeGivesOneLabelledTic) {
    DosInput in = tenEv();
    DosGraph g = withCurves(in, {1}, {});
    g.buffer(1).own_scale = true;  // no horizontal axis questions then
    Session s("4\n0\n10\n25\n0\n3\n0\n");
    mvgrph(s.plot, s.con, in, g);
    EXPECT_FLOAT_EQ(g.energy_tics.distance, 10.0f);
    EXPECT_FLOAT_EQ(g.energy_tics.label_distance, 10.0f);
    EXPECT_EQ(s.out.str().find("horizontal"), std::string::npos);
}

TEST(DosGraphMenu, HorizontalDosAxesWithBorder) {
    DosInput in = tenEv();
    DosGraph g = withCurves(in, {1, 2}, {});  // common range 0.2 ... 2
    g.setFlag(kFlagBorder, true);
    g.xfactor = 2.0f;
    Session s("0\n10\n2\n1\n1\n0\n1\n2\n3\n1\n0\n5\n0.5\n2\n");  // right axis: none
    askAxes(s.plot, s.con, g);
    const std::string out = s.out.str();
    EXPECT_NE(out.find("\n Lower horizontal DOS axis.\n Select axis side of tic marks \n (0) No tic marks\n"
                       " (1) Lower side\n (2) Upper side\n"),
              std::string::npos);
    EXPECT_NE(out.find("\n Upper horizontal DOS axis.\n"), std::string::npos);
    EXPECT_NE(out.find(" DOS axis range:      3.60000\n DOS axis minimum:    0.40000\n DOS axis maximum:    4.00000\n\n"),
              std::string::npos);
    // 3 ... 1 asked again; then start 0 raised to 0.4, end 5 lowered to 4
    EXPECT_NE(out.find(" DOS axis tic start value:  DOS axis tic end value:    DOS axis tic start value: "),
              std::string::npos);
    EXPECT_FLOAT_EQ(g.dos_tics.start, 0.4f);
    EXPECT_FLOAT_EQ(g.dos_tics.end, 4.0f);
    EXPECT_FLOAT_EQ(g.dos_axis_min, 0.4f);
    EXPECT_FLOAT_EQ(g.dos_axis_max, 4.0f);
    EXPECT_EQ(g.sides[kSideDosLower], 1);
    EXPECT_EQ(g.sides[kSideDosUpper], 2);
    const auto boxes = s.plot.matching("box");
    ASSERT_EQ(boxes.size(), 3u);  // left energy axis, lower and upper DOS axes
    EXPECT_EQ(boxes[1], "box 'ABN     ITS' 1 2 '        ITSV' 1 2");
    EXPECT_EQ(boxes[2], "box 'CM      ITS' 1 2 '        TSV' 1 2");  // numbers above the frame
}

TEST(DosGraphMenu, TitlesTextsAndFermiMarker) {
    DosInput in = tenEv();
    DosGraph g = withCurves(in, {}, {6});
    g.texts.push_back(FreeText{fortran::A("old", 80), 0.1f, 0.1f, 0.0f, 0});
    Session s("5\nCOHP\nE (eV)\n6\nn\nnew\n2\n45\n0.3 0.4\n\n10\n11\n5\ny\n0\n");
    mvgrph(s.plot, s.con, in, g);
    const std::string out = s.out.str();
    EXPECT_NE(out.find(" Selection:  COOP axis title:  Energy axis title: "), std::string::npos);
    EXPECT_EQ(fortran::trimRight(g.coop_title), "COHP");
    EXPECT_EQ(fortran::trimRight(g.dos_title), "");
    ASSERT_EQ(g.texts.size(), 2u);  // appended after the old one
    EXPECT_EQ(fortran::trimRight(g.texts[1].text), "new");
    EXPECT_FLOAT_EQ(g.texts[1].x, 0.3f);
    EXPECT_EQ(g.texts[1].pos, 2);
    EXPECT_FLOAT_EQ(g.texts[1].angle, 45.0f);
    EXPECT_NE(out.find(" Fermi energy:  Fermi energy:  Mark with line? (y/n) "), std::string::npos);
    EXPECT_FLOAT_EQ(g.efermi, 5.0f);
    EXPECT_TRUE(g.fermi_line);
    EXPECT_TRUE(g.flag(kFlagTitles));
    EXPECT_TRUE(g.flag(kFlagText));
    EXPECT_TRUE(g.flag(kFlagFermi));
    // the Fermi marker is drawn at once: the arrow text and the dashed line
    EXPECT_EQ(s.plot.calls.back(), "sls 1");
    EXPECT_EQ(s.plot.matching("sls 2").size(), 1u);
}

TEST(DosGraphMenu, TextTableFullEndsTheOption) {
    DosInput in = tenEv();
    DosGraph g = withCurves(in, {1}, {});
    for (int k = 0; k < kMaxTexts; ++k) g.texts.push_back(FreeText{fortran::A("t", 80), 0.1f, 0.1f, 0.0f, 0});
    Session s("6\nn\n0\n");
    mvgrph(s.plot, s.con, in, g);
    EXPECT_NE(s.out.str().find(" The text table is full (10 texts).\n"), std::string::npos);
    EXPECT_EQ(g.texts.size(), 10u);
}

TEST(DosGraphMenu, BufferRangesAndOffsets) {
    DosInput in = tenEv();
    DosGraph g = withCurves(in, {1, 2}, {6});
    Session s("11\n3\n1\n-1\n4\n0\n2.5\n12\n9\n2\n1.25\n13\n0\n");
    mvgrph(s.plot, s.con, in, g);
    const std::string out = s.out.str();
    EXPECT_NE(out.find(" DOS buffer minimum:    0.20000\n DOS buffer maximum:    2.00000\n\n Enter new values:\n"),
              std::string::npos);
    EXPECT_NE(out.find(" COOP buffer maximum:    3.00000\n\n Enter new value:\n Maximum:  Maximum: "),
              std::string::npos);
    EXPECT_FLOAT_EQ(g.dos_min, -1.0f);
    EXPECT_FLOAT_EQ(g.dos_max, 4.0f);
    EXPECT_FLOAT_EQ(g.coop_max, 2.5f);
    EXPECT_NE(out.find(" Change DOS buffer drawing offset.\n\n Enter DOS buffer number (1-2):  Enter DOS buffer number (1-2): \n"
                       " Minimum of all DOS buffers:   -1.00000\n Maximum of all DOS buffers:    4.00000\n"
                       " Offset of DOS buffer 2:    0.00000\n\n Enter offset of DOS buffer 2: "),
              std::string::npos);
    EXPECT_FLOAT_EQ(g.buffer(2).offset, 1.25f);
    EXPECT_NE(out.find("\n DOS buffers:\n\n  1 Density of states"), std::string::npos);
    EXPECT_NE(out.find("\n COOP buffers:\n\n  9 OVLPROJ coop 1 line 1"), std::string::npos);
}

TEST(DosGraphMenu, ACurveWithoutRangeGetsNoHorizontalAxisQuestions) {
    Shape sp;
    sp.value = [](int c, int i) { return c == 0 ? static_cast<float>(i) : 0.0f; };
    DosInput in = dostest::input(sp);
    DosGraph g = withCurves(in, {}, {6});  // all zero: COOP axis -0 ... 0
    Session s("1\n5\n1\n1\n2\n");
    askAxes(s.plot, s.con, g);  // would otherwise ask the COOP tic range for ever
    EXPECT_NE(s.out.str().find(" The COOP axis has no range; no horizontal COOP axis.\n"), std::string::npos);
    EXPECT_EQ(g.sides[kSideCoopLower], 0);
    EXPECT_EQ(g.sides[kSideCoopUpper], 0);
}

// Every answer the layout keeps is checked as it will read back from fort.7:
// one that would not load again is refused with its reason and asked again.
TEST(DosGraphMenu, AnswersTheLayoutCouldNotKeepAreAskedAgain) {
    struct Case {
        const char* what;
        std::string answers;
        const char* reason;
    } cases[] = {
        {"x range factor", "2\n1e-6\n0.5\n", "1e-06 reads back as 0.00000, not above 0"},
        {"energy window", "1\n0\n1e-6\n0\n1\n", "0 to 1e-06 reads back as 0.00000 to 0.00000"},
        {"energy too wide", "1\n0\n1e8\n0\n1\n", "1e+08 does not fit its 10 columns"},
        {"DOS buffer range", "11\n0\n1e-6\n0\n1\n", "0 to 1e-06 reads back as 0.00000 to 0.00000"},
        {"drawing offset", "12\n1\n1e20\n1\n", "1e+20 does not fit its 12 columns"},
    };
    for (const Case& c : cases) {
        DosInput in = tenEv();
        DosGraph g = withCurves(in, {1}, {});
        Session s(c.answers + "0\n");
        mvgrph(s.plot, s.con, in, g);
        EXPECT_NE(s.out.str().find(std::string(" The layout file cannot hold this value: ") + c.reason + ".\n"),
                  std::string::npos)
            << c.what << "\n" << s.out.str();
        EXPECT_EQ(s.in.rdbuf()->in_avail(), 0) << c.what;
        EXPECT_TRUE(formatLayout(g)) << c.what;
    }
}
