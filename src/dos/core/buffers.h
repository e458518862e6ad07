// The curve buffers: loading a curve into the next buffer of its panel,
// deleting a buffer, the common ranges of the panels.
#pragma once

#include <string>
#include <vector>

#include "common/error.h"
#include "dos/core/graph.h"

namespace dos {

// Empties both panels: counts 0, common ranges and buffer attributes as at
// start-up.
void resetBuffers(DosGraph& g);

// A curve of the input asked for a panel: its number (1 ...) and the
// maximum the user asked its range to reach at least (0: none).
struct CurveRequest {
    Panel panel = Panel::DOS;
    int curve = 0;
    float requested_max = 0.0f;
};

// Loads the requested curve, with its title, into the next buffer of its
// panel: range with the requested maximum, common range widened unless on
// its own scale. Returns the buffer number; nothing changes when the panel
// is full or a value cannot be read (the failure says so, naming the record).
common::Result<int> loadCurve(const DosInput& in, DosGraph& g, const CurveRequest& request, bool own_scale);

// Common ranges from the buffers that are not on their own scale; without
// such a buffer the start values (DOS 1000 ... 0, COOP maximum 0).
void recomputeRange(DosGraph& g, Panel panel);

// Removes buffer b (1-16): the later buffers of its panel move down one slot
// with their whole record; the freed last slot gets the start attributes.
void deleteBuffer(DosGraph& g, int b);

// The legend of a panel: its curves in buffer order, each by its name and
// look; the two spin halves of one curve in one look are one entry, a half
// drawn apart says which it is ("Fe d (down)").
std::vector<annotate::LegendEntry> legendEntries(const DosGraph& g, Panel panel);

}  // namespace dos
