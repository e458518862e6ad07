// What the converters from electronic-structure codes share: the Fermi
// energy of a pw.x run, lists of numbers on the command line, files written
// whole, and the frame of a program that never prompts (status 0, 1 for bad
// input, 2 for bad usage).
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/error.h"    // common::Result, common::Status, common::Failure (status 1)
#include "common/options.h"  // common::UsageError (status 2), common::argumentWords

namespace importer {

// The spin channels of a spin-polarised run: both summed, one of them, or
// both apart (the DOS drawn mirrored: up to the right, down to the left).
enum class Spin { Both, Up, Down, Mirror };

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

// A list of numbers from 1 such as "1,3,5-7" given to `option`, in the
// order given. A number named twice is refused, as is anything that is no
// such list: common::UsageError naming the option.
std::vector<int> numberList(const std::string& option, const std::string& text);

// The source named first on the command line, one of `known` ("qe", ...);
// common::UsageError when none is named or it is unknown.
std::string sourceNamed(const common::CommandLine& cl, const std::vector<std::string>& known);

// The Fermi energy given by --fermi, none without it; common::UsageError
// when --scf gives it too.
std::optional<double> givenFermi(const common::CommandLine& cl);

// Writes DIR/NAME whole (common's writeFileAtomic), making DIR first when it
// does not exist.
common::Status writeWhole(const std::string& dir, const std::string& name, const std::string& text);

// Runs a program's body: 0 when it succeeds; for its failure prints
// "PROGRAM: " + the line on `err` and returns 1; for a common::UsageError
// prints "PROGRAM: " + the line, then the usage, on `err` and returns 2.
int runProgram(const std::string& program, const std::string& usage, std::ostream& err,
               const std::function<common::Status()>& body);

// An importer's whole run: the request parsed from the command line's
// words (none after --help, which prints the usage on `out`), then imported.
template <class Request>
int runImport(const std::string& program, const std::string& usage, const std::vector<std::string>& words,
              std::optional<Request> (*parse)(const std::vector<std::string>&, std::ostream&),
              common::Status (*import)(const Request&, std::ostream&), std::ostream& out, std::ostream& err) {
    return runProgram(program, usage, err, [&]() -> common::Status {
        const std::optional<Request> request = parse(words, out);
        return request ? import(*request, out) : common::Status{};
    });
}

}  // namespace importer
