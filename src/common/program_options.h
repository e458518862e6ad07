// The command line of the two drawing programs: --help, --version and the
// usage errors, read with the one command-line reader (the usage texts are
// their mains').
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "common/options.h"

namespace common {

inline constexpr const char* kVersion = "1.1";

// What a main does after reading its command line.
struct ProgramStart {
    bool run = false;  // go on with the dialogue; otherwise end with `status`
    int status = 0;
    CommandLine args;
};

// Reads `words` with the options of `spec` (--help and --version are always
// there). --help prints `usage` on `out`, --version "name version", both
// status 0. A usage error (see parseCommandLine; any positional word is one)
// is usageError's.
ProgramStart startProgram(const std::string& name, const std::string& usage, OptionSpec spec,
                          const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

// "name: why" and usageHint's line on `err`; status 2.
ProgramStart usageError(const std::string& name, const std::string& why, std::ostream& err);
// The line after a usage error that points at the usage.
std::string usageHint(const std::string& name);

// The environment paragraph that ends the usage of both drawing programs.
extern const char* const kScreenHelp;

}  // namespace common
