// tarlisen-import: the band program's input files fort.1 and fort.14 from
// Quantum ESPRESSO's bands.x output, a VASP run's EIGENVAL or Wannier90's
// geninterp output.
#pragma once

#include <optional>
#include <utility>
#include <ostream>
#include <string>
#include <vector>

#include "common/error.h"

namespace importer {

struct BandImportRequest {
    std::string source;            // "qe", "vasp" or "w90"
    std::string input;             // the band file, EIGENVAL or the geninterp file
    std::string scf;               // pw.x output with the Fermi energy (qe only)
    std::string down;              // qe: the bands.x file of the spin-down channel
    std::string kpoints;           // VASP: the line-mode KPOINTS (names of the points)
    std::string poscar;            // VASP: the POSCAR (the lattice)
    std::string doscar;            // VASP: the DOSCAR (the Fermi energy)
    std::string outcar;            // VASP: the OUTCAR (the Fermi energy; the lattice without --poscar)
    std::optional<double> fermi;   // given directly
    std::string lines;             // "--lines": which symmetry lines to keep
    std::string labels;            // "--labels": the points between the lines, "G,X,W,K|U,G"
    std::optional<std::pair<double, double>> window;  // "--window EMIN,EMAX" of the picture
    std::string spin;              // "--spin up|down": that channel's Fermi energy (qe), its bands (vasp)
    std::string title;  // --title: the picture's title in the starter layout
    std::string projections;       // "--projections": projwfc.x output (qe) or PROCAR (vasp)
    std::string sum;               // "--sum element|orbital|element,orbital": the groups of the projections
    std::string outDir = ".";
};

std::string bandImportUsage();

// The command line as words (without the program name): the request, or
// nullopt after printing the usage on `out` for --help. common::UsageError
// on bad usage.
std::optional<BandImportRequest> parseBandImport(const std::vector<std::string>& words, std::ostream& out);

// Reads and converts the run, then writes into DIR the band input (fort.1,
// fort.14), the stored set-up that joins the bands through their crossings
// (fort.3), the interpolated bands (fort.2, fitted through energies and
// slopes), a starter layout (fort.15) and, with --projections, the orbital
// character of the levels (fort.16), and prints the summary on `out`.
// Everything is made before the first file is written. Fails on bad input,
// naming file and line; common::UsageError when --lines keeps more lines
// than the band program takes or --labels does not fit the lines.
common::Status importBands(const BandImportRequest& request, std::ostream& out);

}  // namespace importer
