// VASP's vasprun.xml: one XML file with the whole run. Read here: the
// k points (<kpoints>: the generation block, whose "listgenerated" form
// gives the points per segment of a line-mode run as "divisions", the
// kpointlist and weights), the ions' elements (<atominfo>), the final
// structure's reciprocal lattice (<structure name="finalpos">, rec_basis in
// 1/Angstrom without the 2 pi), and of the last <calculation> its levels
// (<eigenvalues>: a set per spin, per k point, rows "E occ") and its
// density of states (<dos>: efermi, <total> rows "E dos integrated" per
// spin, <partial> rows "E orbitals..." per ion and spin) and the weights of
// its levels on the ions' orbitals (<projected>: <field>s naming the
// orbitals, then per spin, k point and band a row per ion, as a PROCAR
// holds them).
//
// The file is parsed once into memory, in place (an 85 MB run takes some
// three times its size); arrays are read row by row from the parsed text.
// A file packed with more tags than a run writes is refused unparsed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "import/formats/doscar.h"
#include "import/formats/eigenval.h"
#include "import/formats/kpoints.h"
#include "import/model/k_vector.h"
#include "import/model/level_character.h"

namespace importer {

struct Vasprun {
    std::string path;
    std::optional<Eigenval> levels;         // <eigenvalues> of the last calculation; the line of each k point's <v>
    std::optional<KpointsPath> segments;    // a line-mode run: the segments of the generation block (no names)
    std::string mesh;                       // a run on a mesh: why, "<generation param=\"Gamma\">"; "" otherwise
    size_t meshLine = 0;                    // the line of that generation block
    std::optional<Lattice> reciprocal;      // 1/Angstrom, 2 pi included
    std::optional<double> fermi;            // efermi of the last calculation's <dos>
    std::optional<Doscar> dos;              // <dos> as a DOSCAR holds it (ions only with <partial>)
    std::vector<std::string> elements;      // the element of each ion
    std::optional<LevelProjections> projections;  // <projected>, its ions named by `elements`
};

// Fails naming the file and the element, with its line where there is one:
// "vasprun.xml, line 812: <eigenvalues>: k point 3 of spin 2 has 7 levels, not 8".
// <projected> is read only `withProjections` (it may hold most of the file).
common::Result<Vasprun> parseVasprun(const std::string& name, std::string text, bool withProjections = false);
common::Result<Vasprun> readVasprun(const std::string& path, bool withProjections = false);

// True when the file is XML (its first character not blank is '<'), as a
// vasprun.xml is and the text files of a run are not.
bool isVasprun(const std::string& path);

}  // namespace importer
