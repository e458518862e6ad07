// The model every band source fills: the points of a calculation's path, in
// path order, each with its levels and what the source knows of them.
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

// One level at a point of the path: its energy and what the source knows
// of it. Everything a level carries travels with it when the levels are
// sorted or joined into bands.
struct Level {
    double energy = 0;              // eV
    std::optional<KVector> slope;   // the exact dE/dk, when the source gives it
    int irrep = 0;                  // its representation; 0 or less where not known
    int channel = 0;                // its spin channel: 0 up (or the only one), 1 down
    int number = 0;                 // its number among the source's levels of its channel there, from 1
    std::vector<double> character;  // its weight in each group of DensePath::groups, 0 ... 1
};

// A point of the path with its levels.
struct PathPoint {
    KVector k{};
    std::vector<Level> levels;
    bool high = false;              // marked as a high-symmetry point by the source
    std::string name;               // the name the source gives it; "" where none
    size_t line = 0;                // its line in the source file; 0 when not known
    bool jumpsAfter = false;        // the path jumps from here to the next point

    // The energies of the levels of spin channel `channel`, lowest first:
    // the channel's bands as the source numbers them.
    std::vector<double> energies(int channel) const;
};

// The levels at the k points of a calculation's path, in path order.
struct DensePath {
    KUnits units = KUnits::inverseAngstrom;
    std::vector<PathPoint> points;
    // The reciprocal lattice vectors in the units of k (k Cartesian); none
    // when the k points are fractions or the lattice is not known.
    std::optional<std::array<KVector, 3>> reciprocal;
    // The groups of atomic states the levels' character is given in ("As",
    // "p"); empty when the source read no projections.
    std::vector<std::string> groups;

    int nbands() const { return points.empty() ? 0 : static_cast<int>(points.front().levels.size()); }
    // 2 when the levels are of two spin channels, else 1 (every point
    // holds the levels of every channel: the first point tells).
    int channels() const;
};

// Puts the levels at every point in ascending order of energy, each with
// everything it carries.
void sortLevels(DensePath& path);

}  // namespace importer
