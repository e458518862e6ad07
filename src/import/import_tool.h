// What the converters from electronic-structure codes share: the Fermi
// energy of a pw.x run, files written whole, and the frame of a program
// that never prompts (status 0, 1 for bad input, 2 for bad usage).
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "common/error.h"    // common::Stop (status 1), common::Result, common::Failure
#include "common/options.h"  // common::parseCommandLine, common::UsageError (status 2), common::CommandLine

namespace importer {

using namespace common;

// The spin channels of a spin-polarised run: both summed, or one of them.
enum class Spin { Both, Up, Down };

// The Fermi energy (eV) printed by a pw.x run: "the Fermi energy is X ev",
// "highest occupied level (ev): X", or "highest occupied, lowest unoccupied
// level (ev): X Y" (X is taken); the last one in the file counts. A run with
// its magnetisation fixed prints "the spin up/dw Fermi energies are X Y ev":
// the channel `spin` names, and with both channels no single level (a
// common::Stop asks for --fermi). Throws common::Stop naming the file when
// it has none or cannot be read.
double fermiFromPwOutput(const std::string& path, Spin spin = Spin::Both);

// Writes DIR/NAME whole (common's writeFileAtomic); common::Stop on failure.
void writeWhole(const std::string& dir, const std::string& name, const std::string& text);

// Runs a program's body: 0 when it returns; for a common::Stop prints
// "PROGRAM: " + the line on `err` and returns 1; for a common::UsageError
// prints "PROGRAM: " + the line, then the usage, on `err` and returns 2.
int runImport(const std::string& program, const std::string& usage, std::ostream& err,
              const std::function<void()>& body);

}  // namespace importer
