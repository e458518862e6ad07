// VASP's POSCAR (and CONTCAR): a comment, the scale (negative: the cell
// volume; or three scales), the three lattice vectors (Angstrom), then in
// VASP 5 the element symbols (line 6) and the count of each (line 7).
#pragma once

#include <string>
#include <vector>

#include "common/error.h"
#include "import/model/k_vector.h"

namespace importer {

// What a POSCAR gives: each part, or the line that says why it does not read.
struct Poscar {
    // The reciprocal lattice vectors (1/Angstrom, 2 pi included), rows b1, b2, b3.
    common::Result<Lattice> reciprocal;
    // The element of each ion, in the file's order ("Fe_pv" read as Fe);
    // a POSCAR of VASP 4 names none.
    common::Result<std::vector<std::string>> elements;
};

// Fails only when the file cannot be opened.
common::Result<Poscar> readPoscar(const std::string& path);

// The elements of a run of `ions` ions from its POSCAR; fails naming file and
// line when the POSCAR names none or its count differs.
common::Result<std::vector<std::string>> poscarElements(const std::string& path, int ions);

}  // namespace importer
