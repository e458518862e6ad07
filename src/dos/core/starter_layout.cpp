#include "dos/core/starter_layout.h"

#include <algorithm>

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

// Curves into the next buffers of `panel` on its common scale: the first
// in a full line, the others each in a broken style of its own (styles 2
// ... 5 in turn); a full panel takes no more.
Status loadAll(const DosInput& in, DosGraph& g, Panel panel, const std::vector<int>& curves) {
    for (int c : curves) {
        if (g.count(panel) >= kBuffersPerPanel) break;
        Result<int> b = loadCurve(in, g, CurveRequest{panel, c, 0.0f}, false);
        if (!b) return Failure{b.error()};
        const int k = *b - DosGraph::first(panel);
        g.buffer(*b).line_type = k == 0 ? 1 : (k - 1) % (kMaxLineType - 1) + 2;
    }
    return {};
}

std::vector<int> projectionCurves(const DosInput& in, ProjKind kind) {
    std::vector<int> curves;
    for (int p = 1; p <= in.projections(kind); ++p) curves.push_back(curveNumber(in, kind, p, false));
    return curves;
}

// Energy tics left (outward, labelled) and right; a panel alone on its
// common scale gets its lower axis labelled too.
void addTics(DosGraph& g) {
    g.setFlag(kFlagTics, true);
    g.energy_tics = annotate::labelledTics(g.emin, g.emax);
    g.sides[kSideLeft] = 1;
    g.sides[kSideRight] = 2;
    const float F = g.xfactor;
    if (g.nd > 0 && g.nc == 0 && !g.anyOwnScale(Panel::DOS) && g.dos_max > g.dos_min) {
        g.dos_axis_min = F * g.dos_min;
        g.dos_axis_max = F * g.dos_max;
        g.dos_tics = annotate::labelledTics(g.dos_axis_min, g.dos_axis_max);
        g.sides[kSideDosLower] = 1;
    }
    if (g.nc > 0 && g.nd == 0 && !g.anyOwnScale(Panel::COOP) && g.coop_max > 0) {
        g.coop_axis_max = F * g.coop_max;
        g.coop_tics = annotate::labelledTics(-g.coop_axis_max, g.coop_axis_max);
        g.sides[kSideCoopLower] = 1;
    }
}

}  // namespace

Result<DosGraph> starterGraph(const DosInput& in, const StarterDos& s) {
    DosGraph g;
    initGraph(g, in);
    std::vector<int> dos = projectionCurves(in, ProjKind::AO);
    if (in.ntot >= 1) dos.insert(dos.begin(), 1);
    if (Status loaded = loadAll(in, g, Panel::DOS, dos); !loaded) return Failure{loaded.error()};
    if (g.nd == 0)
        if (Status loaded = loadAll(in, g, Panel::COOP, projectionCurves(in, ProjKind::COOP)); !loaded)
            return Failure{loaded.error()};
    if (g.nd + g.nc == 0) return Failure{in.file.name() + ": no DOS, AO projection or COOP curve to draw"};
    // Curves below zero (spin down drawn to the left of spin up): one scale
    // as wide on either side of zero, so that the two channels compare.
    if (g.nd > 0 && g.dos_min < 0.0f) {
        g.dos_max = std::max(g.dos_max, -g.dos_min);
        g.dos_min = -g.dos_max;
    }

    g.setFlag(kFlagBorder, true);
    addTics(g);
    g.setFlag(kFlagTitles, true);
    g.dos_title = fortran::A(kDosTitle, kTextWidth);
    g.coop_title = fortran::A(kCoopTitle, kTextWidth);
    g.energy_title = fortran::A(s.relative ? kRelativeTitle : kAbsoluteTitle, kTextWidth);
    if (s.efermi && *s.efermi >= g.emin && *s.efermi <= g.emax) {
        g.setFlag(kFlagFermi, true);
        g.efermi = *s.efermi;
        g.fermi_line = true;
    }
    return g;
}

Result<std::string> formatStarterLayout(const DosInput& in, const StarterDos& s) {
    Result<DosGraph> g = starterGraph(in, s);
    if (!g) return Failure{g.error()};
    return formatLayout(*g);
}

}  // namespace dos
