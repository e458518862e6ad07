// Wannier90's band plot (bands_plot = true), three files of one seed name:
// SEEDNAME_band.dat, per band one line "x E" a k point (x the distance
// along the path in 1/Angstrom, E in eV) and a blank line after the band;
// SEEDNAME_band.kpt, the number of k points, then a line "k1 k2 k3 weight"
// each (fractions of the reciprocal lattice vectors);
// SEEDNAME_band.labelinfo.dat, a line "NAME index x k1 k2 k3" for each
// point between the lines (index counts the k points from 1). SEEDNAME.wout
// beside them gives the reciprocal lattice vectors (1/Angstrom) in the lines
// "b_1 x y z" under "Reciprocal-Space Vectors".
#pragma once

#include <optional>
#include <string>

#include "common/error.h"
#include "import/model/dense_path.h"

namespace importer {

// True for a file named like SEEDNAME_band.dat.
bool isW90BandFile(const std::string& path);

struct NamedText {
    std::string name, text;
};

// The path: k Cartesian (1/Angstrom) with the lattice of `wout`, else the
// fractions as they are; the points of `labelinfo` marked and named; levels
// ascending. Complaints name the file and line.
common::Result<DensePath> parseW90Band(const NamedText& band, const NamedText& kpt, const std::optional<NamedText>& labelinfo,
                                       const std::optional<NamedText>& wout);

// A band plot read with the files beside it.
struct W90Band {
    DensePath path;
    std::string beside;     // the files read beside the band file, ", " between them
    bool labelled = false;  // the labels were there (SEEDNAME_band.labelinfo.dat)
};

// The same from SEEDNAME_band.dat and the files beside it (the .kpt is
// needed, the labels and the .wout are read when they are there).
common::Result<W90Band> readW90Band(const std::string& path);

// The Fermi energy of a Wannier90 run of `seed` (the path without its
// suffix): the keyword fermi_energy of SEED.win ("fermi_energy = 6.24", eV,
// the separator '=', ':' or blanks, in any case, after '!' or '#' a
// comment), else the line "Fermi energy (eV) : 6.24" of SEED.wout; with the
// file it comes from. Nothing when neither says; fails naming file and line
// when the value does not read.
struct W90Fermi {
    double energy = 0;
    std::string file;
};
common::Result<std::optional<W90Fermi>> w90Fermi(const std::string& seed);

}  // namespace importer
