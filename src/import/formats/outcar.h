// VASP's OUTCAR: the lines "E-fermi :" and the block "direct lattice
// vectors  reciprocal lattice vectors" (1/Angstrom without the 2 pi).
#pragma once

#include <string>

#include "common/error.h"
#include "import/model/k_vector.h"

namespace importer {

// The reciprocal lattice vectors (1/Angstrom, 2 pi included) of the last block.
common::Result<Lattice> readOutcarReciprocal(const std::string& path);

// The last "E-fermi :" of an OUTCAR.
common::Result<double> fermiFromOutcar(const std::string& path);

}  // namespace importer
