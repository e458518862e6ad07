#include "import/tools/dos_import.h"

#include <algorithm>
#include <filesystem>

#include "common/options.h"
#include "dos/core/dos_input.h"
#include "dos/core/limits.h"
#include "dos/core/starter_layout.h"
#include "import/pipeline/dos_assemble.h"
#include "import/text/text_table.h"
#include "import/tools/import_tool.h"
#include "import/formats/lobster.h"
#include "import/formats/qe_pdos.h"
#include "import/formats/doscar.h"
#include "import/formats/poscar.h"
#include "import/formats/pw_output.h"
#include "import/formats/vasprun.h"

namespace importer {

namespace {

// The list given to `option`, at most five numbers; empty when not given.
std::vector<int> chosen(const common::CommandLine& cl, const std::string& option, const char* what) {
    if (!cl.has(option)) return {};
    std::vector<int> v = numberList(option, cl.value(option));
    if (v.size() > static_cast<size_t>(dos::kMaxProjections))
        throw common::UsageError(option + " names " + std::to_string(v.size()) + " " + what + "; at most " +
                                 std::to_string(dos::kMaxProjections) + " fit in fort.1");
    return v;
}

// --spin: one channel, or both apart to be drawn mirrored.
Spin spinOf(const common::CommandLine& cl) {
    if (!cl.has("--spin")) return Spin::Both;
    const std::string s = cl.value("--spin");
    if (s == "up") return Spin::Up;
    if (s == "down") return Spin::Down;
    if (s == "mirror") return Spin::Mirror;
    throw common::UsageError("--spin takes up, down or mirror, not '" + shown(s) + "'");
}

SumBy sumOf(const common::CommandLine& cl) {
    if (!cl.has("--sum")) return SumBy::None;
    const auto by = sumNamed(cl.value("--sum"));
    if (!by) throw common::UsageError("--sum takes element, orbital or element,orbital, not '" + shown(cl.value("--sum")) + "'");
    return *by;
}

void parseQe(const common::CommandLine& cl, DosImportRequest& r) {
    if (r.files.empty()) throw common::UsageError("qe needs the PREFIX.pdos_tot file");
    if (cl.has("--sum") && r.files.size() < 2) throw common::UsageError("--sum needs the projection files");
    r.fermi = givenFermi(cl);
    r.spin = spinOf(cl);
    r.sum = sumOf(cl);
    r.scf = cl.value("--scf");
}

void parseVasp(const common::CommandLine& cl, DosImportRequest& r) {
    if (r.files.size() != 1) throw common::UsageError("vasp takes one DOSCAR or vasprun.xml");
    r.fermi = givenFermi(cl);
    r.spin = spinOf(cl);
    r.sum = sumOf(cl);
    r.ions = chosen(cl, "--ions", r.sum == SumBy::None ? "ions" : "sums");
    r.poscar = cl.value("--poscar");
}

void parseLobster(const common::CommandLine& cl, DosImportRequest& r) {
    if (r.files.size() != 1) throw common::UsageError("lobster takes one COOPCAR.lobster or COHPCAR.lobster");
    for (const char* o : {"--ions", "--spin", "--sum"})
        if (cl.has(o) && !cl.has("--doscar")) throw common::UsageError(std::string(o) + " needs --doscar");
    r.interactions = chosen(cl, "--interactions", cl.has("--orbitals") ? "orbital pairs" : "bonds");
    r.orbitals = cl.has("--orbitals");
    r.spin = spinOf(cl);
    r.sum = sumOf(cl);
    r.ions = chosen(cl, "--ions", "atoms");
    r.doscar = cl.value("--doscar");
}

common::Result<DosSource> qeSource(const DosImportRequest& r) {
    std::optional<double> fermi = r.fermi;
    std::string how;
    if (!r.scf.empty()) {
        auto level = referenceFromPwOutput(r.scf, r.spin);
        if (!level) return common::Failure{level.error()};
        fermi = level->energy;
        how = level->note;
    }
    auto src = readQePdos(r.files[0], {r.files.begin() + 1, r.files.end()},
                          Choice{r.sum, {}, r.spin, "projection file", ""}, fermi);
    if (src && !how.empty()) src->notes.push_back(how);
    return src;
}

// The element of each ion, for a sum by element: from --poscar, else from
// the POSCAR beside the DOSCAR.
common::Result<std::vector<std::string>> vaspElements(const DosImportRequest& r, int ions) {
    std::string poscar = r.poscar;
    if (poscar.empty()) {
        const auto beside = std::filesystem::path(r.files[0]).parent_path() / "POSCAR";
        if (!std::filesystem::exists(beside))
            return common::Failure{r.files[0] + ": a DOSCAR names no elements; give the run's POSCAR with --poscar"};
        poscar = beside.string();
    }
    return poscarElements(poscar, ions);
}

// The DOS of a vasprun.xml, its ions named by its own <atominfo> (or by
// --poscar).
common::Result<DosSource> vasprunDosSource(const DosImportRequest& r) {
    const auto run = readVasprun(r.files[0]);
    if (!run) return run.failure();
    if (!run->dos) return common::Failure{r.files[0] + ": <dos> missing in its last <calculation>"};
    std::vector<std::string> elements = run->elements;
    if (!r.poscar.empty()) {
        auto e = poscarElements(r.poscar, run->dos->ions);
        if (!e) return common::Failure{e.error()};
        elements = std::move(*e);
    }
    if (elements.size() != run->dos->ion.size()) elements.clear();
    auto src = vaspSource(*run->dos, Choice{r.sum, r.ions, r.spin, "ion", "--ions"}, r.fermi, elements);
    if (src) src->source = "VASP vasprun.xml, " + r.files[0];
    return src;
}

common::Result<DosSource> vaspDosSource(const DosImportRequest& r) {
    if (isVasprun(r.files[0])) return vasprunDosSource(r);
    const auto d = readDoscar(r.files[0]);
    if (!d) return d.failure();
    std::vector<std::string> elements;
    if (r.sum == SumBy::Element || r.sum == SumBy::ElementOrbital || !r.poscar.empty()) {
        auto e = vaspElements(r, d->ions);
        if (!e) return common::Failure{e.error()};
        elements = std::move(*e);
    }
    return vaspSource(*d, Choice{r.sum, r.ions, r.spin, "ion", "--ions"}, r.fermi, elements);
}

common::Result<DosSource> lobsterDosSource(const DosImportRequest& r) {
    const Choice atoms{r.sum, r.ions, r.spin, "atom", "--ions"};
    return readCoxxcar(r.files[0]).and_then([&](const Coxxcar& c) {
        if (r.doscar.empty()) return lobsterSource(c, r.interactions, r.orbitals, nullptr, atoms);
        return readDoscar(r.doscar).and_then(
            [&](const Doscar& d) { return lobsterSource(c, r.interactions, r.orbitals, &d, atoms); });
    });
}

}  // namespace

std::string dosImportUsage() {
    return "Usage: morvane-import qe PDOS_TOT [PROJECTION_FILE ...] [--scf SCF_OUTPUT | --fermi E]\n"
           "                         [--spin up|down|mirror] [--sum element|orbital] [-o DIR]\n"
           "       morvane-import vasp DOSCAR|vasprun.xml [--ions LIST] [--fermi E] [--spin up|down|mirror]\n"
           "                         [--sum element|orbital [--poscar POSCAR]] [-o DIR]\n"
           "       morvane-import lobster COXXCAR [--interactions LIST] [--orbitals]\n"
           "                         [--doscar DOSCAR.lobster [--ions LIST] [--spin up|down|mirror]\n"
           "                         [--sum element|orbital]] [-o DIR]\n"
           "Writes DIR/fort.1 (default: the current directory), the input of morvane.\n"
           "  qe       PREFIX.pdos_tot of projwfc.x and PREFIX.pdos_atm#N(X)_wfc#M(l)\n"
           "           files as AO projections (the first five, or all of them added up\n"
           "           by --sum); the Fermi energy from the pw.x output of --scf (the top\n"
           "           of the valence band when it prints no Fermi level) or given by\n"
           "           --fermi (eV)\n"
           "  vasp     DOSCAR: total DOS and its integral, the ions of --ions (default\n"
           "           1-5) as AO projections; energies relative to the file's E_F or\n"
           "           --fermi; --sum element reads the elements from --poscar or the\n"
           "           POSCAR beside the DOSCAR; a vasprun.xml gives all of this,\n"
           "           the elements included, in one file\n"
           "  lobster  COOPCAR.lobster or COHPCAR.lobster (written as -COHP): the bonds\n"
           "           of --interactions (default 1-5) as COOP projections, or with\n"
           "           --orbitals the orbital pairs of an orbital-wise file; --doscar adds\n"
           "           the total DOS and the atoms of --ions (default 1-5)\n"
           "--spin takes one channel of a spin-polarised run (default: both summed),\n"
           "or with mirror both: up to the right, down as negative values to the left.\n"
           "--sum adds up the projections by element, by orbital (s, p, d, f over all\n"
           "atoms) or by element,orbital.\n"
           "LIST: numbers from 1, such as 1,3,5-7; at most five.\n"
           "--title TEXT puts a title above the picture (at most 80 characters, with\n"
           "the text markup).\n";
}

namespace {

// A source's reading of its own options, and of its files.
struct DosReader {
    void (*parse)(const common::CommandLine&, DosImportRequest&);
    common::Result<DosSource> (*read)(const DosImportRequest&);
};
using DosSourceRow = SourceRow<DosReader>;

// The options only some sources serve.
const std::vector<SourceOption> kDosOptions = {
    {"--scf", "reads a pw.x output"},
    {"--fermi", "gives the Fermi level of a run"},
    {"--ions", "picks ions of a DOSCAR"},
    {"--poscar", "reads a VASP file"},
    {"--doscar", "reads a DOSCAR.lobster"},
    {"--interactions", "picks bonds of a LOBSTER file"},
    {"--orbitals", "picks orbital pairs of a LOBSTER file"},
};

// The sources of densities of states.
const std::vector<DosSourceRow>& dosSources() {
    static const std::vector<DosSourceRow> table = {
        {"qe", "projwfc.x PREFIX.pdos_tot and PREFIX.pdos_atm#N(EL)_wfc#M(L) files", {"--scf", "--fermi"},
         "total DOS, projections on atomic wave functions named by atom, element and orbital; the Fermi level (--scf)",
         {parseQe, qeSource}},
        {"vasp", "DOSCAR, POSCAR or CONTCAR beside it; or vasprun.xml", {"--ions", "--fermi", "--poscar"},
         "total DOS with its integral and the Fermi level, projections on ions and their orbitals (LORBIT), elements (POSCAR)",
         {parseVasp, vaspDosSource}},
        {"lobster", "COOPCAR.lobster or COHPCAR.lobster, DOSCAR.lobster", {"--ions", "--doscar", "--interactions", "--orbitals"},
         "bond populations (COOP, -COHP) by bond or orbital pair, energies relative to the Fermi level; total DOS and atoms (DOSCAR.lobster)",
         {parseLobster, lobsterDosSource}},
    };
    return table;
}

}  // namespace

std::optional<DosImportRequest> parseDosImport(const std::vector<std::string>& words, std::ostream& out) {
    const common::CommandLine cl = common::parseCommandLine(
        words, {{"--scf", "--fermi", "--spin", "--sum", "--ions", "--doscar", "--interactions", "--poscar", "-o", "--title"},
                {"--help", "--orbitals"}});
    if (cl.has("--help")) {
        out << dosImportUsage();
        return std::nullopt;
    }
    DosImportRequest r;
    const DosSourceRow& source = sourceRow(cl, dosSources(), kDosOptions);
    r.source = source.name;
    r.files.assign(cl.positional.begin() + 1, cl.positional.end());
    source.read.parse(cl, r);
    r.title = givenTitle(cl);
    r.outDir = cl.value("-o", ".");
    return r;
}

common::Status importDos(const DosImportRequest& r, std::ostream& out) {
    const DosSourceRow& source = *std::find_if(dosSources().begin(), dosSources().end(),
                                               [&](const DosSourceRow& row) { return r.source == row.name; });
    const auto src = source.read.read(r);
    if (!src) return src.failure();
    const auto imported = assemble(*src);
    if (!imported) return imported.failure();
    // the starter layout: read back as the DOS program reads fort.1
    const bool relative = src->fermi.has_value() || src->relative;
    const dos::StarterDos starter{relative ? std::optional<float>(0.0f) : std::nullopt, relative, src->mirrored,
                                  src->fermi ? std::optional<float>(static_cast<float>(*src->fermi)) : std::nullopt,
                                  r.title};
    const auto layout = dos::readDosInput(common::RecordFile::fromText("fort.1", imported->text))
                            .and_then([&](const dos::DosInput& input) { return dos::formatStarterLayout(input, starter); });
    if (!layout) return layout.failure();
    if (auto written = writeImport(r.outDir, {{"fort.1", imported->text}, {"fort.7", *layout}}); !written)
        return written;
    const std::string dir = r.outDir == "." ? std::string() : r.outDir + "/";
    out << imported->summary << "written: " << dir << "fort.1 and the starter layout " << dir
        << "fort.7 ('morvane --output dos.pdf' draws it)\n";
    return {};
}

}  // namespace importer
