// Bond populations written by LOBSTER: COOPCAR.lobster and COHPCAR.lobster.
// A title line, then "interactions+1 spins NEDOS Emin Emax E_F", the label
// "Average" and one label per interaction ("No.1:Si1->Si2(2.35)"), then NEDOS
// rows: E, the average and its integral, then per interaction its value and
// integral; with two spins the spin-down columns follow the spin-up ones.
// Energies are already relative to the Fermi level.
#pragma once

#include <string>
#include <vector>

#include "import/model/dos_source.h"
#include "import/formats/doscar.h"

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
    // An orbital-wise file follows each bond ("No.1:Fe1->Fe2(2.48)") with
    // its orbital pairs ("No.1:Fe1[3s]->Fe2[3s](2.48)"): the bonds, and
    // the pairs apart. A bond whose own column is missing is the sum of its
    // pairs.
    struct Interaction {
        std::string label;
        std::vector<double> value, integral;
        size_t pairs = 0;  // orbital pairs of a bond
    };
    std::vector<Interaction> bonds, pairs;
};

// Fails naming file and line on a damaged file.
common::Result<Coxxcar> readCoxxcar(const std::string& path);

// The bonds `which` (1-based; at most five; empty: the first five) as COOP
// projections, or with `orbitals` the orbital pairs of an orbital-wise
// file; a COHP written as -COHP. With `doscar` (a DOSCAR.lobster on the
// same grid) also its total DOS and its atoms as AO projections, chosen,
// summed and split by spin as `atoms` asks. Fails naming the file that
// lacks a bond or an atom asked for, or whose grid differs.
common::Result<DosSource> lobsterSource(const Coxxcar& c, const std::vector<int>& which, bool orbitals,
                                        const Doscar* doscar, const Choice& atoms);

}  // namespace importer
