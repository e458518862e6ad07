// VASP's EIGENVAL: a line "ions ions loops ISPIN", four lines of cell and
// title, a line "NELECT NKPTS NBANDS", then per k point a blank line, "k1 k2
// k3 weight" (k in fractions of the reciprocal lattice vectors) and NBANDS
// lines "n E [occ]" (ISPIN = 2: "n E_up E_down [occ_up occ_down]"), eV. A
// hybrid run lists its self-consistent mesh first, with weights, and the
// path after it with weight 0.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "import/model/dense_path.h"
#include "import/formats/kpoints.h"
#include "import/model/k_vector.h"
#include "import/model/spin.h"

namespace importer {

struct Eigenval {
    int spins = 1;
    std::vector<KVector> k;                          // reciprocal-lattice fractions
    std::vector<double> weight;
    std::vector<size_t> line;                        // the line of each k point
    std::array<std::vector<std::vector<double>>, 2> e;  // [channel][point][band], eV
};

common::Result<Eigenval> readEigenval(const std::string& path);

// The path of the run: the weight-0 points of a hybrid run, else all, which
// must weigh the same (a mesh is refused); Cartesian k (1/Angstrom) with
// `lattice`, else the fractions as they are; the channel `spin` names, or
// with two channels and Spin::Both both (the spin-down levels in channel
// 1); point names from `kpoints`, whose segments must make up the points of
// the path; jumps between segments (from `kpoints`, else from segments of
// evenly spaced points) marked on the point before each.
common::Result<DensePath> vaspPath(const std::string& name, const Eigenval& run, const std::optional<KpointsPath>& kpoints,
                                   const std::optional<Lattice>& lattice, Spin spin);

}  // namespace importer
