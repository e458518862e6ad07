// Densities of states written by Quantum ESPRESSO's projwfc.x: the total
// PREFIX.pdos_tot ("# E (eV) dos(E) pdos(E)", or dosup/dosdw when spin
// polarised) and the projections PREFIX.pdos_atm#N(X)_wfc#M(l), whose ldos
// column (or ldosup/ldosdw) is the projection on that atomic wavefunction.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/model/dos_projection.h"
#include "import/model/dos_source.h"
#include "import/model/spin.h"

namespace importer {

// The total DOS and the projections on the grid of the pdos_tot file,
// chosen, summed and split by spin as `choice` asks (dos_projection.h);
// without a sum only the first files that fit are read, and the summary
// says which. Energies stay absolute; `fermi` (eV) is passed on when known.
// Fails naming file and line on a damaged file, a grid that differs between
// the files, or a spin channel asked of a file without spin columns.
common::Result<DosSource> readQePdos(const std::string& pdosTot, const std::vector<std::string>& projections,
                                     const Choice& choice, std::optional<double> fermi);

// A file name ending in pdos_atm#1(Si)_wfc#2(s), cut into its parts.
struct PdosName {
    std::string prefix;   // what comes before "pdos_atm#", "si."
    int atom = 0;
    std::string element;  // the species label, "Si"
    int wfc = 0;
    std::string orbital;  // "s", "p_j1.5"
};
std::optional<PdosName> parsePdosName(const std::string& path);

// "Si(1) s" from a file name ending in pdos_atm#1(Si)_wfc#2(s); empty when
// the name does not have that form.
std::string qeProjectionName(const std::string& path);

// The orbital of `n` with its shell when its atom has several wave
// functions of that l among `all` (semicore states: "3s" and "4s" of Fe,
// the outermost one the valence shell of the element), else as named.
std::string shellOf(const PdosName& n, const std::vector<PdosName>& all);

}  // namespace importer
