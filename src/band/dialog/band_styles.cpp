#include "band/dialog/band_styles.h"

#include <functional>
#include <string>

#include "annotate/looks.h"
#include "band/core/graph.h"
#include "common/console.h"
#include "common/fortran_format.h"

namespace band {

using namespace common;

namespace {

std::function<bool(long)> within(long lo, long hi) {
    return [lo, hi](long v) { return v >= lo && v <= hi; };
}

void askLook(Console& con, BandStyle& s) {
    s.colour = annotate::askColour(con);
    s.width = annotate::askLineWidth(con);
    s.style = annotate::askLineStyle(con);
}

// The look the spin-down bands share in a picture of both spin channels.
void askSpinDownLook(Console& con, BandStyle& look) {
    con.line();
    con.line(" The spin-down bands (both spin channels are drawn): colour " + std::to_string(look.colour) +
             ", width " + std::to_string(look.width) + ", style " + std::to_string(look.style) + ".");
    const char keep = con.askChar(" Keep their look? (default=Y) ");
    if (keep == 'N' || keep == 'n') askLook(con, look);
}

}  // namespace

void askBandStyles(Console& con, BandGraph& g) {
    con.line(" Band colours and line widths. Bands are counted from the lowest");
    con.line(" interpolated band (1) upwards; a later range wins where two overlap.");
    annotate::showColours(con);
    con.line(" Line styles: 1 full, 2 dashed, 3 dash-dot, 4 dotted, 5 dash-dot-dot-dot.");
    if (!g.spin.bands.empty()) askSpinDownLook(con, g.spin.look);
    if (!g.styles.empty()) {
        con.line();
        con.line("       first  last colour width style");
        for (size_t k = 0; k < g.styles.size(); ++k) {
            const BandStyle& s = g.styles[k];
            con.line(" (" + fortran::I(static_cast<long>(k + 1), 2) + ") " + fortran::I(s.first, 5) +
                     fortran::I(s.last, 6) + fortran::I(s.colour, 7) + fortran::I(s.width, 6) +
                     fortran::I(s.style, 6));
        }
        const char keep = con.askChar(" Keep these ranges? (default=Y) ");
        if (keep == 'N' || keep == 'n') g.styles.clear();
    }
    while (static_cast<int>(g.styles.size()) < kMaxBandStyles) {
        con.line();
        BandStyle s;
        s.first = static_cast<int>(con.askInt(" First band of the range (0 = done): ", 4, within(0, kMaxBands)));
        if (s.first == 0) return;
        s.last = static_cast<int>(con.askInt(" Last band of the range:             ", 4, within(s.first, kMaxBands)));
        askLook(con, s);
        g.styles.push_back(s);
    }
    con.line(" At most " + std::to_string(kMaxBandStyles) + " band ranges.");
}

}  // namespace band
