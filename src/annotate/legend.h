// The legend of a picture: a line sample and the name of every kind of curve
// drawn, in the frame (or panel) that holds the curves, where it covers no
// data or in a chosen corner. The texts have the size of the picture's other
// texts. Band spin channels, DOS curves and, later, projection groups of
// bands are all entries of one kind.
#pragma once

#include <optional>
#include <vector>

#include "annotate/settings.h"
#include "common/fwd.h"

namespace annotate {

// A line of the picture in normalized device coordinates: the points the
// legend must not cover.
struct Trace {
    std::vector<float> x, y;
};

// The polyline (x, y) of a world window x1 ... x2, y1 ... y2 shown on the
// viewport `view`, in normalized device coordinates.
Trace traceOnPage(const common::Box& view, float x1, float x2, float y1, float y2, int n, const float* x,
                  const float* y);
// A straight line across the frame at height y of the window y1 ... y2.
Trace acrossFrame(const common::Box& frame, float y1, float y2, float y);

// How many segments of the traces pass through the box.
int segmentsIn(const common::Box& box, const std::vector<Trace>& traces);

// The box (normalized device coordinates) the entries take in the frame:
// in the corner asked for, or, with LegendCorner::Free, the first place the
// traces do not pass through of the corners top right, top left, bottom
// right, bottom left and then places along the edges between them. None
// when the entries are wider or higher than the frame, or, with
// LegendCorner::Free, when every place covers a trace.
std::optional<common::Box> legendBox(common::Plot& plot, const std::vector<LegendEntry>& entries,
                                     const common::Box& frame, LegendCorner corner, const std::vector<Trace>& traces);

// Draws the entries in the frame where legendBox puts them, one a row: the
// sample in its look, the name after it in black. Returns false, drawing
// nothing, where legendBox finds no place. Leaves colour 1, line style 1,
// fill style 1 and the window (0, 1, 0, 1) on the whole view surface.
bool drawLegend(common::Plot& plot, const std::vector<LegendEntry>& entries, const common::Box& frame,
                LegendCorner corner, const std::vector<Trace>& traces);

// Draws the entries below the frames that `span` covers, under their numbers
// and axis titles: in as many columns as fit across its width, row by row
// from its left; for a legend no frame has room for. Leaves what drawLegend
// leaves.
void drawLegendBelow(common::Plot& plot, const std::vector<LegendEntry>& entries, const common::Box& span);

// The legend question of both graph menus: on or off and, when on, where.
void askLegend(common::Console& con, LegendPlace& place);

}  // namespace annotate
