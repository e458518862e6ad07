// The dialogues of the curve buffers: the question that decides new graph,
// overlay or append; listing, selecting and deleting buffers.
#pragma once

#include "dos/core/graph.h"
#include "common/fwd.h"

namespace dos {

// Asked before a curve goes into `panel` while the graph holds buffers:
// create new, overlay (on the common or the curve's own scale), or append as
// a second panel. Clears the page where the choice replaces the picture and
// redraws the other panel after an append or an overlay. Returns the
// own-scale choice.
bool askComposition(common::Plot& plot, common::Console& con, const DosInput& in, DosGraph& g, Panel panel);

// Lists the titles of the filled buffers of both panels.
void mvlist(common::Console& con, const DosGraph& g);

// Buffer selection dialogue. Modes: close/open, shading, line type, delete,
// colour and line width.
enum class SelectMode { CloseOpen = 0, Shading = 1, LineType = 2, Delete = 3, Look = 4 };
// Asks the buffer number and applies the mode; returns the buffer chosen.
int mvselc(common::Console& con, DosGraph& g, SelectMode mode);

}  // namespace dos
