#include "common/program_options.h"

#include <ostream>

namespace common {

const char* const kScreenHelp =
    "Environment:\n"
    "  PGPLOT_DEV      the screen device (default /XWINDOW; /NULL draws nothing\n"
    "                  and asks for cursor positions on the console)\n";

std::string usageHint(const std::string& name) { return "Try '" + name + " --help' for the options.\n"; }

ProgramStart usageError(const std::string& name, const std::string& why, std::ostream& err) {
    err << name << ": " << why << "\n" << usageHint(name);
    err.flush();
    ProgramStart s;
    s.status = 2;
    return s;
}

ProgramStart startProgram(const std::string& name, const std::string& usage, OptionSpec spec,
                          const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    spec.flags.insert("--help");
    spec.flags.insert("--version");
    ProgramStart s;
    try {
        s.args = parseCommandLine(words, spec);
    } catch (const UsageError& e) {
        return usageError(name, e.what(), err);
    }
    if (s.args.has("--help")) {
        out << usage;
    } else if (s.args.has("--version")) {
        out << name << " " << kVersion << "\n";
    } else if (!s.args.positional.empty()) {
        return usageError(name, "unexpected argument '" + s.args.positional.front() + "'", err);
    } else {
        s.run = true;
    }
    out.flush();
    return s;
}

}  // namespace common
