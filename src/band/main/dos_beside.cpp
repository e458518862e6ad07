#include "band/main/dos_beside.h"

#include <algorithm>
#include <cmath>

#include "annotate/legend.h"
#include "annotate/marks.h"
#include "band/dialog/graph_menu.h"
#include "band/draw/redraw.h"
#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"
#include "common/page.h"
#include "common/plot.h"
#include "common/publication.h"
#include "dos/draw/drawing.h"

namespace band {

using namespace common;

Result<dos::StoredDos> loadDosBeside(const std::string& dir) {
    const std::string folder = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    return dos::loadStoredDos(folder + "fort.1", folder + "fort.7");
}

float dosShift(const BandGraph& bands, const dos::DosGraph& dos) {
    if (!bands.source_fermi || !dos.source_fermi) return 0.0f;
    return *dos.source_fermi - *bands.source_fermi;
}

std::string fermiMismatch(const BandGraph& bands, const dos::DosGraph& dos) {
    const float shift = dosShift(bands, dos);
    if (!(std::fabs(shift) > kFermiTolerance)) return "";
    return " The Fermi energies differ by " + fortran::general(std::round(std::fabs(shift) * 1000.0f)) +
           " meV (bands " + fortran::general(*bands.source_fermi) + " eV, DOS " +
           fortran::general(*dos.source_fermi) + " eV): the DOS is drawn on the bands' energies, at their E_F.";
}

namespace {

// A label distance, a whole multiple of the axis's own, that leaves at most
// kDosPanelLabels numbers on it: every second, third ... of its labels.
float sparserLabels(const annotate::TicRange& t) {
    if (!(t.label_distance > 0) || !(t.end > t.start)) return t.label_distance;
    for (int k = 1;; ++k) {
        const float step = t.label_distance * static_cast<float>(k);
        const float labels = std::floor(t.end / step + 1e-3f) - std::ceil(t.start / step - 1e-3f) + 1.0f;
        if (labels <= static_cast<float>(kDosPanelLabels)) return step;
    }
}

}  // namespace

DosFigure dosFigure(const BandGraph& bands, const dos::DosGraph& dos, float gap) {
    DosFigure f{bands, dos};
    FrameGeom& geom = f.bands.geom;
    geom.view_right = 1.0f;  // the whole square view surface: room right of a portrait page
    const float widest = (1.0f - kFrameRightRoom - gap - geom.frame_x0) / (1.0f + kDosShare);
    if (geom.frame_w > widest) {
        const float scale = widest / geom.frame_w;
        geom.frame_w = widest;
        for (int i = 1; i <= f.bands.nshow + 1; ++i) f.bands.line_pos[i] *= scale;
    }
    f.bands.flags[kFlagFermi] = false;

    // The DOS graph's panels, mapped from its own frame onto the one beside
    // the bands.
    dos::DosGraph& g = f.dos;
    const Box panel{geom.right() + gap, geom.frame_y0, kDosShare * geom.frame_w, geom.frame_h};
    const float scale = panel.w / g.w0;
    auto x = [&](float at) { return panel.x0 + (at - g.x0) * scale; };
    g.dos_x = x(g.dos_x);
    g.coop_x = x(g.coop_x);
    g.dos_w *= scale;
    g.coop_w *= scale;
    g.x0 = panel.x0;
    g.w0 = panel.w;
    g.y0 = panel.y0;
    g.h = panel.h;
    // few numbers on the value axes of a panel this narrow
    for (annotate::TicRange* t : {&g.dos_tics, &g.coop_tics}) t->label_distance = sparserLabels(*t);
    g.page_w = geom.view_right;
    g.page_h = geom.view_top;

    // the bands' window and tics, on the scale of the DOS energies
    const float shift = dosShift(bands, dos);
    g.emin = bands.elow - shift;
    g.emax = bands.ehigh - shift;
    g.energy_tics = {bands.tics.start - shift, bands.tics.end - shift, bands.tics.distance, 0.0f};
    // the left axis's tics point into the panel, away from the band frame
    if (g.sides[dos::kSideLeft] != 0) g.sides[dos::kSideLeft] = 2;
    g.energy_title = std::string(dos::kTextWidth, ' ');
    g.setFlag(dos::kFlagText, false);
    g.setFlag(dos::kFlagFermi, false);
    return f;
}

Status drawBandsWithDos(Plot& plot, const BandGraph& bands, const dos::StoredDos& dos) {
    // the gap holds the band frame's last label and the DOS panel's first number
    float hx = 0, hy = 0;
    plot.sch(1.0f);
    plot.qcs(hx, hy);
    DosFigure f = dosFigure(bands, dos.graph, std::max(kDosGap, kDosGapChars * hx));
    // the legends and the title are drawn here: what finds no room in its
    // frame stands below both; the title, the bands' or else the DOS's, above both
    f.bands.legend.on = f.dos.legend.on = false;
    f.bands.picture_title.clear();
    f.dos.picture_title.clear();
    const Status drawn = tlrdrw(plot, f.bands);
    dos::mvrdrw(plot, dos.in, f.dos);

    // One Fermi level for both: the bands' when they mark it, else the DOS's.
    const bool banded = bands.flags[kFlagFermi];
    const bool marked = banded || dos.graph.flag(dos::kFlagFermi);
    const annotate::FermiMark mark =
        banded ? annotate::FermiMark{bands.efermi, bands.fermi_line}
               : annotate::FermiMark{dos.graph.efermi + dosShift(bands, dos.graph), dos.graph.fermi_line};
    // the legends keep clear of its line too
    f.bands.flags[kFlagFermi] = marked;
    f.bands.efermi = mark.energy;
    f.bands.fermi_line = mark.line;
    f.dos.setFlag(dos::kFlagFermi, marked);
    f.dos.efermi = mark.energy - dosShift(bands, dos.graph);
    f.dos.fermi_line = mark.line;
    std::vector<annotate::LegendEntry> below;
    if (bands.legend.on) below = drawBandLegendInFrame(plot, f.bands);
    if (dos.graph.legend.on) {
        const std::vector<annotate::LegendEntry> more = dos::drawLegendsInPanels(plot, dos.in, f.dos);
        below.insert(below.end(), more.begin(), more.end());
    }
    const FrameGeom& geom = f.bands.geom;
    const Box both{geom.frame_x0, geom.frame_y0, f.dos.xr() - geom.frame_x0, geom.frame_h};
    annotate::drawLegendBelow(plot, below, both);
    annotate::drawPictureTitle(plot, bands.picture_title.empty() ? dos.graph.picture_title : bands.picture_title, both);
    if (marked) annotate::tlfrmi(plot, {both, bands.elow, bands.ehigh}, geom.page(), mark);
    return drawn;
}

void writeBandsWithDos(Plot& plot, Console& con, const BandGraph& g, int screen) {
    std::string dir = fortran::trimRight(con.askText(" Folder of the DOS (its fort.1 and fort.7): ", 80));
    dir.erase(0, dir.find_first_not_of(' '));
    if (dir.empty()) return;
    Result<dos::StoredDos> dos = loadDosBeside(dir);
    if (!dos) {
        con.line(" " + dos.error() + "; no output file written.");
        return;
    }
    if (std::string line = fermiMismatch(g, dos->graph); !line.empty()) con.line(line);
    const std::string device = outputDevice(1, 1);  // colour PostScript, upright
    const bool written = drawOnFileDevice(plot, device, screen, [&] {
        plot.slw(3);
        plot.sls(1);
        (void)drawBandsWithDos(plot, g, *dos);  // told by the redraw of the screen that follows
    });
    if (!written) {
        con.line(" Output device " + fortran::trimRight(device) + " could not be opened.");
        return;
    }
    finishPostScript(con, device, PictureKind::Pdf);
}

}  // namespace band
