#include <gtest/gtest.h>

#include <cmath>

#include "band/core/layout_file.h"
#include "band/core/starter_layout.h"
#include "band/draw/redraw.h"
#include "dos/core/layout_file.h"
#include "dos/core/starter_layout.h"
#include "dos_fixture.h"
#include "recording_plot.h"
#include "silicon_bands.h"

namespace {

// What each axis gets: labels on multiples of the label step inside the
// window, a tic step dividing it, at most 12 labels.
TEST(StarterTics, NiceStepsInsideTheWindow) {
    struct Case {
        float lo, hi, start, end, distance, label;
    };
    const Case cases[] = {
        {-13, 9, -12, 8, 1, 2},       {-5, 5, -5, 5, 0.5f, 1},        {-20, 10, -20, 10, 1, 5},
        {-0.3f, 0.25f, -0.3f, 0.25f, 0.01f, 0.05f},
        {-13.99329f, 6.6f, -12, 6, 1, 2}, {0, 120, 0, 120, 5, 10},   {2.2f, 2.3f, 2.2f, 2.3f, 0.005f, 0.01f},
    };
    for (const Case& c : cases) {
        const annotate::TicRange t = annotate::labelledTics(c.lo, c.hi);
        const std::string what = std::to_string(c.lo) + " ... " + std::to_string(c.hi);
        EXPECT_NEAR(t.start, c.start, 1e-5) << what;
        EXPECT_NEAR(t.end, c.end, 1e-5) << what;
        EXPECT_NEAR(t.distance, c.distance, 1e-6) << what;
        EXPECT_NEAR(t.label_distance, c.label, 1e-6) << what;
        EXPECT_LE((t.end - t.start) / t.label_distance, 12.0001f) << what;
        EXPECT_TRUE(annotate::ticsFit(t)) << what;
    }
}

// The starter window of both programs, from the lowest and highest energy
// relative to the Fermi level: 6 eV below to 4 above, less deep for
// narrow occupied bands, never past the highest energy.
TEST(StarterWindow, AroundTheGapOrFermiLevel) {
    struct Case {
        const char* name;
        double lowest, highest, lo, hi;
    };
    const Case cases[] = {
        {"semicore states far below", -48.3, 22.0, -6, 4},
        {"valence bands deeper than the window", -12.06, 9.5, -6, 4},
        {"narrow occupied bands", -2.3, 10.0, -3, 4},
        {"lowest band just inside", -5.6, 7.0, -6, 4},
        {"few empty bands", -9.0, 2.4, -6, 3},
        {"metal, bands through the Fermi level", -8.2, 15.7, -6, 4},
        {"no occupied states", 1.2, 8.3, 0, 4},
        {"one flat level", -0.5, -0.5, -1, 0},
    };
    for (const Case& c : cases) {
        const annotate::EnergyWindow w = annotate::starterWindow(c.lowest, c.highest);
        EXPECT_EQ(w.lo, c.lo) << c.name;
        EXPECT_EQ(w.hi, c.hi) << c.name;
    }
}

// Each starter layout goes through the real fort.15 reader and keeps what
// the picture needs; refused settings name why.
TEST(StarterLayout, BandLayoutsLoadBackFinished) {
    struct Case {
        const char* name;
        std::function<void(band::StarterBands&)> edit;
        const char* refused;  // "" when the layout is made
    };
    const Case cases[] = {
        {"five lines", [](band::StarterBands&) {}, ""},
        {"one line, absolute", [](band::StarterBands& s) { s.labels = {"X", "W"}, s.lengths = {2}, s.efermi = 5.5f, s.relative = false; }, ""},
        {"Fermi level unknown", [](band::StarterBands& s) { s.efermi.reset(); }, ""},
        {"Fermi level off the window", [](band::StarterBands& s) { s.efermi = 10; }, ""},
        {"with projections", [](band::StarterBands& s) { s.projections = true; }, ""},
        {"label missing", [](band::StarterBands& s) { s.labels.pop_back(); }, "5 labels for 5 symmetry lines"},
        {"eleven lines", [](band::StarterBands& s) { s.lengths.assign(11, 1.0); s.labels.assign(12, "X"); }, "11 symmetry lines"},
        {"no line", [](band::StarterBands& s) { s.lengths.clear(); s.labels = {"X"}; }, "0 symmetry lines"},
        {"length zero", [](band::StarterBands& s) { s.lengths[2] = 0; }, "length not above 0"},
        {"window upside down", [](band::StarterBands& s) { s.emin = 9; s.emax = -13; }, "minimum not below maximum"},
        {"window too wide", [](band::StarterBands& s) { s.emax = 1e7f; }, "fit"},
        {"label too long", [](band::StarterBands& s) { s.labels[1] = std::string(81, 'G'); }, "longer than 80"},
    };
    for (const Case& c : cases) {
        band::StarterBands s = silicon_bands::starter();
        c.edit(s);
        Result<std::string> text = band::formatStarterLayout(s);
        if (*c.refused) {
            ASSERT_FALSE(text) << c.name;
            EXPECT_NE(text.error().find(c.refused), std::string::npos) << c.name << ": " << text.error();
            continue;
        }
        ASSERT_TRUE(text) << c.name << ": " << text.error();
        band::BandGraph g;
        ASSERT_TRUE(band::loadLayout(RecordFile::fromText("fort.15", *text), g)) << c.name;
        const int n = static_cast<int>(s.lengths.size());
        ASSERT_EQ(g.nshow, n) << c.name;
        EXPECT_NEAR(g.geom.view_right, n >= 4 ? 1.0f : kPortraitWidth, 1e-5) << c.name;
        double total = 0;
        for (double l : s.lengths) total += l;
        for (int i = 1; i <= n; ++i) {
            EXPECT_NEAR(g.line_pos[i + 1] - g.line_pos[i], s.lengths[static_cast<size_t>(i - 1)] / total * g.geom.frame_w, 2e-5) << c.name;
            EXPECT_EQ(fortran::trimRight(g.labels[i]), s.labels[static_cast<size_t>(i - 1)]) << c.name;
        }
        EXPECT_EQ(fortran::trimRight(g.labels[n + 1]), s.labels.back()) << c.name;
        EXPECT_EQ(fortran::trimRight(g.vtitle), s.relative ? "E - E\\sub F \\endsub (eV)" : "Energy (eV)") << c.name;
        EXPECT_TRUE(g.flags[3] && g.flags[4] && g.flags[5] && g.border) << c.name;
        EXPECT_EQ(g.flags[2], n == 1) << c.name;
        EXPECT_EQ(g.tic_side[1], 1) << c.name;
        EXPECT_GT(g.tics.label_distance, 0) << c.name;
        EXPECT_GE(g.tics.start, s.emin) << c.name;
        EXPECT_LE(g.tics.end, s.emax) << c.name;
        const bool marked = s.efermi && *s.efermi >= s.emin && *s.efermi <= s.emax;
        EXPECT_EQ(g.flags[7], marked) << c.name;
        // the projections coloured on the bands, their groups named
        EXPECT_EQ(g.show.mode, s.projections ? band::CharacterMode::colours : band::CharacterMode::off) << c.name;
        EXPECT_EQ(g.legend.on, s.projections) << c.name;
        if (marked) {
            EXPECT_EQ(g.efermi, *s.efermi) << c.name;
        }
    }
}

// The silicon starter drawn: every label and the axis title through the
// markup, the Fermi marker, and tics on the left and right edges only.
TEST(StarterLayout, BandLayoutDrawsItsTexts) {
    Result<std::string> text = band::formatStarterLayout(silicon_bands::starter());
    ASSERT_TRUE(text);
    band::BandGraph g;
    ASSERT_TRUE(band::loadLayout(RecordFile::fromText("fort.15", *text), g));
    RecordingPlot plot;
    band::tlrdrw(plot, g);
    std::string texts;
    for (const std::string& l : plot.matching("ptxt")) texts += l.substr(l.find('\'')) + " ";
    EXPECT_EQ(texts, "'L' '\\gG' 'X' 'W' 'K' '\\gG' '' '' '' '' '' 'E - E\\dF \\u(eV)' '\\(2263) E\\dF \\u' ");
    EXPECT_EQ(plot.matching("box").size(), 2u);  // the left edge (labelled) and the right one
}

// The DOS layout fetches its curves again through the fort.7 reader.
TEST(StarterLayout, DosLayoutsLoadBackWithTheirCurves) {
    struct Case {
        const char* name;
        dostest::Shape shape;
        dos::StarterDos starter;
        int nd, nc;  // buffers; 0, 0 when refused
    };
    dostest::Shape totalsAndAo;  // 3 totals, 1 AO, 1 COOP; grid -2 ... 2
    totalsAndAo.nao = 3;
    dostest::Shape manyAo = totalsAndAo;
    manyAo.nao = 5, manyAo.nfmo = 5;
    dostest::Shape coopOnly;
    coopOnly.ntot = 0, coopOnly.nao = 0;
    dostest::Shape nothing = coopOnly;
    nothing.ncoop = 0;
    const Case cases[] = {
        {"total and three AO", totalsAndAo, {}, 4, 0},
        {"five AO", manyAo, {std::nullopt, false}, 6, 0},
        {"Fermi level off the grid", totalsAndAo, {3.0f, false}, 4, 0},
        {"COOP only", coopOnly, {}, 0, 1},
        {"no curve", nothing, {}, 0, 0},
    };
    for (const Case& c : cases) {
        const DosInput in = dostest::input(c.shape);
        Result<std::string> text = dos::formatStarterLayout(in, c.starter);
        if (c.nd + c.nc == 0) {
            ASSERT_FALSE(text) << c.name;
            EXPECT_EQ(text.error(), "fort.1: no DOS, AO projection or COOP curve to draw");
            continue;
        }
        ASSERT_TRUE(text) << c.name << ": " << text.error();
        DosGraph g = dostest::graphFor(in);
        ASSERT_TRUE(dos::parseLayout(RecordFile::fromText("fort.7", *text), in, g)) << c.name;
        EXPECT_EQ(g.nd, c.nd) << c.name;
        EXPECT_EQ(g.nc, c.nc) << c.name;
        if (c.nd > 0) {
            EXPECT_EQ(g.buffer(1).curve, 1) << c.name;
            for (int b = 2; b <= c.nd; ++b) {
                EXPECT_EQ(g.buffer(b).curve, curveNumber(in, ProjKind::AO, b - 1, false)) << c.name;
                EXPECT_EQ(g.buffer(b).line_type, b <= 5 ? b : b - 4) << c.name;
                EXPECT_FALSE(g.buffer(b).own_scale) << c.name;
            }
            EXPECT_EQ(g.sides[kSideDosLower], 1) << c.name;
        } else {
            EXPECT_EQ(g.buffer(9).curve, curveNumber(in, ProjKind::COOP, 1, false)) << c.name;
        }
        EXPECT_TRUE(g.flag(dos::kFlagBorder) && g.flag(dos::kFlagTics) && g.flag(dos::kFlagTitles)) << c.name;
        EXPECT_EQ(g.energy_tics.start, -2.0f) << c.name;
        EXPECT_EQ(g.energy_tics.end, 2.0f) << c.name;
        EXPECT_EQ(fortran::trimRight(g.energy_title),
                  c.starter.relative ? "E - E\\sub F \\endsub (eV)" : "Energy (eV)") << c.name;
        EXPECT_EQ(g.flag(dos::kFlagFermi), c.starter.efermi && *c.starter.efermi <= 2.0f) << c.name;
    }
}

}  // namespace
