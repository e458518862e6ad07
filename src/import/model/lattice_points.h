// Names of the high-symmetry points of a band path: the lattice whose
// standard points ("Gamma", "X", "L", ...) are all the points of the path.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "import/model/k_vector.h"

namespace importer {

struct PointNames {
    // "face-centred cubic", "body-centred cubic", "simple cubic", "hexagonal"
    // or "simple tetragonal".
    std::string lattice;
    // One per point given: "Gamma", "X", "L", ...
    std::vector<std::string> names;
};

// k points are Cartesian, in units of 2 pi / alat (Quantum ESPRESSO's
// convention), alat the cubic or in-plane lattice constant.
//
// A point has the name of a standard point of the lattice when it is one of
// that point's images under the lattice's point group plus a reciprocal
// lattice vector; where it is an image of several (K and U of the
// face-centred cubic lattice), the nearest image names it. The hexagonal
// lattice may lie with a1 along x (pw.x's ibrav=4) or along y. Hexagonal and
// tetragonal lattices take their height from the points: the one |kz| of all
// points off the plane kz = 0 is that of A (hexagonal) or Z (tetragonal).
//
// The lattices are tried in the order face-centred, body-centred and simple
// cubic, hexagonal, simple tetragonal; the first that names every point is
// the answer (Gamma alone is face-centred cubic). nullopt when none does, or
// when there are no points.
std::optional<PointNames> nameHighSymmetryPoints(const std::vector<KVector>& points);

}  // namespace importer
