// The band graph layout file fort.15: every graph setting (geometry, energy
// window, element flags, tics, labels, titles, free texts, Fermi marker,
// border) in fixed records, so a finished picture can be reproduced.
#pragma once

#include <string>

#include "common/records.h"

namespace band {

struct BandGraph;

// The file text, or the failure naming the first number that does not fit
// its field (the file could not be read back).
common::Result<std::string> formatLayout(const BandGraph& g);

// Reads every record into `g` and checks it; on failure the line names the
// file and record and `g` may be half filled (parse into a copy).
common::Status parseLayout(const common::RecordFile& file, BandGraph& g);

// Why fort.15 could not keep an answer as typed, as the one line the
// question gives before it asks again; "" when it can. Every real of the
// file is an F10.5 field, and the energy window must read back with its
// minimum below its maximum.
std::string energyWindowRefusal(float elow, float ehigh);
std::string valueRefusal(float v);

// Where the frame of a layout (read from `file`) lies against its page: ""
// when all of it is on the page, else one line naming the file and the
// geometry record: "nothing of the frame is on the page" or "part of the
// frame lies outside the page" (`refusal`: "the frame lies outside the
// page", for a picture that is refused).
std::string framePlacement(const BandGraph& g, const std::string& file, bool refusal = false);

// Writes the layout through a temporary file; the old one stays on failure.
common::Status saveLayout(const std::string& path, const BandGraph& g);

// Replaces the settings of `g` (not its drawing state) only when the whole
// file reads and passes the checks; the energy range is recomputed.
common::Status loadLayout(const common::RecordFile& file, BandGraph& g);

}  // namespace band
