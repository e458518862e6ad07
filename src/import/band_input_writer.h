// Writing the band program's input files: fort.14 (counts) and fort.1 (per
// k point its coordinates, line membership and band records), exactly as
// readCounts and readBandInput read them. Every value is checked against
// its field first: a value that would print as asterisks is refused.
#pragma once

#include <string>

#include "band/main/band_files.h"
#include "common/error.h"

namespace importer {

// "(6I6)": nkpt, nbands and four unused zeros.
common::Result<std::string> formatBandCounts(int nkpt, int nbands);

// nkpt blocks of nbands + 4 records: "(3F10.7)", three "(12I3)", then one
// "(4F10.5,I4,10I3)" per band. The failure names the k point (and band).
common::Result<std::string> formatBandInput(const BandInput& input);

}  // namespace importer
