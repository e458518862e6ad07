// The standard output of Quantum ESPRESSO's projwfc.x: the list of atomic
// states ("state #   5: atom   2 (As ), wfc  1 (l=0 m= 1)"), then for every
// k point " k =  kx ky kz" (Cartesian, 2 pi/alat) and for each of its levels
// "==== e(   1) =    -5.65041 eV ====", the weights of the level on the
// states, largest first, "psi = 0.651*[#   5]+0.125*[#   1]+..." (three
// decimals, weights below 0.001 left out; longer lists go on over further
// lines), and their sum "|psi|^2 = 0.997". A spin-polarised run lists all
// its k points for spin up, then all again for spin down.
#pragma once

#include <string>

#include "common/error.h"
#include "import/model/level_character.h"

namespace importer {

// The states and the weights of every level, in the file's order (one
// channel; the caller knows whether the k points come twice). Fails
// naming file and line on a damaged file.
common::Result<LevelProjections> readQeProjections(const std::string& path);
common::Result<LevelProjections> parseQeProjections(const std::string& name, const std::string& text);

}  // namespace importer
