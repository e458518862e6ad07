#include "dos/core/buffers.h"

#include <algorithm>
#include <cmath>

#include "common/fortran_format.h"

namespace dos {

using namespace common;

void initGraph(DosGraph& g, const DosInput& in) {
    g = DosGraph{};
    g.emin = in.egrid_low;
    g.emax = in.egrid_high;
    if (!(g.emax > g.emin)) {
        // a grid of one energy: an axis one unit either side of it
        g.emin -= 1.0f;
        g.emax += 1.0f;
    }
}

void resetBuffers(DosGraph& g) {
    g.nd = 0;
    g.nc = 0;
    g.dos_min = 1000.0f;
    g.dos_max = 0.0f;
    g.coop_max = 0.0f;
    for (CurveBuffer& b : g.buf) b.resetAttributes();
}

Result<int> loadCurve(const DosInput& in, DosGraph& g, const CurveRequest& request, bool own_scale) {
    const Panel panel = request.panel;
    const int c = request.curve;
    const float requested_max = request.requested_max;
    if (g.count(panel) >= kBuffersPerPanel)
        return Failure{panel == Panel::DOS ? "DOS curve buffers are full." : "COOP curve buffers are full."};
    Result<CurveValues> fetched = fetchCurve(in, c);
    if (!fetched) return Failure{fetched.error()};
    const CurveValues& values = *fetched;
    float m = 1000.0f, M = requested_max;
    for (int i = 0; i < in.ne; ++i) {
        m = std::min(m, values[static_cast<size_t>(i)]);
        M = std::max(M, values[static_cast<size_t>(i)]);
    }
    if (panel == Panel::COOP) {
        M = std::max(M, std::fabs(m));
        m = -M;
    }
    if (!own_scale) {
        if (panel == Panel::DOS) {
            g.dos_max = std::max(g.dos_max, M);
            g.dos_min = std::min(g.dos_min, m);
        } else {
            g.coop_max = std::max(g.coop_max, M);
        }
    }
    int& n = panel == Panel::DOS ? g.nd : g.nc;
    const int number = DosGraph::first(panel) + n;
    CurveBuffer& b = g.buffer(number);
    b.values = values;
    b.curve = c;
    b.title = fortran::A(curveTitle(in, c), kTitleWidth);
    b.min = m;
    b.max = M;
    b.own_scale = own_scale;
    ++n;
    return number;
}

void recomputeRange(DosGraph& g, Panel panel) {
    float lo = 1000.0f, hi = -1000.0f;
    bool counted = false;
    for (int k = 0; k < g.count(panel); ++k) {
        const CurveBuffer& b = g.buffer(DosGraph::first(panel) + k);
        if (b.own_scale) continue;
        lo = std::min(lo, b.min);
        hi = std::max(hi, b.max);
        counted = true;
    }
    // no buffer left on the common range: the start values, which the
    // layout file can hold and the next curve widens as at start-up
    if (!counted) hi = 0.0f;
    if (panel == Panel::DOS) {
        g.dos_min = lo;
        g.dos_max = hi;
    } else {
        g.coop_max = hi;
    }
}

void deleteBuffer(DosGraph& g, int b) {
    const Panel panel = b <= kBuffersPerPanel ? Panel::DOS : Panel::COOP;
    int& n = panel == Panel::DOS ? g.nd : g.nc;
    const int last = DosGraph::first(panel) + n - 1;
    if (b < DosGraph::first(panel) || b > last) return;
    for (int k = b; k < last; ++k) g.buffer(k) = g.buffer(k + 1);
    g.buffer(last).resetAttributes();
    --n;
    recomputeRange(g, panel);
}

std::vector<annotate::LegendEntry> legendEntries(const DosGraph& g, Panel panel) {
    struct Named {
        annotate::LegendEntry entry;
        std::string half;
    };
    std::vector<Named> named;
    for (int b = DosGraph::first(panel); b <= g.last(panel); ++b) {
        const CurveBuffer& buf = g.buffer(b);
        std::string half;
        const annotate::LegendEntry e{curveName(buf.title, half), buf.colour, buf.width, buf.line_type,
                                      buf.closed ? buf.brush : 0};
        auto same = std::find_if(named.begin(), named.end(), [&e](const Named& n) {
            return n.entry.text == e.text && n.entry.sameLook(e);
        });
        if (same != named.end())
            same->half.clear();  // the other half of a curve drawn before, or the curve again
        else
            named.push_back({e, half});
    }
    std::vector<annotate::LegendEntry> entries;
    for (Named& n : named) {
        if (!n.half.empty()) n.entry.text += " (" + n.half + ")";
        entries.push_back(n.entry);
    }
    return entries;
}

}  // namespace dos
