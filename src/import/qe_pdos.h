// Densities of states written by Quantum ESPRESSO's projwfc.x: the total
// PREFIX.pdos_tot ("# E (eV) dos(E) pdos(E)", or dosup/dosdw when spin
// polarised) and the projections PREFIX.pdos_atm#N(X)_wfc#M(l), whose ldos
// column (or ldosup/ldosdw) is the projection on that atomic wavefunction.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "import/dos_source.h"
#include "import/import_tool.h"  // Spin

namespace importer {

// The total DOS and up to five projections on the grid of the pdos_tot file.
// Energies stay absolute; `fermi` (eV) is passed on when known. Fails
// naming file and line on a damaged file, a grid that differs between the
// files, or a spin channel asked of a file without spin columns.
common::Result<DosSource> readQePdos(const std::string& pdosTot, const std::vector<std::string>& projections,
                                     Spin spin, std::optional<double> fermi);

// "Si(1) s" from a file name ending in pdos_atm#1(Si)_wfc#2(s); empty when
// the name does not have that form.
std::string qeProjectionName(const std::string& path);

}  // namespace importer
