// Pieces shared by the import programs: the Fermi energy of a pw.x run,
// writing an output file whole, and the frame that turns a stop or a usage
// error into its line and exit status.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "common/error.h"    // common::Stop (status 1), common::Result, common::Failure
#include "common/options.h"  // common::parseCommandLine, common::UsageError (status 2), common::CommandLine

namespace importer {

// The Fermi energy (eV) printed by a pw.x run: "the Fermi energy is X ev",
// "highest occupied level (ev): X", or "highest occupied, lowest unoccupied
// level (ev): X Y" (X is taken); the last one in the file counts. Throws
// common::Stop naming the file when it has none or cannot be read.
double fermiFromPwOutput(const std::string& path);

// Writes DIR/NAME whole (common's writeFileAtomic); common::Stop on failure.
void writeWhole(const std::string& dir, const std::string& name, const std::string& text);

// Runs a program's body: 0 when it returns; for a common::Stop prints
// "PROGRAM: " + the line on `err` and returns 1; for a common::UsageError
// prints "PROGRAM: " + the line, then the usage, on `err` and returns 2.
int runImport(const std::string& program, const std::string& usage, std::ostream& err,
              const std::function<void()>& body);

}  // namespace importer
