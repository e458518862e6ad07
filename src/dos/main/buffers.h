// The curve buffers: the question that decides new graph, overlay or
// append; loading a curve into the next buffer of its panel; listing,
// selecting and deleting buffers; the common ranges of the panels.
#pragma once

#include <string>

#include "dos/main/dos_graph.h"

class Console;
class Plot;

// Empties both panels: counts 0, common ranges and buffer attributes as at
// start-up.
void resetBuffers(DosGraph& g);

// Asked before a curve goes into `panel` while the graph holds buffers:
// create new, overlay (on the common or the curve's own scale), or append as
// a second panel. Clears the page where the choice replaces the picture and
// redraws the first panel after an append. Returns the own-scale choice.
bool askComposition(Console& con, Plot& plot, const DosInput& in, DosGraph& g, Panel panel);

enum class LoadResult { Loaded, PanelFull, Unreadable };

// Loads curve `c` into the next buffer of `panel`: range with the requested
// maximum, common range widened unless on its own scale, and the
// " ... assigned to ... curve buffer #nn" message. Nothing changes when the
// panel is full or a value cannot be read (`error` says which record).
LoadResult loadCurve(Console& con, const DosInput& in, DosGraph& g, Panel panel, int c,
                     const std::string& title, float requested_max, bool own_scale,
                     std::string& error);

// Common ranges from the buffers that are not on their own scale.
void recomputeRange(DosGraph& g, Panel panel);

// Removes buffer b (1-16): the later buffers of its panel move down one slot
// with their whole record; the freed last slot gets the start attributes.
void deleteBuffer(DosGraph& g, int b);

// Lists the titles of the filled buffers of both panels.
void mvlist(Console& con, const DosGraph& g);

// Buffer selection dialogue. Modes: close/open, shading, line type, delete.
enum class SelectMode { CloseOpen = 0, Shading = 1, LineType = 2, Delete = 3 };
// Asks the buffer number and applies the mode; returns the buffer chosen.
int mvselc(Console& con, DosGraph& g, SelectMode mode);
