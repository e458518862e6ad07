// morvane-import: writes the DOS input fort.1 of morvane from the densities
// of states of Quantum ESPRESSO (projwfc.x), VASP (DOSCAR) or LOBSTER
// (COOPCAR/COHPCAR.lobster, DOSCAR.lobster).
#include <iostream>
#include <optional>

#include "import/import_tool.h"
#include "import/lobster.h"
#include "import/qe_pdos.h"
#include "import/text_table.h"
#include "import/vasp_doscar.h"

namespace {

const char* const kUsage =
    "Usage: morvane-import qe PDOS_TOT [PROJECTION_FILE ...] [--scf SCF_OUTPUT | --fermi E]\n"
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

constexpr size_t kMaxPerKind = 5;

std::vector<int> chosen(const common::CommandLine& cl, const std::string& option, const char* what) {
    if (!cl.has(option)) return {};
    std::vector<int> v = importer::numberList(option, cl.value(option));
    if (v.size() > kMaxPerKind)
        throw common::UsageError(option + " names " + std::to_string(v.size()) + " " + what + "; at most " +
                                 std::to_string(kMaxPerKind) + " fit in fort.1");
    return v;
}

// 1 ... min(5, available) unless the list option chose.
std::vector<int> firstOrChosen(const common::CommandLine& cl, const std::string& option, const char* what,
                               size_t available) {
    if (cl.has(option)) return chosen(cl, option, what);
    std::vector<int> v;
    for (size_t i = 1; i <= std::min(available, kMaxPerKind); ++i) v.push_back(static_cast<int>(i));
    return v;
}

void only(const common::CommandLine& cl, const std::string& sub, std::initializer_list<const char*> allowed) {
    for (const auto& [option, value] : cl.values) {
        bool ok = false;
        for (const char* a : allowed) ok = ok || option == a;
        if (!ok) throw common::UsageError("option " + option + " does not apply to " + sub);
    }
}

void run(const std::vector<std::string>& args) {
    common::OptionSpec spec;
    spec.valued = {"--scf", "--fermi", "--spin", "--ions", "--doscar", "--interactions", "-o"};
    spec.flags = {"--help"};
    const common::CommandLine cl = common::parseCommandLine(args, spec);
    if (cl.has("--help")) {
        std::cout << kUsage;
        return;
    }
    if (cl.positional.empty()) throw common::UsageError("no source named (qe, vasp or lobster)");
    const std::string sub = cl.positional[0];
    const std::vector<std::string> files(cl.positional.begin() + 1, cl.positional.end());
    importer::DosSource src;
    if (sub == "qe") {
        only(cl, sub, {"--scf", "--fermi", "--spin", "-o"});
        if (files.empty()) throw common::UsageError("qe needs the PREFIX.pdos_tot file");
        if (files.size() - 1 > kMaxPerKind)
            throw common::UsageError(std::to_string(files.size() - 1) + " projection files; at most " +
                                     std::to_string(kMaxPerKind) + " fit in fort.1: name the ones to import");
        if (cl.has("--scf") && cl.has("--fermi")) throw common::UsageError("give --scf or --fermi, not both");
        importer::Spin spin = importer::Spin::Both;
        if (cl.has("--spin")) {
            const std::string s = cl.value("--spin");
            if (s != "up" && s != "down") throw common::UsageError("--spin takes up or down, not '" + s + "'");
            spin = s == "up" ? importer::Spin::Up : importer::Spin::Down;
        }
        std::optional<double> fermi;
        if (cl.has("--fermi")) fermi = cl.real("--fermi");
        if (cl.has("--scf")) fermi = importer::fermiFromPwOutput(cl.value("--scf"), spin);
        src = importer::readQePdos(files[0], {files.begin() + 1, files.end()}, spin, fermi);
    } else if (sub == "vasp") {
        only(cl, sub, {"--ions", "--fermi", "-o"});
        if (files.size() != 1) throw common::UsageError("vasp takes one DOSCAR");
        std::optional<double> fermi;
        if (cl.has("--fermi")) fermi = cl.real("--fermi");
        chosen(cl, "--ions", "ions");
        const importer::Doscar d = importer::readDoscar(files[0]);
        src = importer::vaspSource(d, firstOrChosen(cl, "--ions", "ions", d.ion.size()), fermi);
    } else if (sub == "lobster") {
        only(cl, sub, {"--doscar", "--interactions", "--ions", "-o"});
        if (files.size() != 1) throw common::UsageError("lobster takes one COOPCAR.lobster or COHPCAR.lobster");
        if (cl.has("--ions") && !cl.has("--doscar")) throw common::UsageError("--ions needs --doscar");
        chosen(cl, "--interactions", "interactions");
        chosen(cl, "--ions", "atoms");
        const importer::Coxxcar c = importer::readCoxxcar(files[0]);
        std::optional<importer::Doscar> d;
        if (cl.has("--doscar")) d = importer::readDoscar(cl.value("--doscar"));
        src = importer::lobsterSource(c, firstOrChosen(cl, "--interactions", "interactions", c.labels.size()),
                                      d ? &*d : nullptr, d ? firstOrChosen(cl, "--ions", "atoms", d->ion.size())
                                                           : std::vector<int>{});
    } else {
        throw common::UsageError("unknown source '" + sub + "' (qe, vasp or lobster)");
    }
    const importer::Imported out = importer::assemble(src);
    const std::string dir = cl.value("-o", ".");
    importer::writeWhole(dir, "fort.1", out.text);
    std::cout << out.summary << "written: " << (dir == "." ? std::string("fort.1") : dir + "/fort.1") << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    return importer::runImport("morvane-import", kUsage, std::cerr,
                               [&]() { run(common::argumentWords(argc, argv)); });
}
