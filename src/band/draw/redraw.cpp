#include "band/draw/redraw.h"

#include <algorithm>

#include "annotate/legend.h"
#include "annotate/markup.h"
#include "annotate/marks.h"
#include "annotate/tics.h"
#include "band/core/graph.h"
#include "band/draw/character.h"
#include "band/draw/frame.h"
#include "band/draw/text_rows.h"
#include "common/plot.h"

namespace band {

using namespace common;
using namespace annotate;

namespace {

constexpr int kDashed = 2;  // PGPLOT's dashed line style

}  // namespace

bool hasRightEdge(const BandGraph& g) { return g.nshow >= 2 || g.border; }

BandLooks looksOf(const BandGraph& g) {
    BandLooks looks{g.styles, g.spin};
    if (g.characterShown() != CharacterMode::colours) return looks;
    for (BandStyle& s : looks.ranges) s.width = std::max(s.width, kCharacterLineWidth);
    looks.spin.look.width = std::max(looks.spin.look.width, kCharacterLineWidth);
    looks.spin.look.style = kDashed;
    return looks;
}

std::vector<LegendEntry> legendEntries(const BandGraph& g) {
    std::vector<LegendEntry> entries;
    const CharacterMode shown = g.characterShown();
    const BandLooks looks = looksOf(g);
    auto entry = [](const std::string& name, const BandStyle& s) { return LegendEntry{name, s.colour, s.width, s.style, 0}; };
    if (!g.spin.bands.empty()) {
        // with the character's colours the channels are told apart by their lines alone
        BandStyle up = kPlainLook, down = looks.spin.look;
        if (shown == CharacterMode::colours) {
            up.width = down.width;
            down.colour = kPlainLook.colour;
        }
        entries.push_back(entry("spin up", up));
        entries.push_back(entry("spin down", down));
    }
    const std::vector<std::string>& names = g.character.names;
    if (shown == CharacterMode::colours)
        for (int k = 1; k <= g.character.groups(); ++k)
            entries.push_back({names[static_cast<size_t>(k - 1)], groupColour(k), kCharacterLineWidth, 1, 0});
    if (shown == CharacterMode::fat)
        entries.push_back({names[static_cast<size_t>(g.show.group - 1)], kPlainLook.colour, kPlainLook.width, 1,
                           groupColour(g.show.group)});
    return entries;
}

std::vector<LegendEntry> drawBandLegendInFrame(Plot& plot, const BandGraph& g) {
    const std::vector<LegendEntry> entries = legendEntries(g);
    if (entries.empty()) return {};
    const EnergyFrame frame{g.geom.frame(), g.elow, g.ehigh};
    std::vector<Trace> traces = bandTraces(frame, g.line_pos, g.nshow, g.bands);
    if (g.flags[kFlagFermi] && g.fermi_line) traces.push_back(acrossFrame(frame.box, g.elow, g.ehigh, g.efermi));
    for (int i = 2; i <= g.nshow; ++i) {  // the separators of the symmetry lines
        const float x = frame.box.x0 + g.line_pos[i];
        traces.push_back({{x, x}, {frame.box.y0, frame.box.top()}});
    }
    if (drawLegend(plot, entries, frame.box, g.legend.corner, traces)) return {};
    return entries;
}

Status tlrdrw(Plot& plot, BandGraph& g) {
    const FrameGeom& f = g.geom;
    const int n = g.nshow;
    auto pos = [&](int i) { return g.line_pos[i]; };

    // one font for every text, whether tics (which set it too) are drawn or not
    plot.scf(kTextFont);
    tlaxes(plot, f.frame(), g.line_pos, n);
    const EnergyFrame window{f.frame(), g.elow, g.ehigh};
    const CharacterMode character = g.characterShown();
    if (character == CharacterMode::fat) drawFatBands(plot, window, g.line_pos, n, g.bands, g.character, g.show.group);
    const Status drawn = tlband(plot, window, g.line_pos, n, g.bands, looksOf(g),
                                character == CharacterMode::colours ? &g.character : nullptr);

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
        const float y = pointLabelRow(f, plot.textScale());
        // every label centred on its k point, the frame's ends included
        for (int i = 1; i <= n; ++i) tltrap(plot, g.labels[i], f.frame_x0 + pos(i), y, 0.0f, 1);
        tltrap(plot, g.labels[n + 1], f.right(), y, 0.0f, 1);
    }

    if (g.flags[kFlagTitles]) {
        selectPageWindow(plot, f.view_right, f.view_top);
        for (int i = 1; i <= n; ++i)
            tltrap(plot, g.titles[i], f.frame_x0 + (pos(i) + pos(i + 1)) / 2.0f,
                   lineTitleRow(f, plot.textScale()), 0.0f, 1);
        tltrap(plot, g.vtitle, energyTitleX(f.frame_x0, plot.textScale()), f.frame_y0 + 0.5f * f.frame_h, 90.0f, 1);
    }

    drawPictureTitle(plot, g.picture_title, f.frame());

    if (g.flags[kFlagTexts]) drawFreeTexts(plot, f.view_right, f.view_top, g.texts);

    if (g.flags[kFlagFermi])
        tlfrmi(plot, {f.frame(), g.elow, g.ehigh}, f.page(), {g.efermi, g.fermi_line});

    if (g.legend.on) drawLegendBelow(plot, drawBandLegendInFrame(plot, g), f.frame());
    return drawn;
}

}  // namespace band
