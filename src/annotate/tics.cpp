#include "annotate/tics.h"

#include <cmath>
#include <string>
#include <utility>

#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"
#include "common/plot.h"

namespace annotate {

using namespace common;

const TicPrompts kEnergyTicPrompts = {" Tic start energy:          ", " Tic end energy:            ",
                                      " Distance between two tics: ", false};

namespace {

int askSide(Console& con) {
    return static_cast<int>(con.askInt(" Option: ", 2, [](long v) { return v >= 0 && v <= 3; }));
}

// Base options padded to 8 characters, then the side's own letters.
std::string options(const std::string& base, const std::string& letters) {
    return fortran::A(base, 8) + letters;
}

struct BoxOptions {
    std::string xin, xout, yin, yout;  // side 1 (inverted tics) and side 2
};

// The two boxes of one numbered axis, vertical or horizontal, in both
// programs: `in` with the inverted tics (outward at the left and the lower
// edge of the frame), `out` with the others. `base` carries the numbers
// where the axis has them. With tics on both sides the numbers come with
// the outward tics only; the second box would write them again, shifted by
// the tic length.
std::pair<std::string, std::string> numberedBoxes(const std::string& base, const std::string& in,
                                                  const std::string& out, int side) {
    return {options(base, in), options(side == 3 ? "AB" : base, out)};
}

// The boxes of a vertical energy axis.
BoxOptions energyAxisBoxes(const std::string& xin, const std::string& xout, const std::string& base,
                           int side) {
    const auto [yin, yout] = numberedBoxes(base, "ITSV", "TSV", side);
    return {xin, xout, yin, yout};
}

// Major tics every label distance with `nsub` subintervals; an axis without
// labels gets plain tics at the tic distance.
void drawSides(Plot& plot, const BoxOptions& o, const TicRange& tics, int side, int nsub) {
    const bool labels = tics.label_distance > 0;
    const float tick = labels ? tics.label_distance : tics.distance;
    const int sub = labels ? nsub : 1;
    if (side == 1 || side == 3) plot.box(o.xin, tick, sub, o.yin, tick, sub);
    if (side == 2 || side == 3) plot.box(o.xout, tick, sub, o.yout, tick, sub);
}

// The label distance n tics per label give (n >= 1).
float labelDistance(float range, float distance, long n) {
    return range < distance ? range : static_cast<float>(n) * distance;
}

}  // namespace

int tltics(Console& con) {
    con.line();
    con.line(" Select axis side of tic marks ");
    con.line(" (0) No tic marks");
    con.line(" (1) Left side");
    con.line(" (2) Right side");
    con.line(" (3) Both sides");
    con.line();
    return askSide(con);
}

int mvtics(Console& con, int side) {
    con.line(" Select axis side of tic marks ");
    con.line(" (0) No tic marks");
    con.line(side == 0 ? " (1) Left side" : " (1) Lower side");
    con.line(side == 0 ? " (2) Right side" : " (2) Upper side");
    con.line(" (3) Both sides");
    con.line();
    return askSide(con);
}

void askTicRange(Console& con, float min, float max, const TicPrompts& p, TicRange& tics,
                 const std::function<std::string(float)>& refusal) {
    for (;;) {
        tics.start = static_cast<float>(con.askReal(p.start, 10));
        if (tics.start < min) tics.start = min;
        tics.end = static_cast<float>(con.askReal(p.end, 10));
        if (tics.end > max) tics.end = max;
        if (p.strict ? tics.end > tics.start : tics.end >= tics.start) break;
    }
    tics.distance = static_cast<float>(con.askReal(p.distance, 10, [&](double v) {
        TicRange t = tics;
        t.distance = static_cast<float>(v);
        t.label_distance = 0;
        if (!(v > 0)) return false;
        if (!ticsFit(t)) {
            con.line(" Too many tics: at most " + std::to_string(static_cast<int>(kMaxTicIntervals)) +
                     " per axis.");
            return false;
        }
        return acceptedUnless(con, refusal ? refusal(t.distance) : std::string());
    }));
}

void askTicsPerLabel(Console& con, float range, TicRange& tics,
                     const std::function<std::string(float)>& refusal) {
    const long n = con.askInt(" Tics per label (<1: no labels): ", 2, [&](long v) {
        if (v < 1 || !refusal) return true;
        return acceptedUnless(con, refusal(labelDistance(range, tics.distance, v)));
    });
    tics.label_distance = 0;
    if (n < 1) return;
    tics.label_distance = labelDistance(range, tics.distance, n);
    if (range < tics.distance) tics.distance = range;
}

int subintervals(const TicRange& tics, int previous) {
    if (tics.label_distance > 0 && tics.distance > 0)
        return static_cast<int>(std::lround(tics.label_distance / tics.distance));
    return previous;
}

void tltica(Plot& plot, const AxisPlace& axis, const TicRange& tics, int& nsub) {
    const float x0 = axis.frame.x0, y0 = axis.frame.y0, h = axis.frame.h;
    const float emin = axis.min, range = axis.range, xa = axis.pos;
    const int side = axis.side;
    // A tic range of no length has no axis: PGPLOT would refuse the window
    // and viewport and draw the box into the previous ones.
    if (!(tics.end > tics.start) || !(range > 0) || !ticsFit(tics)) return;
    float y1 = y0 + h * (tics.start - emin) / range;
    float y2 = y0 + h * (tics.end - emin) / range;
    plot.swin(xa, 1.0f, tics.start, tics.end);
    plot.svp(xa, 1.0f, y1, y2);
    const std::string base = (xa == x0 && tics.label_distance > 0) ? "ABN" : "AB";
    plot.sci(1);
    plot.scf(kTextFont);
    nsub = subintervals(tics, nsub);
    drawSides(plot, energyAxisBoxes("", "", base, side), tics, side, nsub);
}

void mvtica(Plot& plot, const AxisPlace& axis, int orientation, const TicRange& tics, int& nsub) {
    const float x0 = axis.frame.x0, y0 = axis.frame.y0, w = axis.frame.w, h = axis.frame.h;
    const float amin = axis.min, arange = axis.range, pos = axis.pos;
    const int side = axis.side;
    // A tic range of no length (start equal to end is a valid answer) has no
    // viewport PGPLOT would accept: no axis then.
    if (!(tics.end > tics.start) || !(arange > 0) || !ticsFit(tics)) return;
    const bool labels = tics.label_distance > 0;
    BoxOptions o;
    // The box runs from the axis to the edge of the view surface; an axis on
    // that edge (the right edge of a landscape page) gets a box beyond it.
    const float edge = pos < 1.0f ? 1.0f : pos + 1.0f;
    if (orientation == 2) {
        float y1 = y0 + h * (tics.start - amin) / arange;
        float y2 = y0 + h * (tics.end - amin) / arange;
        plot.swin(pos, edge, tics.start, tics.end);
        plot.svp(pos, edge, y1, y2);
        const std::string ybase = (pos == x0 && labels) ? "ABN" : "AB";
        // the horizontal options of a vertical axis draw no edge: no labels there
        o = energyAxisBoxes(options("", "ITS"), options("", "TS"), ybase, side);
    } else {
        float x1 = x0 + w * (tics.start - amin) / arange;
        float x2 = x0 + w * (tics.end - amin) / arange;
        if (pos == y0) {
            // the lower axis: the bottom edge of a box above it, numbered
            // below it with its outward box
            plot.swin(tics.start, tics.end, pos, edge);
            plot.svp(x1, x2, pos, edge);
            const auto [xin, xout] = numberedBoxes(labels ? "ABN" : "AB", "ITS", "TS", side);
            o = {xin, xout, options("", "ITSV"), options("", "TSV")};
        } else {
            // any other axis is the top edge of a box reaching down to the
            // frame's bottom: its numbers (with the tics above it only) are
            // written above it, outside the frame, clear of the curves
            plot.swin(tics.start, tics.end, y0, pos);
            plot.svp(x1, x2, y0, pos);
            o = {options("C", "TS"), options(labels ? "CM" : "C", "ITS"), options("", "ITSV"), options("", "TSV")};
        }
    }
    plot.sci(1);
    plot.scf(kTextFont);
    nsub = subintervals(tics, nsub);
    drawSides(plot, o, tics, side, nsub);
}

}  // namespace annotate
