// The question about band colours and line widths (graph menu option 13).
#pragma once

#include "common/fwd.h"

namespace band {

struct BandGraph;

// Shows the present ranges, offers to keep them, then asks ranges (first
// band 0 ends) with colour index, line width and line style each, into
// g.styles. The caller redraws.
void askBandStyles(common::Console& con, BandGraph& g);

}  // namespace band
