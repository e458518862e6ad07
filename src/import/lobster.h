// Bond populations written by LOBSTER: COOPCAR.lobster and COHPCAR.lobster.
// A title line, then "interactions+1 spins NEDOS Emin Emax E_F", the label
// "Average" and one label per interaction ("No.1:Si1->Si2(2.35)"), then NEDOS
// rows: E, the average and its integral, then per interaction its value and
// integral; with two spins the spin-down columns follow the spin-up ones.
// Energies are already relative to the Fermi level.
#pragma once

#include <string>
#include <vector>

#include "import/dos_source.h"
#include "import/vasp_doscar.h"

namespace importer {

struct Coxxcar {
    std::string path;
    std::string kind;  // "COHP", "COOP" or "COBI", from the file name
    int spins = 1;
    double fermi = 0;
    std::vector<std::string> labels;  // one per interaction
    std::vector<double> energy;
    std::vector<size_t> lines;  // the line of each row
    // Per interaction, summed over spins.
    std::vector<std::vector<double>> value, integral;
};

// Fails naming file and line on a damaged file.
common::Result<Coxxcar> readCoxxcar(const std::string& path);

// The interactions `which` (1-based; at most five) as COOP projections, a
// COHP written as -COHP; with `doscar` (a DOSCAR.lobster on the same grid)
// also its total DOS and the atoms `atoms` as AO projections.
// Fails naming the file that lacks an interaction or an atom asked for, or
// whose grid differs.
common::Result<DosSource> lobsterSource(const Coxxcar& c, const std::vector<int>& which, const Doscar* doscar,
                                        const std::vector<int>& atoms);

}  // namespace importer
