#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "band/dialog/crossing.h"
#include "common/console.h"
#include "recording_plot.h"

using namespace common;
using namespace band;

namespace {

// Three k points, levels 1..5 of which 2..5 are interpolated; the levels
// rise by one eV each and a little along the line.
struct Line {
    LineTables t;
    LineState ln;
    BandState st;
    explicit Line(bool descending = false) {
        st.nbands = 5;
        st.nlower = 1;
        st.ninterp = 4;
        ln.nkl = 3;
        if (descending) {
            ln.kfirst = 3;
            ln.klast = 1;
            ln.kstep = -1;
        } else {
            ln.kfirst = 1;
            ln.klast = 3;
            ln.kstep = 1;
        }
        for (int k = 1; k <= 3; ++k) {
            t.kdist[static_cast<size_t>(k)] = descending ? 0.5f * static_cast<float>(3 - k)
                                                         : 0.5f * static_cast<float>(k - 1);
            for (int b = 1; b <= 5; ++b) {
                t.energy_orig(b, k) = static_cast<float>(b) + 0.1f * static_cast<float>(k);
                t.sym_code(b, k) = std::string(30, ' ') + std::to_string(b) + " ";
            }
        }
        t.line_length = 1.0f;
        t.emin = t.elow = 2.1f;
        t.emax = t.ehigh = 5.3f;
        orderLine(t, ln, st, true);
    }
    int order(int b, int k) const { return t.band_order(b, k); }
};

void expectConsistent(const Line& l) {
    for (int k = 1; k <= l.ln.nkl; ++k) {
        std::set<int> bands;
        for (int b = l.st.nlower + 1; b <= l.st.nlower + l.st.ninterp; ++b) {
            bands.insert(l.t.band_order(b, k));
            EXPECT_FLOAT_EQ(l.t.energy_cur(l.t.band_order(b, k), k), l.t.energy_orig(b, k)) << b << "," << k;
        }
        EXPECT_EQ(bands, (std::set<int>{2, 3, 4, 5})) << "k point " << k;
    }
}

}  // namespace

TEST(Crossing, FromTheFirstPointOfAnAscendingLineSwapsEverywhere) {
    Line l;
    crossBands(l.t, l.ln, 2, 3, 1);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(l.order(2, k), 3);
        EXPECT_EQ(l.order(3, k), 2);
    }
    expectConsistent(l);
}

TEST(Crossing, AtPositionOneOfADescendingLineSwapsThereOnly) {
    Line l(true);
    crossBands(l.t, l.ln, 2, 3, 1);
    EXPECT_EQ(l.order(2, 1), 3);
    EXPECT_EQ(l.order(2, 2), 2);
    EXPECT_EQ(l.order(2, 3), 2);
    expectConsistent(l);
}

TEST(Crossing, SamePairTwiceRestoresAndSameLevelChangesNothing) {
    Line l;
    crossBands(l.t, l.ln, 4, 5, 2);
    EXPECT_EQ(l.order(4, 3), 5);
    crossBands(l.t, l.ln, 4, 5, 2);
    crossBands(l.t, l.ln, 3, 3, 1);
    for (int k = 1; k <= 3; ++k)
        for (int b = 2; b <= 5; ++b) EXPECT_EQ(l.order(b, k), b);
    expectConsistent(l);
}

TEST(Crossing, CopyOntoItselfOverTheFullRangeDropsManualCrossings) {
    Line l;
    crossBands(l.t, l.ln, 2, 5, 2);
    copySymmetry(l.t, l.ln, l.st, 2, 2, 2, 5);
    for (int k = 1; k <= 3; ++k)
        for (int b = 2; b <= 5; ++b) EXPECT_EQ(l.order(b, k), b);
    expectConsistent(l);
}

