// What the two import tools share: lists of numbers on the command line,
// files written whole, and the frame of a program that never prompts
// (status 0, 1 for bad input, 2 for bad usage).
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "common/error.h"    // common::Result, common::Status, common::Failure (status 1)
#include "common/options.h"  // common::UsageError (status 2), common::argumentWords
#include "import/model/spin.h"

namespace importer {

// A list of numbers from 1 such as "1,3,5-7" given to `option`, in the
// order given. A number named twice is refused, as is anything that is no
// such list: common::UsageError naming the option.
std::vector<int> numberList(const std::string& option, const std::string& text);

// The lines chosen by "--lines" (a list as numberList reads it: "a-b",
// "1,3,5" or both, each once) out of `count` lines, in ascending order.
// common::UsageError when the text is no such list or names a line the path
// does not have.
std::vector<int> parseLineChoice(const std::string& text, int count);

// An option that only some sources serve, and what it serves: "--scf",
// "reads a pw.x output".
struct SourceOption {
    const char* option;
    const char* serves;
};

// A row of an import's one source table: the source's name on the command
// line, the files it reads, the options of the table's SourceOption list it
// accepts (the others are for every source), what its files can supply, and
// its reader.
template <class Reader>
struct SourceRow {
    const char* name;
    const char* reads;
    std::vector<const char*> accepts;
    const char* supplies;
    Reader read;
};

// True when the row accepts `option`.
template <class Reader>
bool accepts(const SourceRow<Reader>& row, const std::string& option) {
    for (const char* a : row.accepts)
        if (option == a) return true;
    return false;
}

// "a", "a or b", "a, b or c".
std::string alternatives(const std::vector<std::string>& names);

// The source named first on the command line, one of `known` ("qe", ...);
// common::UsageError when none is named or it is unknown.
std::string sourceNamed(const common::CommandLine& cl, const std::vector<std::string>& known);

// common::UsageError for the first option of `options` given on the command
// line that the source's row does not accept: "OPTION SERVES: A or B only",
// A and B the sources that accept it.
template <class Reader>
void refuseUnserved(const common::CommandLine& cl, const SourceRow<Reader>& row,
                    const std::vector<SourceRow<Reader>>& table, const std::vector<SourceOption>& options) {
    for (const SourceOption& o : options) {
        if (!cl.has(o.option) || accepts(row, o.option)) continue;
        std::vector<std::string> by;
        for (const SourceRow<Reader>& r : table)
            if (accepts(r, o.option)) by.push_back(r.name);
        throw common::UsageError(std::string(o.option) + " " + o.serves + ": " + alternatives(by) + " only");
    }
}

// The row of the source named first on the command line, after refusing
// the options it does not serve; common::UsageError as sourceNamed and
// refuseUnserved.
template <class Reader>
const SourceRow<Reader>& sourceRow(const common::CommandLine& cl, const std::vector<SourceRow<Reader>>& table,
                                   const std::vector<SourceOption>& options) {
    std::vector<std::string> names;
    for (const SourceRow<Reader>& r : table) names.push_back(r.name);
    const std::string name = sourceNamed(cl, names);
    for (const SourceRow<Reader>& r : table)
        if (name == r.name) {
            refuseUnserved(cl, r, table, options);
            return r;
        }
    throw common::UsageError("unknown source '" + name + "'");  // sourceNamed refused it already
}

// The picture title given by --title, "" without it; common::UsageError
// when common::titleProblem finds one.
std::string givenTitle(const common::CommandLine& cl);

// The Fermi energy given by --fermi, none without it; common::UsageError
// when --scf gives it too, or when it lies beyond kMostFermi (eV) either way.
constexpr double kMostFermi = 1000.0;
std::optional<double> givenFermi(const common::CommandLine& cl);

// Writes the files of one import, (NAME, text), into DIR as one set
// (common's writeFilesTogether): all of them or, on a failure, none, the
// folder as it was. DIR is made first when it does not exist.
common::Status writeImport(const std::string& dir, std::vector<std::pair<std::string, std::string>> files);

// Runs a program's body: 0 when it succeeds; for its failure prints
// "PROGRAM: " + the line on `err` and returns 1; for a common::UsageError
// prints "PROGRAM: " + the line, then the line pointing at --help, on `err`
// and returns 2.
int runProgram(const std::string& program, std::ostream& err,
               const std::function<common::Status()>& body);

// An importer's whole run: the request parsed from the command line's
// words (none after --help, which prints the usage on `out`), then imported.
template <class Request>
int runImport(const std::string& program, const std::vector<std::string>& words,
              std::optional<Request> (*parse)(const std::vector<std::string>&, std::ostream&),
              common::Status (*import)(const Request&, std::ostream&), std::ostream& out, std::ostream& err) {
    return runProgram(program, err, [&]() -> common::Status {
        const std::optional<Request> request = parse(words, out);
        return request ? import(*request, out) : common::Status{};
    });
}

}  // namespace importer
