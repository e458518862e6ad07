// Tic marks and numeric labels on the energy axes (both programs) and the
// horizontal DOS/COOP axes, drawn with PGBOX in a viewport that covers the
// tic range of one axis; the side menus and the tic range questions.
#pragma once

#include <functional>
#include <string>

#include "annotate/settings.h"
#include "common/page.h"

namespace common {
class Console;
class Plot;
}  // namespace common

namespace annotate {

// Side menus: 0 none, 1 left/lower, 2 right/upper, 3 both.
int tltics(common::Console& con);
// `side` 0 shows the vertical-axis menu, any other value the horizontal one.
int mvtics(common::Console& con, int side);

struct TicPrompts {
    const char* start;
    const char* end;
    const char* distance;
    bool strict;  // the end must lie strictly above the start
};
// The energy prompts of both programs (end equal to start accepted).
extern const TicPrompts kEnergyTicPrompts;

// Asks start, end (clamped to min ... max without a message) and distance;
// a distance giving more than kMaxTicIntervals tics is asked again after a
// one-line reason.
// A distance for which `refusal` gives a line (the layout file could not
// keep it) is asked again after that line.
void askTicRange(common::Console& con, float min, float max, const TicPrompts& prompts, TicRange& tics,
                 const std::function<std::string(float)>& refusal = nullptr);

// " Tics per label (<1: no labels): ". Sets the label distance; a distance
// beyond `range` becomes `range` with one tic per label. A label distance
// for which `refusal` gives a line is asked again after that line.
void askTicsPerLabel(common::Console& con, float range, TicRange& tics,
                     const std::function<std::string(float)>& refusal = nullptr);

// Subintervals between labelled tics: held from one axis to the next, as
// the settings of the last labelled axis; 0 before the first.
int subintervals(const TicRange& tics, int previous);

// Where one axis stands: the frame it belongs to, the values the frame
// spans along it (min ... min + range), its position (x of a vertical axis,
// y of a horizontal one) and its side code (the tic menus' answer).
struct AxisPlace {
    common::Box frame;
    float min = 0, range = 0;
    float pos = 0;
    int side = 0;
};

// One vertical energy axis of the band frame. Only the axis at the frame's
// left edge carries numeric labels; without a label distance no axis does.
void tltica(common::Plot& plot, const AxisPlace& axis, const TicRange& tics, int& nsub);

// One axis of the DOS graph: orientation 2 is a vertical axis, anything
// else a horizontal one.
void mvtica(common::Plot& plot, const AxisPlace& axis, int orientation, const TicRange& tics, int& nsub);

}  // namespace annotate
