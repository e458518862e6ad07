// The graph modification menu: energy and x range, border, tic marks,
// titles, free text, curve attributes, Fermi marker, buffer ranges and
// offsets, buffer list.
#pragma once

#include "dos/core/graph.h"
#include "common/fwd.h"

namespace dos {

// Runs the menu until the user selects 0.
void mvgrph(common::Plot& plot, common::Console& con, const DosInput& in, DosGraph& g);

// Option 4: the tic dialogue for every axis the graph has; draws each axis.
void askAxes(common::Plot& plot, common::Console& con, DosGraph& g);

}  // namespace dos
