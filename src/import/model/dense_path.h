// The model every band source fills: the levels at the k points of a
// calculation's path, in path order, with what the source knows of them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "import/model/k_vector.h"

namespace importer {

// The units of the k points of a path.
enum class KUnits {
    twoPiOverAlat,    // Cartesian, 2 pi/alat (the lattice constant's)
    inverseAngstrom,  // Cartesian, 1/Angstrom
    fractions,        // fractions of the reciprocal lattice vectors
};

// The levels at the k points of a calculation's path, in path order.
struct DensePath {
    KUnits units = KUnits::inverseAngstrom;
    std::vector<KVector> k;
    std::vector<std::vector<double>> e;        // [point][level], eV
    std::vector<std::vector<KVector>> grad;    // exact dE/dk [point][level]; empty when not known
    std::vector<std::vector<int>> irrep;       // [point][level]; empty when not known, -1 or 0 unknown there
    std::vector<bool> high;                    // high-symmetry marks; empty when not known
    std::vector<std::vector<int>> channel;     // spin channel [point][level], 0 up, 1 down; empty with one channel
    std::vector<std::string> names;            // the name of each point ("" where it has none); empty when none
    std::vector<size_t> line;                  // the source file's line of each point; empty when not known
    // The reciprocal lattice vectors in the units of k (k Cartesian); none
    // when the k points are fractions or the lattice is not known.
    std::optional<std::array<KVector, 3>> reciprocal;
    std::vector<bool> jump;                    // jump[i]: the path jumps from point i to i + 1; empty when not known

    int nbands() const { return e.empty() ? 0 : static_cast<int>(e.front().size()); }
};

// Puts the levels at every point in ascending order, their gradients,
// representations and channels with them.
void sortLevels(DensePath& path);

}  // namespace importer
