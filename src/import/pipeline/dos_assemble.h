// A DOS source turned into the curves of fort.1: energies made relative to
// the Fermi level, integrals and total energy computed where the source
// gives none, a fine grid resampled evenly onto at most the points fort.1
// holds.
#pragma once

#include <string>

#include "common/error.h"
#include "dos/core/dos_input.h"
#include "import/model/dos_source.h"

namespace importer {

struct Imported {
    dos::DosCurves curves;
    std::string text;     // the file fort.1
    std::string summary;  // lines for standard output
};

// The curves of fort.1, its text and the summary; fails when a count
// exceeds what fort.1 holds or when a value would not fit its field: then
// "FILE, line N: ..." names the row of the source it comes from (the row
// nearest its energy when the grid was resampled).
common::Result<Imported> assemble(const DosSource& src);

}  // namespace importer
