// The band graph layout file fort.15: every graph setting (geometry, energy
// window, element flags, tics, labels, titles, free texts, Fermi marker,
// border) in fixed records, so a finished picture can be reproduced.
#pragma once

#include <string>

#include "common/records.h"

namespace band {

using namespace common;

struct BandGraph;

// The file text. False, with `error` naming the value, when a number does
// not fit its field (the file could not be read back).
bool formatLayout(const BandGraph& g, std::string& text, std::string& error);

// Reads every record into `g` and checks it; on failure `error` names the
// file and record and `g` may be half filled (parse into a copy).
bool parseLayout(const RecordFile& file, BandGraph& g, std::string& error);

// Writes the layout through a temporary file; the old one stays on failure.
bool saveLayout(const BandGraph& g, const std::string& path, std::string& error);

enum class LayoutLoad { Loaded, Missing, Refused };
// Replaces the settings of `g` (not its drawing state) only when the whole
// file reads and passes the checks; the energy range is recomputed.
LayoutLoad loadLayout(const std::string& path, BandGraph& g, std::string& error);

}  // namespace band
