#include "band/draw/redraw.h"

#include "annotate/legend.h"
#include "annotate/markup.h"
#include "annotate/marks.h"
#include "annotate/tics.h"
#include "band/core/graph.h"
#include "band/draw/frame.h"
#include "band/draw/text_rows.h"
#include "common/plot.h"

namespace band {

using namespace common;
using namespace annotate;

bool hasRightEdge(const BandGraph& g) { return g.nshow >= 2 || g.border; }

std::vector<LegendEntry> legendEntries(const BandGraph& g) {
    if (g.spin.bands.empty()) return {};
    auto entry = [](const char* name, const BandStyle& s) { return LegendEntry{name, s.colour, s.width, s.style, 0}; };
    return {entry("spin up", kPlainLook), entry("spin down", g.spin.look)};
}

void drawBandLegend(Plot& plot, const BandGraph& g) {
    const std::vector<LegendEntry> entries = legendEntries(g);
    if (entries.empty()) return;
    const EnergyFrame frame{g.geom.frame(), g.elow, g.ehigh};
    std::vector<Trace> traces = bandTraces(frame, g.line_pos, g.nshow, g.bands);
    if (g.flags[kFlagFermi] && g.fermi_line) traces.push_back(acrossFrame(frame.box, g.elow, g.ehigh, g.efermi));
    for (int i = 2; i <= g.nshow; ++i) {  // the separators of the symmetry lines
        const float x = frame.box.x0 + g.line_pos[i];
        traces.push_back({{x, x}, {frame.box.y0, frame.box.top()}});
    }
    drawLegend(plot, entries, frame.box, g.legend.corner, traces);
}

Status tlrdrw(Plot& plot, BandGraph& g) {
    const FrameGeom& f = g.geom;
    const int n = g.nshow;
    auto pos = [&](int i) { return g.line_pos[i]; };

    // one font for every text, whether tics (which set it too) are drawn or not
    plot.scf(kTextFont);
    tlaxes(plot, f.frame(), g.line_pos, n);
    const Status drawn = tlband(plot, {f.frame(), g.elow, g.ehigh}, g.line_pos, n, g.bands, {g.styles, g.spin});

    if (g.flags[kFlagBorder]) tlbrdr(plot, f.frame());

    if (g.flags[kFlagTics]) {
        auto axis = [&](float xa, int position) {
            tltica(plot, {f.frame(), g.elow, g.range, xa, g.tic_side[position]}, g.tics, g.nsub);
        };
        axis(f.frame_x0, 1);
        for (int i = 2; i <= n; ++i) axis(f.frame_x0 + pos(i), i);
        if (hasRightEdge(g)) axis(f.right(), n + 1);
    }

    if (g.flags[kFlagLabels]) {
        plot.swin(0.0f, 1.0f, 0.0f, 1.0f);
        plot.svp(0.0f, 1.0f, 0.0f, 1.0f);
        const float y = pointLabelRow(f);
        // every label centred on its k point, the frame's ends included
        for (int i = 1; i <= n; ++i) tltrap(plot, g.labels[i], f.frame_x0 + pos(i), y, 0.0f, 1);
        tltrap(plot, g.labels[n + 1], f.right(), y, 0.0f, 1);
    }

    if (g.flags[kFlagTitles]) {
        selectPageWindow(plot, f.view_right, f.view_top);
        for (int i = 1; i <= n; ++i)
            tltrap(plot, g.titles[i], f.frame_x0 + (pos(i) + pos(i + 1)) / 2.0f,
                   lineTitleRow(f), 0.0f, 1);
        tltrap(plot, g.vtitle, 0.2f * f.frame_x0, f.frame_y0 + 0.5f * f.frame_h, 90.0f, 1);
    }

    if (g.flags[kFlagTexts]) drawFreeTexts(plot, f.view_right, f.view_top, g.texts);

    if (g.flags[kFlagFermi])
        tlfrmi(plot, {f.frame(), g.elow, g.ehigh}, f.page(), {g.efermi, g.fermi_line});

    if (g.legend.on) drawBandLegend(plot, g);
    return drawn;
}

}  // namespace band
