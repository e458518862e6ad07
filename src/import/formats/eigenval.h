// The band files of a VASP run along a path (KPOINTS in line mode):
//
// EIGENVAL: a line "ions ions loops ISPIN", four lines of cell and title,
// a line "NELECT NKPTS NBANDS", then per k point a blank line, "k1 k2 k3
// weight" (k in fractions of the reciprocal lattice vectors) and NBANDS
// lines "n E [occ]" (ISPIN = 2: "n E_up E_down [occ_up occ_down]"), eV.
// A hybrid run lists its self-consistent mesh first, with weights, and the
// path after it with weight 0.
//
// KPOINTS (line mode): a comment, the points per segment, "Line-mode",
// "Reciprocal" (or Cartesian), then the segments as pairs of lines
// "k1 k2 k3 [!] NAME", separated by blank lines; a segment's end repeated as
// the next one's start is one point, a different start is a jump.
//
// POSCAR: a comment, the scale (negative: the cell volume; or three
// scales), the three lattice vectors (Angstrom). OUTCAR: "E-fermi :" and
// the block "direct lattice vectors  reciprocal lattice vectors" (1/Angstrom
// without the 2 pi).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "import/pipeline/band_path.h"
#include "import/tools/import_tool.h"

namespace importer {

struct Eigenval {
    int spins = 1;
    std::vector<KVector> k;                          // reciprocal-lattice fractions
    std::vector<double> weight;
    std::vector<size_t> line;                        // the line of each k point
    std::array<std::vector<std::vector<double>>, 2> e;  // [channel][point][band], eV
};

common::Result<Eigenval> readEigenval(const std::string& path);

// The segments of a line-mode KPOINTS: their ends and the names of the ends.
struct KpointsPath {
    std::string name;
    int perSegment = 0;
    bool fractional = true;  // "Reciprocal"; false for Cartesian
    std::vector<std::array<KVector, 2>> ends;
    std::vector<std::array<std::string, 2>> names;
    std::vector<size_t> line;  // line of each segment's start in the file
};

// Fails naming file and line, also for a KPOINTS that is not in line mode.
common::Result<KpointsPath> parseKpoints(const std::string& name, const std::string& text);
common::Result<KpointsPath> readKpoints(const std::string& path);

// The reciprocal lattice vectors (1/Angstrom, 2 pi included), rows b1, b2, b3.
using Lattice = std::array<KVector, 3>;
common::Result<Lattice> readPoscarReciprocal(const std::string& path);
common::Result<Lattice> readOutcarReciprocal(const std::string& path);

// The last "E-fermi :" of an OUTCAR.
common::Result<double> fermiFromOutcar(const std::string& path);

// The path of the run: the weight-0 points of a hybrid run, else all, which
// must weigh the same (a mesh is refused); Cartesian k (1/Angstrom) with
// `lattice`, else the fractions as they are; the channel `spin` names, or
// with two channels and Spin::Both both (the spin-down levels marked in
// `channel`); point names from `kpoints`, whose segments must make up the
// points of the path; jumps between segments (from `kpoints`, else from
// segments of evenly spaced points) marked in `jump`.
common::Result<DensePath> vaspPath(const std::string& name, const Eigenval& run, const std::optional<KpointsPath>& kpoints,
                                   const std::optional<Lattice>& lattice, Spin spin);

}  // namespace importer
