// What an importer reads from another program, on that program's grid, and
// its conversion into the curves of fort.1: energies made relative to the
// Fermi level, integrals and total energy computed where the source gives
// none, a fine grid resampled evenly onto at most the points fort.1 holds.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dos/core/dos_input.h"

namespace importer {

struct SourceProjection {
    std::vector<std::string> description;
    std::vector<double> curve;
    std::vector<double> integral;  // empty: the running integral of the curve
};

struct DosSource {
    std::string source;           // the program and the file, for the summary
    std::vector<double> energy;   // ascending, eV
    std::optional<double> fermi;  // eV on the scale of the source
    bool relative = false;        // energies already relative to the Fermi level
    bool totals = false;
    std::vector<double> dos, idos;  // idos empty: the running integral of dos
    std::vector<SourceProjection> ao, coop;
    std::vector<std::string> notes;  // further summary lines
};

struct Imported {
    dos::DosCurves curves;
    std::string text;     // the file fort.1
    std::string summary;  // lines for standard output
};

// The curves of fort.1, its text and the summary; fails when a value would
// not fit its field or a count exceeds what fort.1 holds.
common::Result<Imported> assemble(const DosSource& src);

}  // namespace importer
