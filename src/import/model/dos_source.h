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

// Where the rows of a curve are: the file and the line of each row, one per
// energy of the source grid. A value of fort.1 that its field cannot hold is
// named by the row it comes from.
struct Rows {
    std::string file;
    std::vector<size_t> lines;
};

struct SourceProjection {
    std::vector<std::string> description;
    Rows rows;
    std::vector<double> curve;
    std::vector<double> integral;  // empty: the running integral of the curve
};

struct DosSource {
    std::string source;           // the program and the file, for the summary
    std::vector<double> energy;   // ascending, eV
    Rows rows;                    // of the energies and the totals
    std::optional<double> fermi;  // eV on the scale of the source
    bool relative = false;        // energies already relative to the Fermi level
    bool totals = false;
    std::vector<double> dos, idos;  // idos empty: the running integral of dos
    std::vector<SourceProjection> ao, coop;
    bool mirrored = false;  // dos is spin up; ao[0] is spin down as negative values (mirrorTotals)
    std::vector<std::string> notes;  // further summary lines
};

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
