#include "dos/core/starter_layout.h"

#include <algorithm>
#include <cmath>

#include "annotate/settings.h"
#include "common/fortran_format.h"
#include "dos/core/buffers.h"
#include "dos/core/layout_file.h"

namespace dos {

using namespace common;

namespace {

const char* const kRelativeTitle = "E - E\\sub F \\endsub (eV)";
const char* const kAbsoluteTitle = "Energy (eV)";
const char* const kDosTitle = "DOS (states/eV)";
const char* const kCoopTitle = "COOP";

// The curve of the panel's k-th buffer (from 0); with the spin channels
// mirrored the curves come in pairs (up, then down, the total's down
// channel first), the two of a pair one curve.
int curveOfBuffer(int k, bool mirrored) { return mirrored ? k / 2 : k; }

// The line type of curve k (from 0): the first full, the others each in a
// broken style of its own (styles 2 ... 5 in turn), which tells them apart
// where the colours alone would not (a grey print, a black and white copy).
int starterLineType(int k) { return k == 0 ? 1 : (k - 1) % (kMaxLineType - 1) + 2; }

// Curves into the next buffers of `panel` on its common scale, each in its
// starter line type; a full panel takes no more.
Status loadAll(const DosInput& in, DosGraph& g, Panel panel, const std::vector<int>& curves, bool mirrored) {
    for (int c : curves) {
        if (g.count(panel) >= kBuffersPerPanel) break;
        Result<int> b = loadCurve(in, g, CurveRequest{panel, c, 0.0f}, false);
        if (!b) return Failure{b.error()};
        const int k = curveOfBuffer(*b - DosGraph::first(panel), mirrored);
        g.buffer(*b).line_type = starterLineType(k);
        g.buffer(*b).colour = annotate::curveColour(k);
    }
    return {};
}

std::vector<int> projectionCurves(const DosInput& in, ProjKind kind) {
    std::vector<int> curves;
    for (int p = 1; p <= in.projections(kind); ++p) curves.push_back(curveNumber(in, kind, p, false));
    return curves;
}

// The range widened to the labelled tics round it, so that the highest
// peak does not run into the frame edge; its tics.
// (A bound a rounding away from a label stays on it; the wider range may
// want a longer label distance, which is then taken in turn.)
annotate::TicRange widenedToLabels(float& lo, float& hi) {
    for (int pass = 0; pass < 2; ++pass) {
        const float step = annotate::labelledTics(lo, hi, annotate::kMostValueLabels).label_distance;
        lo = std::floor(lo / step + 1e-3f) * step;
        hi = std::ceil(hi / step - 1e-3f) * step;
    }
    return annotate::labelledTics(lo, hi, annotate::kMostValueLabels);
}

// Energy tics left (labelled) and right, outward as the band pictures'; a
// panel alone on its common scale gets its lower axis labelled too.
void addTics(DosGraph& g) {
    g.setFlag(kFlagTics, true);
    g.energy_tics = annotate::labelledTics(g.emin, g.emax, annotate::kMostEnergyLabels);
    g.sides[kSideLeft] = 1;
    g.sides[kSideRight] = 2;
    const float F = g.xfactor;
    if (g.nd > 0 && g.nc == 0 && !g.anyOwnScale(Panel::DOS) && g.dos_max > g.dos_min) {
        g.dos_axis_min = F * g.dos_min;
        g.dos_axis_max = F * g.dos_max;
        g.dos_tics = widenedToLabels(g.dos_axis_min, g.dos_axis_max);
        g.dos_min = g.dos_axis_min / F;  // the curves drawn over the widened axis
        g.dos_max = g.dos_axis_max / F;
        g.sides[kSideDosLower] = 1;
    }
    if (g.nc > 0 && g.nd == 0 && !g.anyOwnScale(Panel::COOP) && g.coop_max > 0) {
        float lo = -F * g.coop_max;
        g.coop_axis_max = F * g.coop_max;
        widenedToLabels(lo, g.coop_axis_max);
        g.coop_max = g.coop_axis_max / F;
        g.coop_tics = annotate::labelledTics(-g.coop_axis_max, g.coop_axis_max, annotate::kMostValueLabels);
        g.sides[kSideCoopLower] = 1;
    }
}

// The lowest energy at which a curve holds more than a thousandth of the
// largest value of all (a broadened DOS has tails of next to nothing).
float lowestWithStates(const DosInput& in, const DosGraph& g) {
    float largest = 0.0f;
    for (Panel p : {Panel::DOS, Panel::COOP})
        for (int k = 0; k < g.count(p); ++k)
            for (float v : g.buffer(DosGraph::first(p) + k).values) largest = std::max(largest, std::fabs(v));
    for (int i = 0; i < in.ne; ++i)
        for (Panel p : {Panel::DOS, Panel::COOP})
            for (int k = 0; k < g.count(p); ++k)
                if (std::fabs(g.buffer(DosGraph::first(p) + k).values[static_cast<size_t>(i)]) > 1e-3f * largest)
                    return in.energy[static_cast<size_t>(i)];
    return g.emin;
}

// Energies relative to the Fermi level: the starter window of both
// programs (annotate::starterWindow), from the lowest energy with states.
void windowAroundFermi(const DosInput& in, DosGraph& g) {
    const annotate::EnergyWindow w = annotate::starterWindow(std::max(lowestWithStates(in, g), g.emin), g.emax);
    // never below the energies of the grid: a frame of no curve
    g.emin = std::max(static_cast<float>(w.lo), std::floor(g.emin));
    g.emax = static_cast<float>(w.hi);
}

// The common ranges of the panels over the curves inside the energy
// window only: a peak outside it leaves no empty room beside the curves.
// The DOS range holds 0, the COOP range lies symmetric about it.
void rangesInsideWindow(const DosInput& in, DosGraph& g) {
    for (Panel p : {Panel::DOS, Panel::COOP}) {
        float lo = 0.0f, hi = 0.0f;
        for (int k = 0; k < g.count(p); ++k) {
            const CurveBuffer& b = g.buffer(DosGraph::first(p) + k);
            for (int i = 0; i < in.ne; ++i) {
                const float e = in.energy[static_cast<size_t>(i)];
                if (e < g.emin || e > g.emax) continue;
                lo = std::min(lo, b.values[static_cast<size_t>(i)]);
                hi = std::max(hi, b.values[static_cast<size_t>(i)]);
            }
        }
        if (!(hi > lo)) continue;
        if (p == Panel::DOS) {
            g.dos_min = lo;
            g.dos_max = hi;
        } else {
            g.coop_max = std::max(hi, -lo);
        }
    }
}

}  // namespace

Result<DosGraph> starterGraph(const DosInput& in, const StarterDos& s) {
    DosGraph g;
    initGraph(g, in);
    std::vector<int> dos = projectionCurves(in, ProjKind::AO);
    if (in.ntot >= 1) dos.insert(dos.begin(), 1);
    if (Status loaded = loadAll(in, g, Panel::DOS, dos, s.mirrored); !loaded) return Failure{loaded.error()};
    if (g.nd == 0)
        if (Status loaded = loadAll(in, g, Panel::COOP, projectionCurves(in, ProjKind::COOP), false); !loaded)
            return Failure{loaded.error()};
    if (g.nd + g.nc == 0) return Failure{in.file.name() + ": no DOS, AO projection or COOP curve to draw"};
    if (s.relative) {
        windowAroundFermi(in, g);
        rangesInsideWindow(in, g);
    }
    // Curves below zero (spin down drawn to the left of spin up): one scale
    // as wide on either side of zero, so that the two channels compare.
    if (g.nd > 0 && g.dos_min < 0.0f) {
        g.dos_max = std::max(g.dos_max, -g.dos_min);
        g.dos_min = -g.dos_max;
    }

    g.setFlag(kFlagBorder, true);
    addTics(g);
    g.legend.on = true;
    g.setFlag(kFlagTitles, true);
    g.dos_title = fortran::A(kDosTitle, kTextWidth);
    g.coop_title = fortran::A(kCoopTitle, kTextWidth);
    g.energy_title = fortran::A(s.relative ? kRelativeTitle : kAbsoluteTitle, kTextWidth);
    if (s.efermi && *s.efermi >= g.emin && *s.efermi <= g.emax) {
        g.setFlag(kFlagFermi, true);
        g.efermi = *s.efermi;
        g.fermi_line = true;
    }
    g.source_fermi = s.sourceFermi;
    g.picture_title = s.title;
    return g;
}

Result<std::string> formatStarterLayout(const DosInput& in, const StarterDos& s) {
    Result<DosGraph> g = starterGraph(in, s);
    if (!g) return Failure{g.error()};
    return formatLayout(*g);
}

}  // namespace dos
