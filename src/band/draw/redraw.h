// The whole band graph drawn again from its settings: frame, bands and every
// annotation whose element flag is on, in a fixed order.
#pragma once

#include <vector>

#include "annotate/settings.h"
#include "common/error.h"
#include "common/fwd.h"

namespace band {

struct BandGraph;

// Whether the frame has a right edge: always with two or more lines, with a
// single line only once the border was added.
bool hasRightEdge(const BandGraph& g);

// The legend's entries: spin up and spin down in their looks for a picture
// of both spin channels, none otherwise.
std::vector<annotate::LegendEntry> legendEntries(const BandGraph& g);
// The legend in the frame, where its place says.
void drawBandLegend(common::Plot& plot, const BandGraph& g);

// Draws on the selected device without clearing it; sets g.nsub from the
// tic axes. Fails, as tlband, when the bands could not be drawn in full.
common::Status tlrdrw(common::Plot& plot, BandGraph& g);

}  // namespace band
