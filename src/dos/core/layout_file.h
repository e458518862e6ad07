// The graph layout file fort.7: every setting of the graph except the curve
// values, which are fetched again from fort.1 by their curve numbers.
#pragma once

#include <string>

#include "common/records.h"
#include "dos/core/graph.h"

namespace dos {

// The whole file as text, or the failure naming the first number that does
// not fit its field.
common::Result<std::string> formatLayout(const DosGraph& g);

// Reads a layout into `g` (a copy of the current graph to be replaced) and
// fetches its curves from the input. The whole file is checked first; on
// failure the line names the record and `g` must be discarded.
common::Status parseLayout(const common::RecordFile& file, const DosInput& in, DosGraph& g);

// Why fort.7 could not keep an answer as typed, as the one line the
// question gives before it asks again; "" when it can. Reals are F10.5
// fields (drawing offsets F12.5); a range must read back with its lower end
// below the upper one, the x range factor and the COOP maximum above 0.
std::string rangeRefusal(float lo, float hi);
std::string valueRefusal(float v);
std::string positiveRefusal(float v);
std::string offsetRefusal(float v);

// Where the frame and the panels in use of a layout (read from `file`) lie
// against its page: "" when all is on the page, else one line naming the
// file and the geometry record (see common::placementLine).
std::string framePlacement(const DosGraph& g, const std::string& file, bool refusal = false);

// A DOS picture as the files keep it: the input and the graph its layout
// gives.
struct StoredDos {
    DosInput in;
    DosGraph graph;
};

// Reads `input` (fort.1), then applies `layout` (fort.7, required); the
// failure is one line naming the file, and the record when one is damaged.
common::Result<StoredDos> loadStoredDos(const std::string& input, const std::string& layout);

// Writes fort.7 atomically; the failure is one line.
common::Status saveLayout(const std::string& path, const DosGraph& g);

}  // namespace dos
