// What the import knows about each line, handed on to the band program: the
// stored set-up (fort.3) that joins the bands through their crossings, k
// points in the direction of the path, and the symmetry codes by which the
// program's own joining of a new set-up finds the same bands.
#pragma once

#include <vector>

#include "band/core/setup_file.h"
#include "import/pipeline/band_path.h"

namespace importer {

// bandOf[p][level] = the band (0-based, numbered by its level at the line's
// first point) that `level` belongs to at the line's dense point p.
std::vector<std::vector<int>> bandsOfLevels(const std::vector<std::vector<int>>& order);

// The representation of every band on the line (0-based bands as
// connectBands numbers them): the one it carries at the line's interior
// points, also given to its levels at the two ends (the compatible
// representation there); where the path leaves it unknown at some points,
// the one it has at the others; 0 when the path has none for it.
std::vector<int> lineRepresentations(const DensePath& path, const PathLine& line,
                                     const std::vector<std::vector<int>>& order);

// The stored set-up of the chosen lines, in path order, as makeBandInput
// numbers their k points: every band interpolated, k points in the path's
// direction, the band order of the import's join, symmorphic ends whose
// slopes are used (the slopes are the calculation's own); the lines' bands
// joined as `joins` has them (joinLines).
band::SetupFile makeStoredSetup(const DensePath& path, const std::vector<ChosenLine>& lines,
                                const std::vector<LineJoin>& joins);

}  // namespace importer
