// The command line of every program here, GNU style: options with a value
// as "--fit hermite" or "--fit=hermite" (short ones as "-o DIR"), flags
// alone, everything else positional in its order; "--" ends the options.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace common {

// Bad usage: the program prints the line and its usage on standard error
// and ends with status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::set<std::string> valued;  // options that take a value: "--fit", "-o"
    std::set<std::string> flags;   // options without: "--help"
};

struct CommandLine {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool has(const std::string& option) const { return values.count(option) || flags.count(option); }
    std::string value(const std::string& option, const std::string& fallback = "") const;
    // A real number given to `option`; UsageError naming it when it is none.
    double real(const std::string& option) const;
};

// An unknown option, a missing value, a value given to a flag or an option
// given twice is a UsageError naming it.
CommandLine parseCommandLine(const std::vector<std::string>& words, const OptionSpec& spec);

// What is wrong with the picture title of --title, which is one text line
// of at most kTitleCharacters characters; "" when nothing is.
inline constexpr size_t kTitleCharacters = 80;
std::string titleProblem(const CommandLine& args);

// argv[1] ... argv[argc-1] as words.
std::vector<std::string> argumentWords(int argc, char** argv);

}  // namespace common
