// The graph layout file fort.7: every setting of the graph except the curve
// values, which are fetched again from fort.1 by their curve numbers.
#pragma once

#include <string>

#include "common/records.h"
#include "dos/main/dos_graph.h"

// The whole file as text.
std::string formatLayout(const DosGraph& g);

// Reads a layout into `g` (a copy of the current graph to be replaced) and
// fetches its curves from the input. The whole file is checked first; on
// failure `error` names the record and `g` must be discarded.
bool parseLayout(const RecordFile& file, const DosInput& in, DosGraph& g, std::string& error);

class Console;
class Plot;

// The load dialogue: a missing file is reported with the menu number of
// "Save graph layout"; a refused file with its record; the graph is replaced
// and redrawn only when the whole file is good. True when loaded.
bool loadLayout(Console& con, Plot& plot, const DosInput& in, DosGraph& g, const std::string& path,
                int saveNumber);

// Writes fort.7 atomically; false with a one-line error.
bool saveLayout(const std::string& path, const DosGraph& g, std::string& error);
