#include "dos/draw/drawing.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>

#include "annotate/legend.h"
#include "annotate/looks.h"
#include "annotate/marks.h"
#include "annotate/tics.h"
#include "common/plot.h"
#include "dos/core/buffers.h"

namespace dos {

using namespace common;
using namespace annotate;

namespace {

// A range PGPLOT accepts for a window: equal limits widened by one unit.
std::pair<float, float> acceptedRange(float lo, float hi) {
    if (lo == hi) return {lo - 1.0f, hi + 1.0f};
    return {lo, hi};
}

}  // namespace

void safeWindow(Plot& plot, float x1, float x2, float y1, float y2) {
    std::tie(x1, x2) = acceptedRange(x1, x2);
    std::tie(y1, y2) = acceptedRange(y1, y2);
    plot.swin(x1, x2, y1, y2);
}

namespace {

using Points = std::array<float, kMaxEnergies + 2>;

// The polyline of buffer b as mvplot draws it (a closed curve returns along
// the zero of its axis); its number of points.
int curvePoints(const DosInput& in, const DosGraph& g, Panel panel, int b, Points& px, Points& py) {
    const CurveBuffer& buf = g.buffer(b);
    const float offset = panel == Panel::DOS ? buf.offset : 0.0f;
    const int ne = in.ne;
    int n = 0;
    if (buf.closed) {
        px[0] = 0.0f;
        py[0] = in.energy[0];
        n = 1;
    }
    for (int i = 0; i < ne; ++i, ++n) {
        px[static_cast<size_t>(n)] = buf.values[static_cast<size_t>(i)] + offset;
        py[static_cast<size_t>(n)] = in.energy[static_cast<size_t>(i)];
    }
    if (buf.closed) {
        px[static_cast<size_t>(n)] = 0.0f;
        py[static_cast<size_t>(n)] = in.energy[static_cast<size_t>(ne - 1)];
        ++n;
    }
    return n;
}

// The value range buffer b is drawn over: its own, or the panel's common one.
std::pair<float, float> valueWindow(const DosGraph& g, Panel panel, int b) {
    const float F = g.xfactor;
    const CurveBuffer& buf = g.buffer(b);
    if (buf.own_scale) return {F * buf.min, F * buf.max};
    return panel == Panel::DOS ? std::pair{F * g.dos_min, F * g.dos_max} : std::pair{-F * g.coop_max, F * g.coop_max};
}

}  // namespace

void mvplot(Plot& plot, const DosInput& in, const DosGraph& g, Panel panel) {
    const CurvePanel p = g.panel(panel);
    plot.slw(kLineWidth);
    plot.svp(p.box.x0, p.box.right(), g.y0, g.y0 + g.h);
    const float F = g.xfactor;
    if (panel == Panel::DOS)
        safeWindow(plot, F * g.dos_min, F * g.dos_max, g.emin, g.emax);
    else
        safeWindow(plot, -F * g.coop_max, F * g.coop_max, g.emin, g.emax);
    definePalette(plot);
    Points px, py;
    for (int b = g.last(panel); b >= DosGraph::first(panel); --b) {
        const CurveBuffer& buf = g.buffer(b);
        const int n = curvePoints(in, g, panel, b, px, py);
        const auto [x1, x2] = valueWindow(g, panel, b);
        safeWindow(plot, x1, x2, g.emin, g.emax);
        if (buf.closed && buf.brush >= 1) {
            plot.sfs(1);
            plot.sci(buf.brush);
            plot.poly(n, px.data(), py.data());
        }
        plot.sci(buf.colour);
        plot.slw(buf.width);
        plot.sls(buf.line_type);
        plot.line(n, px.data(), py.data());
    }
    plot.sci(1);
    plot.slw(kLineWidth);
    plot.sls(1);
    if (panel == Panel::COOP) {  // the zero line, in the window of the panel's first curve
        plot.move(0.0f, g.emin);
        plot.draw(0.0f, g.emax);
    }
    plot.swin(0.0f, 1.0f, 0.0f, 1.0f);
    plot.move(0.0f, 1.0f);
    plot.draw(0.0f, 0.0f);
    plot.draw(1.0f, 0.0f);
}

std::vector<Trace> curveTraces(const DosInput& in, const DosGraph& g, Panel panel) {
    std::vector<Trace> traces;
    const Box box = g.panel(panel).box;
    Points px, py;
    for (int b = DosGraph::first(panel); b <= g.last(panel); ++b) {
        const int n = curvePoints(in, g, panel, b, px, py);
        const auto [lo, hi] = valueWindow(g, panel, b);
        const auto [x1, x2] = acceptedRange(lo, hi);
        if (g.emin < g.emax) traces.push_back(traceOnPage(box, x1, x2, g.emin, g.emax, n, px.data(), py.data()));
    }
    // the COOP panel's zero line, in the window of its first curve
    if (panel == Panel::COOP && g.count(panel) > 0) {
        const auto [x1, x2] = valueWindow(g, panel, DosGraph::first(panel));
        const float x = x1 < x2 ? box.x0 - x1 * box.w / (x2 - x1) : box.x0 + box.w / 2;
        traces.push_back({{x, x}, {box.y0, box.top()}});
    }
    if (g.flag(kFlagFermi) && g.fermi_line && g.emin < g.emax)
        traces.push_back(acrossFrame(box, g.emin, g.emax, g.efermi));
    return traces;
}

std::vector<LegendEntry> drawLegendsInPanels(Plot& plot, const DosInput& in, const DosGraph& g) {
    const std::vector<LegendEntry> dos = legendEntries(g, Panel::DOS), coop = legendEntries(g, Panel::COOP);
    if (dos.size() + coop.size() < 2) return {};  // one curve needs no name
    std::vector<LegendEntry> unplaced;
    for (const auto& [entries, p] : {std::pair{&dos, Panel::DOS}, std::pair{&coop, Panel::COOP}})
        if (!drawLegend(plot, *entries, g.panel(p).box, g.legend.corner, curveTraces(in, g, p)))
            unplaced.insert(unplaced.end(), entries->begin(), entries->end());
    return unplaced;
}

TicRange ticsOnAxis(const TicRange& asked, float asked_min, float asked_max, float amin, float amax) {
    TicRange t = asked;
    if (t.start <= asked_min) t.start = amin;
    if (t.end >= asked_max) t.end = amax;
    t.start = std::max(t.start, amin);
    t.end = std::min(t.end, amax);
    return t;
}

void mvaxes(Plot& plot, DosGraph& g) {
    const float erange = g.emax - g.emin;
    auto energyAxis = [&](float pos, int side) {
        if (side > 0 && erange > 0) mvtica(plot, {g.frame(), g.emin, erange, pos, side}, 2, g.energy_tics, g.nsub);
    };
    energyAxis(g.x0, g.sides[kSideLeft]);
    // a middle axis stands only between two panels
    if (g.nd > 0 && g.nc > 0) energyAxis(g.dos_x != g.x0 ? g.dos_x : g.coop_x, g.sides[kSideMiddle]);
    energyAxis(g.xr(), g.sides[kSideRight]);

    // The value axes run over the range the curves are drawn with now (an
    // overlay, a deletion or new buffer ranges may have changed it since the
    // tics were asked).
    const float F = g.xfactor;
    // panel p's axes over amin ... amax, their tics asked over asked_min ... asked_max
    auto valueAxes = [&](Panel p, float amin, float amax, float asked_min, float asked_max) {
        if (!(amax > amin)) return;
        const TicRange tics = ticsOnAxis(g.valueTics(p), asked_min, asked_max, amin, amax);
        const float arange = amax - amin;
        const common::Box box = g.panel(p).box;
        if (g.lowerSide(p) > 0) mvtica(plot, {box, amin, arange, g.y0, g.lowerSide(p)}, 1, tics, g.nsub);
        if (g.upperSide(p) > 0) mvtica(plot, {box, amin, arange, g.yt(), g.upperSide(p)}, 1, tics, g.nsub);
    };
    if (g.nd > 0 && g.nc == 0 && !g.anyOwnScale(Panel::DOS))
        valueAxes(Panel::DOS, F * g.dos_min, F * g.dos_max, g.dos_axis_min, g.dos_axis_max);
    else if (g.nd == 0 && g.nc > 0 && !g.anyOwnScale(Panel::COOP))
        valueAxes(Panel::COOP, -F * g.coop_max, F * g.coop_max, -g.coop_axis_max, g.coop_axis_max);
}

void mvrdrw(Plot& plot, const DosInput& in, DosGraph& g) {
    // one font for every text, whether tics (which set it too) are drawn or not
    plot.scf(kTextFont);
    if (g.nd > 0) mvplot(plot, in, g, Panel::DOS);
    if (g.nc > 0) mvplot(plot, in, g, Panel::COOP);
    if (g.flag(kFlagBorder)) mvbrdr(plot, g.panel(Panel::DOS), g.panel(Panel::COOP));
    if (g.flag(kFlagTics)) mvaxes(plot, g);
    if (g.flag(kFlagTitles))
        mvtitl(plot, g.panel(Panel::DOS), g.panel(Panel::COOP), g.x0, g.titles());
    drawPictureTitle(plot, g.picture_title, g.frame());
    if (g.flag(kFlagText)) drawFreeTexts(plot, g.page_w, g.page_h, g.texts);
    if (g.flag(kFlagFermi))
        mvfrmi(plot, {g.frame(), g.emin, g.emax}, g.page(), {g.efermi, g.fermi_line});
    if (g.legend.on) drawLegendBelow(plot, drawLegendsInPanels(plot, in, g), g.frame());
}

}  // namespace dos
