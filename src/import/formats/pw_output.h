// The output of Quantum ESPRESSO's pw.x: the Fermi level it prints, or in a
// run that prints none the top of the valence band from its eigenvalues.
#pragma once

#include <string>

#include "common/error.h"
#include "import/model/spin.h"

namespace importer {

// The Fermi energy (eV) printed by a pw.x run: "the Fermi energy is X ev",
// "highest occupied level (ev): X", or "highest occupied, lowest unoccupied
// level (ev): X Y" (X is taken); the last one in the file counts. A run with
// its magnetisation fixed prints "the spin up/dw Fermi energies are X Y ev":
// the channel `spin` names, and with both channels no single level (the
// failure asks for --fermi). Fails naming the file when it has none or
// cannot be opened.
common::Result<double> fermiFromPwOutput(const std::string& path, Spin spin = Spin::Both);

// The reference level of a pw.x run: its Fermi energy as fermiFromPwOutput
// finds it, or, in an output that prints none (pw.x 4.x of an insulator),
// the top of the valence band: the highest of the occupied bands (the
// "number of electrons" over two, all of them in a non-collinear run) over
// the k points of the last "bands (ev)" listing. `note` says which it is.
struct PwLevel {
    double energy = 0;
    std::string note;
};
common::Result<PwLevel> referenceFromPwOutput(const std::string& path, Spin spin = Spin::Both);

}  // namespace importer
