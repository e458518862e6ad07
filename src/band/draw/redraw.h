// The whole band graph drawn again from its settings: frame, bands and every
// annotation whose element flag is on, in a fixed order.
#pragma once

#include <vector>

#include "annotate/settings.h"
#include "band/core/band_style.h"
#include "common/error.h"
#include "common/fwd.h"

namespace band {

struct BandGraph;

// Whether the frame has a right edge: always with two or more lines, with a
// single line only once the border was added.
bool hasRightEdge(const BandGraph& g);

// How the bands are drawn: the band ranges' looks and the spin-down one;
// bands coloured by their character are heavier, and the spin-down ones
// among them dashed, as their colours are the character's.
BandLooks looksOf(const BandGraph& g);

// The legend's entries: spin up and spin down in their looks for a picture
// of both spin channels, then the groups of the character shown (each in
// its colour, or the fat band's group as a shaded patch); none otherwise.
std::vector<annotate::LegendEntry> legendEntries(const BandGraph& g);
// The legend in the frame, where its place says; returns its entries when
// the frame has no room for them, for a legend below it.
std::vector<annotate::LegendEntry> drawBandLegendInFrame(common::Plot& plot, const BandGraph& g);

// Draws on the selected device without clearing it; sets g.nsub from the
// tic axes. Fails, as tlband, when the bands could not be drawn in full.
common::Status tlrdrw(common::Plot& plot, BandGraph& g);

}  // namespace band
