#include "band/dialog/crossing.h"

#include <utility>

#include "band/dialog/frame_questions.h"
#include "band/draw/frame.h"
#include "band/core/ordering.h"
#include "band/draw/rawbands.h"
#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"
#include "common/plot.h"

namespace band {

using namespace common;

void tlselc(Plot& plot, Console& con, const LineTables& t, const RawView& v, int& level, int& kpos,
            float& cx, float& cy) {
    level = 0;
    kpos = 0;
    plot.swin(v.x0, v.x0 + v.w, v.y0, v.y0 + v.h);
    plot.svp(v.x0, v.x0 + v.w, v.y0, v.y0 + v.h);
    con.line();
    con.line(" Put mouse pointer to chosen marker, then type a key.");
    con.line();
    const float len = t.line_length;
    const float span = v.upper - v.lower;
    for (;;) {
        char ch = ' ';
        readCursor(plot, con, cx, cy, ch);
        const float e = (cy - v.y0) / v.h * span + v.lower;
        const float d = (cx - v.x0) / v.w * len;
        if (e < v.lower || e > v.upper || d < 0 || d > len) continue;
        int p = 0;
        for (int k = 1; k <= v.nkl && p == 0; ++k) {
            const float kd = t.kdist[k];
            if (d - 0.02f * len <= kd && kd <= d + 0.02f * len) p = k;
        }
        if (p == 0) {
            con.line(" You didn't click near a marker.");
            continue;
        }
        for (int r = v.nlower + 1; r <= v.nlower + v.ninterp; ++r) {
            const float eo = t.energy_orig(r, p);
            if (e - 0.02f * span <= eo && eo <= e + 0.02f * span) {
                level = r;
                kpos = p;
                return;
            }
        }
        con.line(" Band not found, try again.");
    }
}


namespace {

void rebuildEnergies(LineTables& t, const LineState& line, const BandState& st) {
    band::energiesByBand(t.energy_cur, t.energy_orig, t.band_order, st.nlower, st.ninterp, line.nkl);
}

RawView viewOf(const LineTables& t, const LineState& line, const BandState& st, const FrameGeom& g) {
    RawView v;
    v.lower = t.elow;
    v.upper = t.ehigh;
    v.x0 = g.frame_x0;
    v.y0 = g.frame_y0;
    v.w = g.frame_w;
    v.h = g.frame_h;
    v.nkl = line.nkl;
    v.nlower = st.nlower;
    v.ninterp = st.ninterp;
    v.kstep = line.kstep;
    return v;
}

void changeEnergyRange(Console& con, LineTables& t) {
    tlener(con, t.elow, t.ehigh);
    if (t.emin > t.elow) t.elow = t.emin;
    if (t.emax < t.ehigh) t.ehigh = t.emax;
    // a window wholly outside the line's levels shows them all again
    if (t.elow >= t.ehigh) {
        t.elow = t.emin;
        t.ehigh = t.emax;
    }
}

void pickCrossing(Plot& plot, Console& con, LineTables& t, const LineState& line, const BandState& st,
                  const FrameGeom& g, float& cx, float& cy) {
    const RawView v = viewOf(t, line, st, g);
    int lev1 = 0, lev2 = 0, kpick = 0;
    con.line(" Select first band. Put cross with mouse on marker, then type a key");
    tlselc(plot, con, t, v, lev1, kpick, cx, cy);
    con.line(" Band " + fortran::I(t.band_order(lev1, kpick), 4) + " selected.");
    con.line(" Choose second band.");
    con.line(" Click on marker, from which on bands should be crossed.");
    con.line(" Choose second band.");
    con.line(" Put cross on marker, from which on bands should be crossed,");
    con.line(" then type a key.");
    tlselc(plot, con, t, v, lev2, kpick, cx, cy);
    con.line(" Band " + fortran::I(t.band_order(lev2, kpick), 4) + " selected. Crossing at k-point " +
             fortran::I(kpick, 2) + ".");
    crossBands(t, line, lev1, lev2, kpick);
}

void askCopySymmetry(Console& con, LineTables& t, const LineState& line, const BandState& st) {
    const std::string n = fortran::I(line.nkl, 2);
    auto inLine = [&](long v) { return v >= 1 && v <= line.nkl; };
    int source = static_cast<int>(con.askInt(
        " Enter k-point number to copy symmetry info from (min=1, max=" + n + "): ", 3, inLine));
    int target = static_cast<int>(con.askInt(
        " Enter k-point number to copy symmetry info to (min=1, max=" + n + "): ", 3, inLine));
    const int lo = st.nlower + 1, hi = st.nlower + st.ninterp;
    const std::string range = "(min=" + fortran::I(lo, 3) + ", max=" + fortran::I(hi, 3) + "): ";
    int lower = static_cast<int>(con.askInt(" Lower band  " + range, 3, [&](long v) { return v >= lo; }));
    int higher = static_cast<int>(con.askInt(" Higher band " + range, 3, [&](long v) { return v <= hi; }));
    copySymmetry(t, line, st, source, target, lower, higher);
}

void askUncross(Console& con, LineTables& t, const LineState& line, const BandState& st) {
    con.line();
    con.line(" Enter region to uncross.");
    con.line();
    const int lo = st.nlower + 1, hi = st.nlower + st.ninterp;
    int lower = static_cast<int>(con.askInt(" Lower band:  ", 4, [&](long v) { return v >= lo && v <= hi; }));
    int higher = static_cast<int>(con.askInt(" Higher band: ", 4, [&](long v) { return v >= lower && v <= hi; }));
    uncrossBands(t, line, st, lower, higher);
}

}  // namespace

void orderLine(LineTables& t, const LineState& line, const BandState& st, bool bySymmetry) {
    for (int k = 1; k <= line.nkl; ++k)
        for (int b = st.nlower + 1; b <= st.nlower + st.ninterp; ++b) t.band_order(b, k) = b;
    if (bySymmetry)
        band::tlbsrt(t.band_order, line.kfirst, line.klast, line.kstep, st.nlower, st.ninterp, t.sym_code);
    rebuildEnergies(t, line, st);
}

void crossBands(LineTables& t, const LineState& line, int lev1, int lev2, int kpick) {
    for (int k = kpick; line.kstep > 0 ? k <= line.klast : k >= line.klast; k += line.kstep) {
        std::swap(t.band_order(lev1, k), t.band_order(lev2, k));
        std::swap(t.energy_cur(t.band_order(lev1, k), k), t.energy_cur(t.band_order(lev2, k), k));
    }
}

void copySymmetry(LineTables& t, const LineState& line, const BandState& st, int source, int target,
                  int lower, int higher) {
    for (int b = lower; b <= higher; ++b) t.sym_code(b, target) = t.sym_code(b, source);
    orderLine(t, line, st, true);
}

// Every level of the region gets its own band back; the level that held it
// takes the band the region's level had, so each k point keeps a permutation.
void uncrossBands(LineTables& t, const LineState& line, const BandState& st, int lower, int higher) {
    const int lo = st.nlower + 1, hi = st.nlower + st.ninterp;
    for (int k = 1; k <= line.nkl; ++k) {
        for (int b = lower; b <= higher; ++b) {
            if (t.band_order(b, k) == b) continue;
            for (int m = lo; m <= hi; ++m) {
                if (t.band_order(m, k) == b) {
                    std::swap(t.band_order(m, k), t.band_order(b, k));
                    break;
                }
            }
        }
    }
    rebuildEnergies(t, line, st);
}

void crossingDialogue(Plot& plot, Console& con, LineTables& t, const LineState& line,
                      const BandState& st, const FrameGeom& geom) {
    LinePos single{};
    single[1] = 0.0f;
    single[2] = geom.frame_w;
    float cx = geom.frame_x0 + 0.5f * geom.frame_w, cy = geom.frame_y0 + 0.5f * geom.frame_h;
    for (;;) {
        plot.page();
        tlaxes(plot, geom.frame(), single, 1);
        tlraw(plot, t, viewOf(t, line, st, geom));
        const int sel = askMenu(con,
                                {"", " (1) Change energy range", " (2) Change crossing of bands",
                                 " (3) Copy one symmetry set to another", " (4) Get back original noncrossed state",
                                 " (5) Exit", ""},
                                1, 1);
        switch (sel) {
            case 1: changeEnergyRange(con, t); break;
            case 2: pickCrossing(plot, con, t, line, st, geom, cx, cy); break;
            case 3: askCopySymmetry(con, t, line, st); break;
            case 4: askUncross(con, t, line, st); break;
            default: return;
        }
    }
}

}  // namespace band
