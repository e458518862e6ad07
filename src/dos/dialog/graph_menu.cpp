#include "dos/dialog/graph_menu.h"

#include "annotate/legend.h"
#include "annotate/marks.h"
#include "annotate/markup.h"
#include "annotate/tics.h"
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"
#include "common/plot.h"
#include "dos/core/layout_file.h"
#include "dos/dialog/buffer_dialog.h"
#include "dos/draw/drawing.h"

namespace dos {

using namespace common;
using namespace annotate;

namespace {

const std::vector<std::string> kMenu = {
    "",
    " Graph modification menu:",
    "",
    " ( 1) Change energy range",
    " ( 2) Change x range",
    " ( 3) Add border",
    " ( 4) Add axes tic marks and tic labels",
    " ( 5) Add axes titles",
    " ( 6) Add optional text",
    " ( 7) Close or open a curve (toggle)",
    " ( 8) Change linetype of a curve",
    " ( 9) Fill area below a DOS curve",
    " (10) Mark fermi energy",
    " (11) Change buffer ranges",
    " (12) Change DOS buffer drawing offsets",
    " (13) List curve buffer contents",
    " (14) Change colour and line width of a curve",
    " (15) Legend",
    "",
    " ( 0) Return to main menu",
    "",
};

// Values above 0 that fort.7 keeps above 0; a positive value it would not
// keep is asked again after the reason.
std::function<bool(double)> keptAbove0(Console& con) {
    return [&con](double v) {
        return v > 0 && acceptedUnless(con, positiveRefusal(static_cast<float>(v)));
    };
}

void redraw(Plot& plot, const DosInput& in, DosGraph& g) {
    plot.page();
    mvrdrw(plot, in, g);
}

void showEnergyRange(Console& con, const DosGraph& g) {
    con.line();
    con.line(" Actual energy range: " + fortran::F(g.emax - g.emin, 10, 5));
    con.line(" Lower energy:        " + fortran::F(g.emin, 10, 5));
    con.line(" Higher energy:       " + fortran::F(g.emax, 10, 5));
    con.line();
}

// A new energy window keeps the tics on the same values (chosen anew,
// said in one line, where their distance no longer fits).
void changeEnergyRange(Console& con, DosGraph& g) {
    showEnergyRange(con, g);
    std::tie(g.emin, g.emax) =
        askRange(con, {.low = " Lower energy:  ", .high = " Higher energy: ", .refusal = rangeRefusal});
    if (!g.flag(kFlagTics)) return;
    std::string note;
    g.energy_tics = ticsForRange(g.energy_tics, g.emin, g.emax, note);
    if (!note.empty()) con.line(note);
}

// The value axes follow the curves' range when they are drawn.
void changeXRange(Console& con, DosGraph& g) {
    con.line(" x range is " + fortran::F(g.xfactor, 6, 3) + " times the amplitude range.");
    con.line();
    g.xfactor = static_cast<float>(con.askReal(" x range: ", 6, keptAbove0(con)));
}

// One panel's horizontal axes over amin ... amax: lower and (with a border)
// upper side, the value range, tics and labels; each axis drawn at once.
void askValueAxes(Plot& plot, Console& con, DosGraph& g, Panel panel, float amin, float amax) {
    const std::string n = panel == Panel::DOS ? "DOS" : "COOP";
    TicRange& tics = g.valueTics(panel);
    int& lower = g.lowerSide(panel);
    int& upper = g.upperSide(panel);
    lower = upper = 0;
    if (!(amax > amin)) {
        // all curves zero: no range to put tics on, and the tic questions
        // could never be answered
        con.line(" The " + n + " axis has no range; no horizontal " + n + " axis.");
        return;
    }
    con.line();
    con.line(" Lower horizontal " + n + " axis.");
    lower = mvtics(con, 1);
    if (g.flag(kFlagBorder)) {
        con.line();
        con.line(" Upper horizontal " + n + " axis.");
        upper = mvtics(con, 1);
    }
    if (lower == 0 && upper == 0) return;
    // the COOP axes are symmetric: only their maximum is kept
    if (panel == Panel::DOS) {
        g.dos_axis_min = amin;
        g.dos_axis_max = amax;
    } else {
        g.coop_axis_max = amax;
    }
    const float range = amax - amin;
    con.line(" " + n + " axis range:   " + fortran::F(range, 10, 5));
    con.line(" " + n + " axis minimum: " + fortran::F(amin, 10, 5));
    con.line(" " + n + " axis maximum: " + fortran::F(amax, 10, 5));
    con.line();
    const std::string start = " " + n + " axis tic start value: ";
    const std::string end = " " + n + " axis tic end value:   ";
    const TicPrompts prompts{start.c_str(), end.c_str(), " Distance between tics:    ", true};
    askTicRange(con, amin, amax, prompts, tics, valueRefusal);
    tics.label_distance = 0;
    if (lower > 0) {
        askTicsPerLabel(con, range, tics, valueRefusal);
        mvtica(plot, {g.panel(panel).box, amin, range, g.y0, lower}, 1, tics, g.nsub);
    }
    if (upper > 0) mvtica(plot, {g.panel(panel).box, amin, range, g.yt(), upper}, 1, tics, g.nsub);
}

void addTitles(Plot& plot, Console& con, DosGraph& g) {
    g.setFlag(kFlagTitles, true);
    if (g.nd > 0) g.dos_title = con.askLabel(" DOS axis title: ", kTextWidth);
    if (g.nc > 0) g.coop_title = con.askLabel(" COOP axis title: ", kTextWidth);
    g.energy_title = con.askLabel(" Energy axis title: ", kTextWidth);
    mvtitl(plot, g.panel(Panel::DOS), g.panel(Panel::COOP), g.x0, g.titles());
}

void addText(Plot& plot, Console& con, const DosInput& in, DosGraph& g) {
    g.setFlag(kFlagText, true);
    selectPageWindow(plot, g.page_w, g.page_h);
    if (!g.texts.empty() && con.askYesNo(" Clear old text (y/n)? ")) g.texts.clear();
    enterFreeTexts(plot, con, g.page(), g.texts, kMaxTexts, valueRefusal);
    redraw(plot, in, g);
}

void markFermi(Plot& plot, Console& con, DosGraph& g) {
    g.setFlag(kFlagFermi, true);
    askFermi(con, g.emin, g.emax, false, g.efermi, g.fermi_line);
    mvfrmi(plot, {g.frame(), g.emin, g.emax}, g.page(), {g.efermi, g.fermi_line});
}

void changeRanges(Console& con, DosGraph& g) {
    if (g.nd > 0) {
        con.line(" DOS buffer minimum: " + fortran::F(g.dos_min, 10, 5));
        con.line(" DOS buffer maximum: " + fortran::F(g.dos_max, 10, 5));
        con.line();
        con.line(" Enter new values:");
        std::tie(g.dos_min, g.dos_max) = askRange(con, {.low = " Minimum: ", .high = " Maximum: ", .refusal = rangeRefusal});
    }
    if (g.nc > 0) {
        con.line(" COOP buffer maximum: " + fortran::F(g.coop_max, 10, 5));
        con.line();
        con.line(" Enter new value:");
        g.coop_max = static_cast<float>(con.askReal(" Maximum: ", 10, keptAbove0(con)));
    }
}

void changeOffset(Console& con, DosGraph& g) {
    if (g.nd == 0) return;
    con.line(" Change DOS buffer drawing offset.");
    con.line();
    const int nd = g.nd;
    const int b = static_cast<int>(con.askInt(
        " Enter DOS buffer number (" + fortran::I(1, 1) + "-" + fortran::I(nd, 1) + "): ", 1,
        [nd](long v) { return v >= 1 && v <= nd; }));
    con.line();
    con.line(" Minimum of all DOS buffers: " + fortran::F(g.dos_min, 10, 5));
    con.line(" Maximum of all DOS buffers: " + fortran::F(g.dos_max, 10, 5));
    con.line(" Offset of DOS buffer " + fortran::I(b, 1) + ": " + fortran::F(g.buffer(b).offset, 10, 5));
    con.line();
    g.buffer(b).offset = static_cast<float>(
        con.askReal(" Enter offset of DOS buffer " + fortran::I(b, 1) + ": ", 10, [&con](double v) {
            return acceptedUnless(con, offsetRefusal(static_cast<float>(v)));
        }));
}

}  // namespace

void askAxes(Plot& plot, Console& con, DosGraph& g) {
    g.setFlag(kFlagTics, true);
    g.sides.fill(0);
    const float erange = g.emax - g.emin;
    showEnergyRange(con, g);
    con.line(" Tic range settings apply to all energy axes.");
    con.line();
    askTicRange(con, g.emin, g.emax, kEnergyTicPrompts, g.energy_tics, valueRefusal);
    auto energyAxis = [&](float pos, int side) {
        if (erange > 0)
            mvtica(plot, {g.frame(), g.emin, erange, pos, side}, 2, g.energy_tics, g.nsub);
    };

    con.line();
    con.line(" Left axis.");
    g.sides[kSideLeft] = mvtics(con, 0);
    askTicsPerLabel(con, erange, g.energy_tics, valueRefusal);
    energyAxis(g.x0, g.sides[kSideLeft]);

    if (g.nd > 0 && g.nc > 0) {
        con.line();
        con.line(" Middle axis.");
        g.sides[kSideMiddle] = mvtics(con, 0);
        energyAxis(g.dos_x != g.x0 ? g.dos_x : g.coop_x, g.sides[kSideMiddle]);
    }
    if (g.flag(kFlagBorder)) {
        con.line();
        con.put(" Right axis. ");
        g.sides[kSideRight] = mvtics(con, 0);
        energyAxis(g.xr(), g.sides[kSideRight]);
    }
    const float F = g.xfactor;
    if (g.nd > 0 && g.nc == 0 && !g.anyOwnScale(Panel::DOS))
        askValueAxes(plot, con, g, Panel::DOS, F * g.dos_min, F * g.dos_max);
    if (g.nc > 0 && g.nd == 0 && !g.anyOwnScale(Panel::COOP))
        askValueAxes(plot, con, g, Panel::COOP, -F * g.coop_max, F * g.coop_max);
}

void mvgrph(Plot& plot, Console& con, const DosInput& in, DosGraph& g) {
    for (;;) {
        const int s = askMenu(con, kMenu, 2, 0);
        switch (s) {
        case 0:
            return;
        case 1:
            changeEnergyRange(con, g);
            redraw(plot, in, g);
            break;
        case 2:
            changeXRange(con, g);
            redraw(plot, in, g);
            break;
        case 3:
            g.setFlag(kFlagBorder, true);
            mvbrdr(plot, g.panel(Panel::DOS), g.panel(Panel::COOP));
            break;
        case 4:
            askAxes(plot, con, g);
            break;
        case 5:
            addTitles(plot, con, g);
            break;
        case 6:
            addText(plot, con, in, g);
            break;
        case 7:
            mvselc(con, g, SelectMode::CloseOpen);
            redraw(plot, in, g);
            break;
        case 8:
            mvselc(con, g, SelectMode::LineType);
            redraw(plot, in, g);
            break;
        case 9:
            mvselc(con, g, SelectMode::Shading);
            redraw(plot, in, g);
            break;
        case 10:
            markFermi(plot, con, g);
            break;
        case 11:
            changeRanges(con, g);
            redraw(plot, in, g);
            break;
        case 12:
            changeOffset(con, g);
            redraw(plot, in, g);
            break;
        case 13:
            mvlist(con, g);
            break;
        case 14:
            mvselc(con, g, SelectMode::Look);
            redraw(plot, in, g);
            break;
        case 15:
            askLegend(con, g.legend);
            redraw(plot, in, g);
            break;
        }
    }
}

}  // namespace dos
