// Band energies and exact gradients from Wannier90's postw90 generic
// interpolation (geninterp = true, geninterp_alsofirstder = true):
// SEEDNAME_geninterp.dat, after '#' comment lines one line per k point and
// band: the k point's number, k (Cartesian, 1/Angstrom), the energy (eV)
// and dE/dk (eV Angstrom), the bands of one k point on consecutive lines.
#pragma once

#include <string>

#include "import/model/dense_path.h"
#include "common/error.h"

namespace importer {

// The path as given: k points in the file's order, levels ascending, the
// gradients exact, no representations. `name` is named in the complaints.
common::Result<DensePath> parseGeninterp(const std::string& name, const std::string& text);
common::Result<DensePath> readGeninterp(const std::string& path);

}  // namespace importer
