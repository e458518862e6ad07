// VASP's PROCAR (LORBIT = 10 or 11): a title line ("PROCAR lm decomposed",
// "PROCAR new format"), then for each spin channel a line "# of k-points:
// N  # of bands: B  # of ions: I" and per k point " k-point  n :  k1 k2 k3
// weight = w" (fractions of the reciprocal lattice vectors; a negative
// coordinate may run into the one before it), and per band "band  b #
// energy E # occ. o", the header "ion  s  py  pz  px ... tot" (LORBIT 10:
// "ion  s  p  d  tot"), one row per ion with its weight on each orbital
// and their sum, and a row "tot" of the sums over the ions. An ISPIN = 2
// run repeats the whole for spin down.
#pragma once

#include <string>

#include "common/error.h"
#include "import/model/level_character.h"

namespace importer {

// The states (every orbital column of every ion, without an element: the
// PROCAR names none) and the weights of every level, channel by channel.
// Fails naming file and line on a damaged file or one it does not read (a
// non-collinear run, phases of LORBIT 12).
common::Result<LevelProjections> readProcar(const std::string& path);
common::Result<LevelProjections> parseProcar(const std::string& name, const std::string& text);

}  // namespace importer
