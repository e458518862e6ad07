// The model every DOS source fills: what an importer reads from another
// program, on that program's grid, with the file and line of every row.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace importer {

// Two energies of grids that must be the same agree within this (eV): the
// files print them with at least three decimals.
constexpr double kGridTolerance = 5e-4;

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

}  // namespace importer