TEST(Crossing, CopiedCodesReconnectTheBands) {
    Line l;
    // at k point 3 levels 2 and 3 carry each other's codes: they cross
    std::swap(l.t.sym_code(2, 3), l.t.sym_code(3, 3));
    copySymmetry(l.t, l.ln, l.st, 3, 3, 2, 5);
    EXPECT_EQ(l.order(2, 3), 3);
    EXPECT_EQ(l.order(3, 3), 2);
    expectConsistent(l);
    // copying k point 1's codes onto k point 3 connects them straight again
    copySymmetry(l.t, l.ln, l.st, 1, 3, 2, 5);
    EXPECT_EQ(l.order(2, 3), 2);
    expectConsistent(l);
}

TEST(Crossing, UncrossOverTheFullRangeRestoresIdentity) {
    Line l;
    crossBands(l.t, l.ln, 2, 3, 1);
    crossBands(l.t, l.ln, 3, 5, 2);
    uncrossBands(l.t, l.ln, l.st, 2, 5);
    for (int k = 1; k <= 3; ++k)
        for (int b = 2; b <= 5; ++b) EXPECT_EQ(l.order(b, k), b);
    expectConsistent(l);
}

TEST(Crossing, PartialUncrossKeepsAPermutation) {
    Line l;
    crossBands(l.t, l.ln, 2, 3, 1);
    crossBands(l.t, l.ln, 3, 4, 1);  // level 2 -> 3, 3 -> 4, 4 -> 2
    uncrossBands(l.t, l.ln, l.st, 2, 2);
    EXPECT_EQ(l.order(2, 1), 2);
    expectConsistent(l);
}

TEST(CrossingDialogue, PicksThroughTheConsoleCursorAndCrosses) {
    Line l;
    FrameGeom g;
    // first marker: level 2 at k point 1 (x0, energy 2.1); second: level 3
    // at k point 2 (x0 + w/2, energy 3.2); both in frame coordinates
    auto yOf = [&](float e) { return g.frame_y0 + (e - 2.1f) / 3.2f * g.frame_h; };
    std::ostringstream script;
    script << "0\n6\n2\n"
           << "0.01 0.5\n"                                                 // outside the frame
           << g.frame_x0 + 0.3f * g.frame_w << " " << yOf(2.1f) << "\n"   // no k point near
           << g.frame_x0 << " " << yOf(4.6f) << "\n"                      // no level near
           << g.frame_x0 << " " << yOf(2.1f) << "\n"
           << g.frame_x0 + 0.5f * g.frame_w << ", " << yOf(3.2f) << "\n"
           << "5\n";
    std::istringstream in(script.str());
    std::ostringstream out;
    Console con(in, out);
    RecordingPlot plot;
    crossingDialogue(plot, con, l.t, l.ln, l.st, g);
    const std::string text = out.str();
    EXPECT_NE(text.find(" You didn't click near a marker.\n"), std::string::npos);
    EXPECT_NE(text.find(" Band not found, try again.\n"), std::string::npos);
    EXPECT_NE(text.find(" Band    2 selected.\n"), std::string::npos);
    EXPECT_NE(text.find(" Band    3 selected. Crossing at k-point  2.\n"), std::string::npos);
    EXPECT_EQ(l.order(2, 1), 2);
    EXPECT_EQ(l.order(2, 2), 3);
    EXPECT_EQ(l.order(2, 3), 3);
    expectConsistent(l);
    // the picture: frame, bands 2..5 with markers and numbers, twice
    EXPECT_EQ(plot.matching("page").size(), 2u);
    EXPECT_EQ(plot.matching("pt 4").size(), 8u);
    EXPECT_EQ(plot.matching("text 0 ")[0], "text 0 2.132 '   2'");
}

TEST(CrossingDialogue, EnergyWindowCanOnlyNarrow) {
    Line l;
    std::istringstream in("1\n-20\n20\n1\n3\n2\n2.5\n4\n5\n");
    std::ostringstream out;
    Console con(in, out);
    RecordingPlot plot;
    crossingDialogue(plot, con, l.t, l.ln, l.st, FrameGeom{});
    EXPECT_FLOAT_EQ(l.t.elow, 2.5f);
    EXPECT_FLOAT_EQ(l.t.ehigh, 4.0f);
    EXPECT_NE(out.str().find(" Error: Maximum energy is lower than minimum."), std::string::npos);
}
