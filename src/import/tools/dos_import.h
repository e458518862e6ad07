// morvane-import: the DOS program's input fort.1 from the densities of
// states of Quantum ESPRESSO (projwfc.x), VASP (DOSCAR) or LOBSTER
// (COOPCAR/COHPCAR.lobster, DOSCAR.lobster).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/error.h"
#include "import/model/dos_projection.h"  // SumBy
#include "import/model/spin.h"

namespace importer {

struct DosImportRequest {
    std::string source;               // "qe", "vasp" or "lobster"
    std::vector<std::string> files;   // qe: pdos_tot, then projections; vasp: DOSCAR; lobster: COXXCAR
    std::string scf;                  // pw.x output with the Fermi energy (qe only)
    std::optional<double> fermi;      // given directly (qe, vasp)
    Spin spin = Spin::Both;           // --spin up|down|mirror (lobster: of the --doscar file)
    SumBy sum = SumBy::None;          // --sum: projections added up by element or orbital
    bool orbitals = false;            // --orbitals: a LOBSTER file's orbital pairs, not its bonds
    std::string poscar;               // --poscar: the element of each ion (vasp; default POSCAR beside DOSCAR)
    std::string doscar;               // --doscar DOSCAR.lobster (lobster only)
    std::vector<int> ions;            // --ions; empty: the first five
    std::vector<int> interactions;    // --interactions (bonds); empty: the first five
    std::string title;  // --title: the picture's title in the starter layout
    std::string outDir = ".";
};

std::string dosImportUsage();

// The command line as words (without the program name): the request, or
// nullopt after printing the usage on `out` for --help. common::UsageError
// on bad usage.
std::optional<DosImportRequest> parseDosImport(const std::vector<std::string>& words, std::ostream& out);

// Reads, converts and writes DIR/fort.1, then prints the summary on `out`.
// Fails on bad input, naming file and line.
common::Status importDos(const DosImportRequest& request, std::ostream& out);

}  // namespace importer
