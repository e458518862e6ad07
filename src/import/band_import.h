// tarlisen-import: the band program's input files fort.1 and fort.14 from
// Quantum ESPRESSO's bands.x output or Wannier90's geninterp output.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/error.h"

namespace importer {

struct BandImportRequest {
    std::string source;            // "qe" or "w90"
    std::string input;             // the band file or the geninterp file
    std::string scf;               // pw.x output with the Fermi energy (qe only)
    std::optional<double> fermi;   // given directly
    std::string lines;             // "--lines": which symmetry lines to keep
    std::string outDir = ".";
};

std::string bandImportUsage();

// The command line as words (without the program name): the request, or
// nullopt after printing the usage on `out` for --help. common::UsageError
// on bad usage.
std::optional<BandImportRequest> parseBandImport(const std::vector<std::string>& words, std::ostream& out);

// Reads, converts and writes DIR/fort.1 and DIR/fort.14, then prints the
// summary on `out`. Fails on bad input, naming file and line;
// common::UsageError when --lines keeps more lines than the band program takes.
common::Status importBands(const BandImportRequest& request, std::ostream& out);

}  // namespace importer
