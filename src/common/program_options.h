// The command line of the two drawing programs: their usage texts, --help,
// --version and the usage errors, read with the one command-line reader.
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
// prints "name: why" and the usage on `err`, status 2.
ProgramStart startProgram(const std::string& name, const std::string& usage, OptionSpec spec,
                          const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

const std::string& tarlisenUsage();
const std::string& morvaneUsage();

// tarlisen [--fit cosine|hermite]: any other fit is a usage error.
ProgramStart startTarlisen(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
// morvane [--output FILE]; tarlisen likewise. A suffix other than .eps, .plt,
// .pdf or .png, or --fit with --output, is a usage error.
ProgramStart startMorvane(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

}  // namespace common
