#include "import/dos_import.h"

#include <algorithm>

#include "common/options.h"
#include "dos/core/dos_input.h"
#include "dos/core/starter_layout.h"
#include "import/dos_source.h"
#include "import/lobster.h"
#include "import/qe_pdos.h"
#include "import/vasp_doscar.h"

namespace importer {

namespace {

// Projections of one kind that fit in fort.1.
constexpr size_t kMaxPerKind = 5;

// The list given to `option`, at most five numbers; empty when not given.
std::vector<int> chosen(const common::CommandLine& cl, const std::string& option, const char* what) {
    if (!cl.has(option)) return {};
    std::vector<int> v = numberList(option, cl.value(option));
    if (v.size() > kMaxPerKind)
        throw common::UsageError(option + " names " + std::to_string(v.size()) + " " + what + "; at most " +
                                 std::to_string(kMaxPerKind) + " fit in fort.1");
    return v;
}

// The list chosen, or 1 ... min(5, available) when none was.
std::vector<int> firstOrChosen(const std::vector<int>& list, size_t available) {
    if (!list.empty()) return list;
    std::vector<int> v;
    for (size_t i = 1; i <= std::min(available, kMaxPerKind); ++i) v.push_back(static_cast<int>(i));
    return v;
}

void only(const common::CommandLine& cl, const std::string& source, std::initializer_list<const char*> allowed) {
    for (const auto& [option, value] : cl.values) {
        bool ok = false;
        for (const char* a : allowed) ok = ok || option == a;
        if (!ok) throw common::UsageError("option " + option + " does not apply to " + source);
    }
}

void parseQe(const common::CommandLine& cl, DosImportRequest& r) {
    only(cl, r.source, {"--scf", "--fermi", "--spin", "-o"});
    if (r.files.empty()) throw common::UsageError("qe needs the PREFIX.pdos_tot file");
    if (r.files.size() - 1 > kMaxPerKind)
        throw common::UsageError(std::to_string(r.files.size() - 1) + " projection files; at most " +
                                 std::to_string(kMaxPerKind) + " fit in fort.1: name the ones to import");
    r.fermi = givenFermi(cl);
    if (cl.has("--spin")) {
        const std::string s = cl.value("--spin");
        if (s != "up" && s != "down") throw common::UsageError("--spin takes up or down, not '" + s + "'");
        r.spin = s == "up" ? Spin::Up : Spin::Down;
    }
    r.scf = cl.value("--scf");
}

void parseVasp(const common::CommandLine& cl, DosImportRequest& r) {
    only(cl, r.source, {"--ions", "--fermi", "-o"});
    if (r.files.size() != 1) throw common::UsageError("vasp takes one DOSCAR");
    r.fermi = givenFermi(cl);
    r.ions = chosen(cl, "--ions", "ions");
}

void parseLobster(const common::CommandLine& cl, DosImportRequest& r) {
    only(cl, r.source, {"--doscar", "--interactions", "--ions", "-o"});
    if (r.files.size() != 1) throw common::UsageError("lobster takes one COOPCAR.lobster or COHPCAR.lobster");
    if (cl.has("--ions") && !cl.has("--doscar")) throw common::UsageError("--ions needs --doscar");
    r.interactions = chosen(cl, "--interactions", "interactions");
    r.ions = chosen(cl, "--ions", "atoms");
    r.doscar = cl.value("--doscar");
}

common::Result<DosSource> qeSource(const DosImportRequest& r) {
    std::optional<double> fermi = r.fermi;
    if (!r.scf.empty()) {
        auto level = fermiFromPwOutput(r.scf, r.spin);
        if (!level) return common::Failure{level.error()};
        fermi = *level;
    }
    return readQePdos(r.files[0], {r.files.begin() + 1, r.files.end()}, r.spin, fermi);
}

common::Result<DosSource> vaspDosSource(const DosImportRequest& r) {
    const auto d = readDoscar(r.files[0]);
    if (!d) return common::Failure{d.error()};
    return vaspSource(*d, firstOrChosen(r.ions, d->ion.size()), r.fermi);
}

common::Result<DosSource> lobsterDosSource(const DosImportRequest& r) {
    const auto c = readCoxxcar(r.files[0]);
    if (!c) return common::Failure{c.error()};
    const std::vector<int> interactions = firstOrChosen(r.interactions, c->labels.size());
    if (r.doscar.empty()) return lobsterSource(*c, interactions, nullptr, {});
    const auto d = readDoscar(r.doscar);
    if (!d) return common::Failure{d.error()};
    return lobsterSource(*c, interactions, &*d, firstOrChosen(r.ions, d->ion.size()));
}

}  // namespace

std::string dosImportUsage() {
    return "Usage: morvane-import qe PDOS_TOT [PROJECTION_FILE ...] [--scf SCF_OUTPUT | --fermi E]\n"
           "                         [--spin up|down] [-o DIR]\n"
           "       morvane-import vasp DOSCAR [--ions LIST] [--fermi E] [-o DIR]\n"
           "       morvane-import lobster COXXCAR [--doscar DOSCAR.lobster] [--interactions LIST]\n"
           "                         [--ions LIST] [-o DIR]\n"
           "Writes DIR/fort.1 (default: the current directory), the input of morvane.\n"
           "  qe       PREFIX.pdos_tot of projwfc.x and up to five PREFIX.pdos_atm#N(X)_wfc#M(l)\n"
           "           files as AO projections; the Fermi energy from the pw.x output of\n"
           "           --scf or given by --fermi (eV); --spin takes one channel of a\n"
           "           spin-polarised run (default: both summed) and, when the run fixed\n"
           "           its magnetisation, that channel's Fermi energy\n"
           "  vasp     DOSCAR: total DOS and its integral, the ions of --ions (default\n"
           "           1-5) as AO projections; energies relative to the file's E_F or --fermi\n"
           "  lobster  COOPCAR.lobster or COHPCAR.lobster (written as -COHP): the\n"
           "           interactions of --interactions (default 1-5) as COOP projections;\n"
           "           --doscar adds the total DOS and the atoms of --ions (default 1-5)\n"
           "LIST: numbers from 1, such as 1,3,5-7; at most five.\n";
}

std::optional<DosImportRequest> parseDosImport(const std::vector<std::string>& words, std::ostream& out) {
    const common::CommandLine cl = common::parseCommandLine(
        words, {{"--scf", "--fermi", "--spin", "--ions", "--doscar", "--interactions", "-o"}, {"--help"}});
    if (cl.has("--help")) {
        out << dosImportUsage();
        return std::nullopt;
    }
    DosImportRequest r;
    r.source = sourceNamed(cl, {"qe", "vasp", "lobster"});
    r.files.assign(cl.positional.begin() + 1, cl.positional.end());
    if (r.source == "qe") parseQe(cl, r);
    else if (r.source == "vasp") parseVasp(cl, r);
    else parseLobster(cl, r);
    r.outDir = cl.value("-o", ".");
    return r;
}

common::Status importDos(const DosImportRequest& r, std::ostream& out) {
    const auto src = r.source == "qe" ? qeSource(r) : r.source == "vasp" ? vaspDosSource(r) : lobsterDosSource(r);
    if (!src) return common::Failure{src.error()};
    const auto imported = assemble(*src);
    if (!imported) return common::Failure{imported.error()};
    // the starter layout: read back as the DOS program reads fort.1
    const auto input = dos::readDosInput(common::RecordFile::fromText("fort.1", imported->text));
    if (!input) return common::Failure{input.error()};
    const bool relative = src->fermi.has_value() || src->relative;
    const auto layout = dos::formatStarterLayout(
        *input, dos::StarterDos{relative ? std::optional<float>(0.0f) : std::nullopt, relative});
    if (!layout) return common::Failure{layout.error()};
    if (auto written = writeWhole(r.outDir, "fort.1", imported->text); !written) return written;
    if (auto written = writeWhole(r.outDir, "fort.7", *layout); !written) return written;
    const std::string dir = r.outDir == "." ? std::string() : r.outDir + "/";
    out << imported->summary << "written: " << dir << "fort.1 and the starter layout " << dir
        << "fort.7 ('morvane --output dos.pdf' draws it)\n";
    return {};
}

}  // namespace importer
