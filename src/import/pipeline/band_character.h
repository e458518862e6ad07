// The orbital character on its way to fort.16: the groups' weights put on
// the levels of the path they were projected from, and the weights of the
// levels of the band input's k point blocks.
#pragma once

#include <string>
#include <vector>

#include "band/core/character.h"
#include "common/error.h"
#include "import/model/dense_path.h"
#include "import/model/level_character.h"
#include "import/pipeline/band_path.h"

namespace importer {

// Puts the groups' weights on the levels of `path` as it stands after
// reading, each level numbered within its channel in the source's order:
// path point i is point index[i] of each channel of the projections, whose k
// point must be bandK[i] and whose levels' energies the path's (both as
// the band file prints them). Fails naming the file and line of the first
// k point or level that differs, or a count that does not match.
common::Status attachGroups(DensePath& path, const LevelProjections& p, const LevelGroups& g,
                            const std::vector<size_t>& index, const std::vector<KVector>& bandK,
                            const std::string& bandFile);

// The character file of the chosen lines: the groups' weights of every level
// of every k point block makeBandInput writes, in its order (levels in the
// order of the path's points, the lowest first); the path must carry groups.
band::CharacterFile makeCharacter(const DensePath& path, const std::vector<ChosenLine>& lines);

}  // namespace importer
