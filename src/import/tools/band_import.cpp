#include "import/tools/band_import.h"

#include <algorithm>
#include <sstream>
#include <cmath>
#include <filesystem>
#include <type_traits>

#include "band/core/interpolation.h"
#include "band/core/state.h"
#include "common/fortran_format.h"
#include "common/report.h"
#include "import/pipeline/band_path.h"
#include "import/pipeline/band_character.h"
#include "import/pipeline/band_picture.h"
#include "import/pipeline/band_setup.h"
#include "import/tools/import_tool.h"
#include "import/formats/procar.h"
#include "import/formats/qe_bands.h"
#include "import/formats/qe_projwfc.h"
#include "import/text/text_table.h"
#include "import/formats/eigenval.h"
#include "import/formats/outcar.h"
#include "import/formats/poscar.h"
#include "import/formats/pw_output.h"
#include "import/formats/doscar.h"
#include "import/formats/vasprun.h"
#include "import/formats/w90_band.h"
#include "import/formats/w90_geninterp.h"

namespace importer {

namespace fortran = common::fortran;

std::string bandImportUsage() {
    return "Usage: tarlisen-import qe BANDS_FILE [--down BANDS_FILE] [--scf SCF_OUTPUT [--spin up|down] | --fermi E]\n"
           "                 [--projections PROJWFC_OUTPUT [--sum GROUPS]] [OPTIONS]\n"
           "       tarlisen-import vasp EIGENVAL|vasprun.xml [--kpoints KPOINTS] [--poscar POSCAR]\n"
           "                 [--doscar DOSCAR | --outcar OUTCAR | --fermi E] [--spin up|down]\n"
           "                 [--projections PROCAR] [--sum GROUPS] [OPTIONS]\n"
           "       tarlisen-import w90 SEEDNAME_band.dat|SEEDNAME_geninterp.dat [--down FILE] [--fermi E] [OPTIONS]\n"
           "       tarlisen-import --help\n"
           "Writes into DIR everything the band program needs to draw at once: its input\n"
           "fort.1 and fort.14, the set-up fort.3 (bands joined through their crossings,\n"
           "k points in the direction of the path), the interpolated bands fort.2 (fitted\n"
           "through energies and slopes) and a starter layout fort.15; then\n"
           "'tarlisen --output bands.pdf' in DIR draws the picture. Sources:\n"
           "  qe   Quantum ESPRESSO bands.x output (filband) and, when bands.x ran with\n"
           "       lsym=.true., BANDS_FILE.rap beside it (representations)\n"
           "  vasp VASP EIGENVAL of a line-mode run; KPOINTS names the points, POSCAR\n"
           "       (or OUTCAR) gives the lattice for distances in k, else the first of\n"
           "       POSCAR, CONTCAR, OUTCAR and vasprun.xml beside the EIGENVAL; both spin\n"
           "       channels of an ISPIN = 2 run in one picture unless --spin picks one.\n"
           "       Or the run's vasprun.xml alone: levels, lattice, Fermi energy and, of a\n"
           "       run with LORBIT, the orbital character; the KPOINTS beside it (or\n"
           "       --kpoints) names the points\n"
           "  w90  Wannier90's band plot SEEDNAME_band.dat (bands_plot = true), with\n"
           "       SEEDNAME_band.kpt, SEEDNAME_band.labelinfo.dat (the names of the points)\n"
           "       and SEEDNAME.wout (the lattice) beside it; or postw90 output with\n"
           "       geninterp = true and geninterp_alsofirstder = true; the Fermi energy from\n"
           "       fermi_energy of SEEDNAME.win (or SEEDNAME.wout) unless --fermi gives it\n"
           "Options:\n"
           "  --down FILE   the bands.x (qe) or Wannier90 (w90) file of the spin-down channel\n"
           "                (the file given first is spin up):\n"
           "                both channels in one picture\n"
           "  --scf FILE    take the Fermi energy from this pw.x output\n"
           "  --spin up|down  the Fermi energy of one spin channel (a pw.x run that\n"
           "                prints one per channel); VASP: the bands of one channel\n"
           "  --kpoints FILE  the line-mode KPOINTS of a VASP run: the names of the points\n"
           "  --poscar FILE   the POSCAR of a VASP run: the lattice\n"
           "  --doscar FILE   the DOSCAR of a VASP run: the Fermi energy\n"
           "  --outcar FILE   the OUTCAR of a VASP run: the Fermi energy, and the lattice\n"
           "                without --poscar\n"
           "  --projections FILE  the orbital character of the bands, written to fort.16 and\n"
           "                shown in the starter layout: qe, the standard output of projwfc.x\n"
           "                run after the bands run; vasp, the PROCAR of the run (LORBIT 10 or\n"
           "                11), its ions named by --poscar (a vasprun.xml gives its own\n"
           "                projections, its ions named by the file)\n"
           "  --sum element|orbital|element,orbital  the groups of the character (at\n"
           "                most 6 kept; default: by element when there are several)\n"
           "  --fermi E     the Fermi energy in eV\n"
           "                (energies are written relative to it; absolute without either)\n"
           "  --lines LIST  keep only these symmetry lines of the path: a-b, or a list 1,3,5;\n"
           "                they are labelled 1, 2, ... in path order (at most 10 lines)\n"
           "  --labels LIST the points at the ends of the lines, in path order, one more\n"
           "                than there are lines: G,X,W,K,G,L; G or Gamma (any Greek name)\n"
           "                is drawn as the Greek letter, K|U marks a jump of the path\n"
           "                (default: the standard points of cubic, hexagonal and tetragonal\n"
           "                lattices when the k points are such, numbers otherwise)\n"
           "  --window EMIN,EMAX  the energy window of the picture in eV (default: 6 eV\n"
           "                below the Fermi level, or from just below a higher lowest\n"
           "                band, to 4 eV above it)\n"
           "  --title TEXT  the picture's title, above the frame (at most 80 characters,\n"
           "                with the text markup)\n"
           "  -o DIR        write the files into DIR (default: the current directory)\n"
           "  --help        show this text\n";
}

namespace {

// The path a source reads, with the lines that say how for the summary.
struct BandRead {
    DensePath path;
    std::string provenance;
    std::optional<double> fermi;  // the Fermi energy the run's own files give
    std::string fermiFrom;        // the file that gives it
};

using BandSource = SourceRow<common::Result<BandRead> (*)(const BandImportRequest&)>;

// The path of one bands.x file, with the representations of its .rap when
// that is beside it, and the line that says which.
common::Result<BandRead> qeFilePath(const std::string& input) {
    auto bands = readQeBands(input);
    if (!bands) return bands.failure();
    BandRead read;
    DensePath& path = read.path;
    std::string& note = read.provenance;
    path.units = KUnits::twoPiOverAlat;
    for (size_t i = 0; i < bands->k.size(); ++i) {
        PathPoint& point = path.points.emplace_back();
        point.k = bands->k[i];
        point.line = bands->line[i];
        for (double e : bands->e[i]) {
            Level& level = point.levels.emplace_back();
            level.energy = e;
            level.number = static_cast<int>(point.levels.size());
        }
    }
    const std::string rapName = input + ".rap";
    if (std::filesystem::exists(rapName)) {
        auto rap = readQeRap(rapName);
        if (!rap) return rap.failure();
        if (auto s = checkRapMatches(*bands, *rap, rapName); !s) return s.failure();
        for (size_t i = 0; i < path.points.size(); ++i) {
            PathPoint& point = path.points[i];
            point.high = rap->high[i];
            for (size_t l = 0; l < point.levels.size(); ++l) {
                point.levels[l].irrep = rap->rap[i][l];
                if (point.levels[l].irrep > band::kMostCode)
                    return common::Failure{rapName + ": k point " + std::to_string(i + 1) + ", band " +
                                           std::to_string(l + 1) + ": representation " +
                                           std::to_string(point.levels[l].irrep) + " does not fit I3 of fort.1"};
            }
        }
        note += "Bands joined by representation inside the lines (" + rapName + ").\n";
    } else {
        note += "No " + rapName + " (bands.x with lsym=.true. writes it): bands joined by value and slope,\n"
                "lines split where the path turns or jumps.\n";
    }
    return read;
}

// The spin-down levels of `down` after the spin-up levels of `up` at every
// point, marked as the second channel; representations only when both have
// them (`irreps`).
common::Status addDownChannel(DensePath& up, const DensePath& down, const std::string& downName, bool irreps) {
    if (down.points.size() != up.points.size())
        return common::Failure{downName + ": " + std::to_string(down.points.size()) + " k points, the spin-up file has " +
                               std::to_string(up.points.size())};
    for (size_t i = 0; i < up.points.size(); ++i) {
        std::vector<Level>& levels = up.points[i].levels;
        const PathPoint& other = down.points[i];
        for (size_t j = 0; j < 3; ++j)
            if (std::fabs(other.k[j] - up.points[i].k[j]) > 1e-5)
                return common::Failure{downName + ": k point " + std::to_string(i + 1) + " differs from the spin-up file's"};
        if (other.levels.size() != levels.size())
            return common::Failure{downName + ": " + std::to_string(other.levels.size()) +
                                   " bands, the spin-up file has " + std::to_string(levels.size())};
        levels.insert(levels.end(), other.levels.begin(), other.levels.end());
        for (size_t l = 0; l < levels.size(); ++l) {
            levels[l].channel = l < other.levels.size() ? 0 : 1;
            if (!irreps) levels[l].irrep = 0;
        }
    }
    return {};
}

// The groups --sum asks for; none: the default of groupLevels.
std::optional<SumBy> sumOf(const BandImportRequest& r) {
    return r.sum.empty() ? std::nullopt : sumNamed(r.sum);
}

// The character of the levels of `read` in the groups of `p`: path point i
// is point index[i] of each channel, at bandK[i].
common::Status putCharacter(BandRead& read, const BandImportRequest& r, const LevelProjections& p,
                            const std::vector<size_t>& index, const std::vector<KVector>& bandK) {
    auto groups = groupLevels(p, sumOf(r));
    if (!groups) return groups.failure();
    if (auto s = attachGroups(read.path, p, *groups, index, bandK, r.input); !s) return s;
    for (const std::string& note : groups->notes) read.provenance += note + "\n";
    return {};
}

// The projwfc.x output of the band run on the bands.x file's points: a
// spin-polarised run lists them twice, spin up first.
common::Status qeCharacter(const BandImportRequest& r, BandRead& read) {
    auto p = readQeProjections(r.projections);
    if (!p) return p.failure();
    const size_t n = read.path.points.size();
    if (p->points.size() == 2 * n) p->channels = 2;
    if (p->points.size() != n * static_cast<size_t>(p->channels))
        return common::Failure{r.projections + ": " + std::to_string(p->points.size()) + " k points, " + r.input +
                               " has " + std::to_string(n) + " (" + std::to_string(2 * n) +
                               " for a spin-polarised run)"};
    std::vector<size_t> index(n);
    std::vector<KVector> bandK(n);
    for (size_t i = 0; i < n; ++i) {
        index[i] = i;
        bandK[i] = read.path.points[i].k;
    }
    return putCharacter(read, r, *p, index, bandK);
}

// The file of the request read by `readFile`, with the file of --down read
// the same way as its spin-down channel (joined by representation when
// `irreps`; its own provenance lines added when `downNotes`).
common::Result<BandRead> withDownChannel(const BandImportRequest& r, common::Result<BandRead> (*readFile)(const std::string&),
                                         bool irreps, bool downNotes) {
    auto read = readFile(r.input);
    if (!read || r.down.empty()) return read;
    auto down = readFile(r.down);
    if (!down) return down;
    if (auto s = addDownChannel(read->path, down->path, r.down, irreps); !s) return s.failure();
    read->provenance += (downNotes ? down->provenance : std::string()) + "Both spin channels (" + r.input + " up, " +
                        r.down + " down): every band joined within its own channel.\n";
    return read;
}

// The path of a bands.x run, joined by representation when its .rap is
// beside it, with the spin-down file of --down as the second channel.
common::Result<BandRead> qePath(const BandImportRequest& r) {
    const bool irreps = std::filesystem::exists(r.input + ".rap") && std::filesystem::exists(r.down + ".rap");
    auto read = withDownChannel(r, qeFilePath, irreps, true);
    if (!read) return read;
    read->provenance += "k points in 2 pi/alat (Cartesian); gradients dE/dk in eV per that unit, from the dense path.\n";
    if (!r.projections.empty())
        if (auto s = qeCharacter(r, *read); !s) return s.failure();
    sortLevels(read->path);
    return read;
}

// What `read` makes of the file an option names; nothing when it names none.
template <class Read>
auto ifNamed(const std::string& file, Read read) {
    using T = std::remove_cvref_t<decltype(*read(file))>;
    using R = common::Result<std::optional<T>>;
    if (file.empty()) return R(std::optional<T>{});
    return read(file).transform([](T value) { return std::optional<T>{std::move(value)}; });
}

Spin spinOf(const BandImportRequest& r) { return r.spin == "up" ? Spin::Up : r.spin == "down" ? Spin::Down : Spin::Both; }

// The projections of the levels of `run` (a channel after the other, as
// the run lists its k points) on the path of `read`, the channel of --spin
// kept.
common::Status runCharacter(const BandImportRequest& r, const Eigenval& run, LevelProjections p, BandRead& read) {
    const size_t n = p.perChannel();
    if (r.spin == "up" || r.spin == "down") {  // the one channel the path holds
        const auto first = p.points.begin() + (r.spin == "up" ? static_cast<std::ptrdiff_t>(n) : 0);
        p.points.erase(first, first + static_cast<std::ptrdiff_t>(n));
        p.channels = 1;
    }
    std::vector<size_t> index;
    std::vector<KVector> bandK;
    for (const PathPoint& point : read.path.points) {
        const size_t i = static_cast<size_t>(std::find(run.line.begin(), run.line.end(), point.line) - run.line.begin());
        index.push_back(i);
        bandK.push_back(run.k[i]);
    }
    return putCharacter(read, r, p, index, bandK);
}

// The PROCAR of the run of `run` on the path of `read`: its ions named by
// the elements of --poscar, else by `elements` (a vasprun.xml's).
common::Status vaspCharacter(const BandImportRequest& r, const Eigenval& run, BandRead& read,
                             const std::vector<std::string>& elements = {}) {
    auto p = readProcar(r.projections);
    if (!p) return p.failure();
    if (p->channels != run.spins)
        return common::Failure{r.projections + ": " + (p->channels == 1 ? "one spin channel, " : "two spin channels, ") +
                               r.input + " has " + std::to_string(run.spins) + " (a PROCAR of another run?)"};
    const size_t n = p->perChannel();
    if (n != run.k.size())
        return common::Failure{r.projections + ": " + std::to_string(n) + " k points, " + r.input + " has " +
                               std::to_string(run.k.size()) + " (a PROCAR of another run?)"};
    const int ions = p->states.empty() ? 0 : p->states.back().atom;
    const bool named = !r.poscar.empty() || (!elements.empty() && elements.size() == static_cast<size_t>(ions));
    if (!named && !r.sum.empty() && r.sum != "orbital")
        return common::Failure{r.projections + " names no elements: --sum " + r.sum + " needs --poscar"};
    if (named) {
        auto names = !r.poscar.empty() ? poscarElements(r.poscar, ions) : common::Result<std::vector<std::string>>(elements);
        if (!names) return names.failure();
        for (AtomicState& s : p->states) s.element = (*names)[static_cast<size_t>(s.atom - 1)];
    }
    return runCharacter(r, run, std::move(*p), read);
}

// The reciprocal lattice of the files beside a VASP run's EIGENVAL, the
// first there of POSCAR, CONTCAR, OUTCAR and vasprun.xml, with the file's
// name; nothing when none is there.
common::Result<std::optional<std::pair<Lattice, std::string>>> latticeBeside(const std::string& input) {
    using Found = std::optional<std::pair<Lattice, std::string>>;
    const std::filesystem::path dir = std::filesystem::path(input).parent_path();
    auto named = [](const std::string& file) { return [file](const Lattice& b) { return Found{{b, file}}; }; };
    for (const char* name : {"POSCAR", "CONTCAR", "OUTCAR", "vasprun.xml"}) {
        const std::string file = (dir / name).string();
        if (!std::filesystem::is_regular_file(file)) continue;
        const std::string kind = name;
        if (kind == "OUTCAR") return readOutcarReciprocal(file).transform(named(file));
        if (kind == "vasprun.xml")
            return readVasprun(file).and_then([&](const Vasprun& v) -> common::Result<Found> {
                if (!v.reciprocal) return common::Failure{file + ": <structure> has no <varray name=\"rec_basis\">"};
                return named(file)(*v.reciprocal);
            });
        return readPoscar(file).and_then([](const Poscar& p) { return p.reciprocal; }).transform(named(file));
    }
    return Found{};
}

// The summary's lines on the spin channels and the k units of a VASP path.
std::string vaspNote(const BandImportRequest& r, const DensePath& path, int spins, const std::string& latticeFrom) {
    std::string note;
    if (spins == 2)
        note = r.spin.empty() ? "Both spin channels: bands 1 ... " + std::to_string(path.nbands()) +
                                    " at each k point hold the " + std::to_string(path.nbands() / 2) +
                                    " levels of each, every band joined within its own channel.\n"
                              : "The spin " + r.spin + " channel of the run.\n";
    note += "Bands joined by value and slope (VASP gives no representations).\n";
    note += !latticeFrom.empty() ? "k points in 1/Angstrom (Cartesian, lattice of " + latticeFrom +
                                       "); gradients dE/dk in eV Angstrom, from the dense path.\n"
                                 : "No lattice (no POSCAR, CONTCAR, OUTCAR or vasprun.xml beside " + r.input +
                                       "): lines of equal length; gradients dE/dk per fraction of the\n"
                                       "reciprocal lattice vectors, from the dense path.\n";
    return note;
}

// The path of a VASP run given as its vasprun.xml: its levels, lattice and
// Fermi energy; the points named by the KPOINTS of --kpoints or beside it,
// else cut into the segments of its line-mode generation block; the
// orbital character of its <projected> block unless --projections names a
// PROCAR.
common::Result<BandRead> vasprunBandPath(const BandImportRequest& r) {
    auto run = readVasprun(r.input, r.projections.empty());
    if (!run) return run.failure();
    if (!run->levels) return common::Failure{r.input + ": <eigenvalues> missing in its last <calculation>"};
    if (r.kpoints.empty() && !run->mesh.empty())
        return at(r.input, run->meshLine, run->mesh + ": a mesh, not a path (the band import needs a line-mode run)");
    std::string kpointsFile = r.kpoints;
    if (const auto beside = std::filesystem::path(r.input).parent_path() / "KPOINTS";
        kpointsFile.empty() && std::filesystem::is_regular_file(beside))
        kpointsFile = beside.string();
    auto kpoints = ifNamed(kpointsFile, readKpoints);
    if (!kpoints) return kpoints.failure();
    if (!*kpoints) *kpoints = run->segments;
    auto poscarLattice = [](const std::string& f) { return readPoscar(f).and_then([](const Poscar& p) { return p.reciprocal; }); };
    auto lattice = ifNamed(r.poscar, poscarLattice);
    if (!lattice) return lattice.failure();
    if (!*lattice) *lattice = run->reciprocal;
    auto path = vaspPath(r.input, *run->levels, *kpoints, *lattice, spinOf(r));
    if (!path) return path.failure();
    std::string note = "Levels of the last <calculation> of " + r.input + "; points named by " +
                       (!kpointsFile.empty() ? kpointsFile : "the lattice (none given)") + ".\n";
    note += vaspNote(r, *path, run->levels->spins, !*lattice ? "" : r.poscar.empty() ? r.input : r.poscar);
    BandRead read{std::move(*path), note, run->fermi, r.input};
    if (!r.projections.empty()) {
        if (auto s = vaspCharacter(r, *run->levels, read, run->elements); !s) return s.failure();
    } else if (run->projections) {
        if (auto s = runCharacter(r, *run->levels, std::move(*run->projections), read); !s) return s.failure();
    } else if (!r.sum.empty()) {
        return common::Failure{r.input + ": no <projected> block (a run with LORBIT writes one): --sum has nothing to group"};
    }
    return read;
}

// The path of a VASP run: in Cartesian k with the lattice of --poscar or
// --outcar, else of the files beside the EIGENVAL, named by --kpoints.
common::Result<BandRead> vaspBandPath(const BandImportRequest& r) {
    if (isVasprun(r.input)) return vasprunBandPath(r);
    const auto run = readEigenval(r.input);
    if (!run) return run.failure();
    const auto kpoints = ifNamed(r.kpoints, readKpoints);
    if (!kpoints) return kpoints.failure();
    std::string latticeFrom = !r.poscar.empty() ? r.poscar : r.outcar;
    auto poscarLattice = [](const std::string& f) { return readPoscar(f).and_then([](const Poscar& p) { return p.reciprocal; }); };
    auto latticeRead = !r.poscar.empty() ? ifNamed(r.poscar, poscarLattice) : ifNamed(r.outcar, readOutcarReciprocal);
    if (!latticeRead) return latticeRead.failure();
    if (latticeFrom.empty()) {
        const auto beside = latticeBeside(r.input);
        if (!beside) return beside.failure();
        if (*beside) {
            *latticeRead = (*beside)->first;
            latticeFrom = (*beside)->second;
        }
    }
    const std::optional<Lattice>& lattice = *latticeRead;
    auto path = vaspPath(r.input, *run, *kpoints, lattice, spinOf(r));
    if (!path) return path.failure();
    BandRead read{std::move(*path), vaspNote(r, *path, run->spins, lattice ? latticeFrom : ""), {}, {}};
    if (!r.projections.empty())
        if (auto s = vaspCharacter(r, *run, read); !s) return s.failure();
    return read;
}

// The path of Wannier90's band plot, with the files read beside it.
common::Result<BandRead> w90BandPath(const std::string& input) {
    auto read = readW90Band(input);
    if (!read) return read.failure();
    std::string note = "Wannier90 band plot (" + input + ", " + read->beside + "): bands joined by value and slope.\n";
    note += read->labelled ? "" : "No _band.labelinfo.dat beside it: lines split where the path turns or jumps.\n";
    note += read->path.units == KUnits::inverseAngstrom ? "k points in 1/Angstrom (Cartesian); gradients dE/dk in eV Angstrom, from the dense path.\n"
                      : "k points as fractions of the reciprocal lattice vectors (no .wout beside it: line lengths\n"
                        "in those units); gradients dE/dk per that unit, from the dense path.\n";
    return BandRead{std::move(read->path), note, {}, {}};
}

// Wannier90's band plot or its generic interpolation, as the file's name says.
common::Result<BandRead> w90FilePath(const std::string& input) {
    if (isW90BandFile(input)) return w90BandPath(input);
    return readGeninterp(input).transform([](DensePath path) {
        return BandRead{std::move(path), "k points in 1/Angstrom (Cartesian); gradients dE/dk in eV Angstrom, as interpolated.\n", {}, {}};
    });
}

// The seed name of a Wannier90 file: its path without "_band.dat" or "_geninterp.dat".
std::string w90Seed(const std::string& input) {
    for (const std::string suffix : {"_band.dat", "_geninterp.dat"})
        if (input.size() > suffix.size() && input.compare(input.size() - suffix.size(), suffix.size(), suffix) == 0)
            return input.substr(0, input.size() - suffix.size());
    return input;
}

// A Wannier90 run: the file given, with the spin-down run of --down as the
// second channel, and the Fermi energy of the seed's .win or .wout.
common::Result<BandRead> w90Path(const BandImportRequest& r) {
    auto read = withDownChannel(r, w90FilePath, false, false);
    if (!read) return read;
    if (!r.down.empty()) sortLevels(read->path);
    if (r.fermi) return read;  // --fermi before the seed's files
    const auto fermi = w90Fermi(w90Seed(r.input));
    if (!fermi) return fermi.failure();
    if (*fermi) {
        read->fermi = (*fermi)->energy;
        read->fermiFrom = (*fermi)->file;
    }
    return read;
}

// The options only some sources serve.
const std::vector<SourceOption> kBandOptions = {
    {"--scf", "reads a pw.x output"},   {"--kpoints", "reads a VASP file"}, {"--poscar", "reads a VASP file"},
    {"--doscar", "reads a VASP file"},  {"--outcar", "reads a VASP file"},  {"--down", "reads the spin-down channel's file"},
    {"--spin", "picks a spin channel"}, {"--projections", "reads projwfc.x output or a PROCAR"},
    {"--sum", "groups the projections"},
};

// The sources of band structures.
const std::vector<BandSource>& bandSources() {
    static const std::vector<BandSource> table = {
        {"qe", "bands.x output (filband), FILE.rap beside it", {"--scf", "--down", "--spin", "--projections", "--sum"},
         "representations (with the .rap), both spin channels (--down), the Fermi level (--scf), the orbital "
         "character (--projections)",
         qePath},
        {"vasp", "EIGENVAL, KPOINTS, POSCAR or CONTCAR, OUTCAR, DOSCAR; or vasprun.xml",
         {"--kpoints", "--poscar", "--doscar", "--outcar", "--spin", "--projections", "--sum"},
         "point names (KPOINTS), the lattice and the elements (POSCAR, OUTCAR), both spin channels, the Fermi level "
         "(DOSCAR, OUTCAR), the orbital character (PROCAR, vasprun.xml)",
         vaspBandPath},
        {"w90", "SEEDNAME_band.dat with .kpt, .labelinfo.dat and .wout beside it, or SEEDNAME_geninterp.dat; SEEDNAME.win",
         {"--down"}, "point names and the lattice (band plot), exact slopes (geninterp), both spin channels (--down), the Fermi level (.win, .wout)",
         w90Path},
    };
    return table;
}

// "--window EMIN,EMAX": two reals, the first below the second.
std::pair<double, double> parseWindow(const std::string& text) {
    const size_t comma = text.find(',');
    std::optional<double> lo, hi;
    if (comma != std::string::npos) {
        lo = number(text.substr(0, comma));
        hi = number(text.substr(comma + 1));
    }
    if (!lo || !hi) throw common::UsageError("--window " + text + ": expected EMIN,EMAX in eV");
    if (!(*lo < *hi)) throw common::UsageError("--window " + text + ": EMIN must lie below EMAX");
    return {*lo, *hi};
}

}  // namespace

std::optional<BandImportRequest> parseBandImport(const std::vector<std::string>& words, std::ostream& out) {
    const common::CommandLine cl =
        common::parseCommandLine(words, {{"--scf", "--fermi", "--lines", "--labels", "--window", "--spin", "-o", "--kpoints", "--poscar", "--doscar",
                                  "--outcar", "--down", "--title", "--projections", "--sum"},
                                 {"--help"}});
    if (cl.has("--help")) {
        out << bandImportUsage();
        return std::nullopt;
    }
    BandImportRequest r;
    const BandSource& source = sourceRow(cl, bandSources(), kBandOptions);
    r.source = source.name;
    if (cl.positional.size() < 2) throw common::UsageError("no input file given");
    if (cl.positional.size() > 2) throw common::UsageError("one input file only, not also '" + shown(cl.positional[2]) + "'");
    r.input = cl.positional[1];
    if (cl.has("--doscar") && cl.has("--fermi")) throw common::UsageError("one Fermi energy: --doscar or --fermi");
    r.fermi = givenFermi(cl);
    r.scf = cl.value("--scf");
    r.kpoints = cl.value("--kpoints");
    r.poscar = cl.value("--poscar");
    r.doscar = cl.value("--doscar");
    r.outcar = cl.value("--outcar");
    r.down = cl.value("--down");
    if (cl.has("--lines")) {
        r.lines = cl.value("--lines");
        if (r.lines.empty()) throw common::UsageError("--lines needs a list of lines");
    }
    if (cl.has("--spin")) {
        r.spin = cl.value("--spin");
        if (r.spin != "up" && r.spin != "down") throw common::UsageError("--spin takes up or down, not '" + shown(r.spin) + "'");
        if (accepts(source, "--scf") && !cl.has("--scf"))
            throw common::UsageError("--spin picks the Fermi energy of --scf: give --scf too");
    }
    r.labels = cl.value("--labels");
    if (cl.has("--labels") && r.labels.empty()) throw common::UsageError("--labels needs a list of points");
    if (cl.has("--window")) r.window = parseWindow(cl.value("--window"));
    r.title = givenTitle(cl);
    r.projections = cl.value("--projections");
    if (cl.has("--projections") && r.projections.empty()) throw common::UsageError("--projections needs a file");
    if (cl.has("--sum")) {
        r.sum = cl.value("--sum");
        if (!sumNamed(r.sum)) throw common::UsageError("--sum takes element, orbital or element,orbital, not '" + r.sum + "'");
        if (r.projections.empty() && !(r.source == "vasp" && isVasprun(r.input)))
            throw common::UsageError("--sum groups the projections: give --projections too");
    }
    r.outDir = cl.value("-o", ".");
    return r;
}

namespace {

std::string coordinates(const KVector& k) { return fortran::F(k[0], 9, 5) + fortran::F(k[1], 9, 5) + fortran::F(k[2], 9, 5); }

void printLines(std::ostream& out, const DensePath& path, const std::vector<ChosenLine>& lines) {
    out << "label  path line  from                           to                             k points  bands\n";
    for (const ChosenLine& c : lines) {
        out << fortran::I(c.label, 5) << fortran::I(c.pathNumber, 11) << "  " << coordinates(path.points[c.line.first].k) << "    "
            << coordinates(path.points[c.line.last].k) << fortran::I(static_cast<long>(c.points.size()), 6) << " of"
            << fortran::I(static_cast<long>(c.line.count()), 4) << fortran::I(path.nbands(), 7) << "\n";
    }
}

// The lines of the path, each with its points kept.
std::vector<ChosenLine> allLines(const DensePath& path) {
    std::vector<ChosenLine> all;
    const std::vector<PathLine> pieces = splitPath(path);
    for (size_t i = 0; i < pieces.size(); ++i) {
        ChosenLine c;
        c.label = c.pathNumber = static_cast<int>(i + 1);
        c.line = pieces[i];
        c.points = samplePoints(path, c.line, band::kMaxLinePoints);
        all.push_back(c);
    }
    return all;
}

// Why a point of the path is on none of its lines (the path jumps, or
// stands still, on both sides of it); nullopt when every point is on one.
std::optional<std::string> pointOffTheLines(const DensePath& path, const std::vector<ChosenLine>& lines) {
    const std::vector<PathPoint>& points = path.points;
    std::vector<bool> on(points.size(), false);
    for (const ChosenLine& c : lines)
        for (size_t i = c.line.first; i <= c.line.last; ++i) on[i] = true;
    auto named = [&](size_t i) {
        return "k point " + std::to_string(i + 1) + " (" + plain(points[i].k[0], 5) + ", " + plain(points[i].k[1], 5) +
               ", " + plain(points[i].k[2], 5) + ")";
    };
    for (size_t i = 0; i < on.size(); ++i) {
        if (on[i]) continue;
        // a point given twice: the second is the repeat
        for (size_t j : {i + 1, i - 1})
            if (j < points.size() && distance(points[i].k, points[j].k) < kSamePoint)
                return named(std::max(i, j)) + " repeats k point " + std::to_string(std::min(i, j) + 1) +
                       "; the k points must follow lines through the zone";
        return named(i) + " lies on no line of the path: it is far from both its neighbours; "
                          "the k points must follow lines through the zone";
    }
    return std::nullopt;
}

// The lines --lines keeps, labelled 1, 2, ... in path order; without it
// all of them, or the first the band program takes when there are more.
common::Result<std::vector<ChosenLine>> keptLines(const BandImportRequest& r, const std::vector<ChosenLine>& all) {
    if (r.lines.empty())
        return std::vector<ChosenLine>(all.begin(), all.begin() + std::min<long>(static_cast<long>(all.size()), band::kMaxLabels));
    std::vector<ChosenLine> kept;
    for (int n : parseLineChoice(r.lines, static_cast<int>(all.size()))) {
        kept.push_back(all[static_cast<size_t>(n - 1)]);
        kept.back().label = static_cast<int>(kept.size());
    }
    if (kept.size() > static_cast<size_t>(band::kMaxLabels))
        throw common::UsageError("--lines " + r.lines + ": " + std::to_string(kept.size()) + " lines, more than the " +
                                 std::to_string(band::kMaxLabels) + " the band program takes");
    return kept;
}

// Every energy and gradient of the band input fits its F10.5 field of
// fort.1; a value that does not is named by the input file and the line of
// its k point there (makeBandInput writes the kept points line by line), a
// slope made from the energies by the lines of those energies' k points.
// "INPUT, line N: what", or "INPUT: what" where the line is not known (0).
common::Failure named(const std::string& input, size_t line, const std::string& what) {
    return line == 0 ? common::Failure{input + ": " + what} : at(input, line, what);
}

common::Status checkFields(const std::string& input, const DensePath& path, const std::vector<ChosenLine>& lines,
                           const band::BandInput& in) {
    size_t block = 0;
    for (const ChosenLine& c : lines)
        for (size_t q : c.points) {
            const band::KBlock& b = in.blocks[block++];
            for (float x : b.k)
                if (!common::readBack(x, band::kCoordinateWidth, band::kCoordinateDecimals))
                    return named(input, path.points[q].line,
                                 "k point " + std::to_string(q + 1) + ": coordinate " + plain(x, 5) + " does not fit " +
                                     band::kCoordinateField + " of fort.1");
            for (size_t l = 0; l < b.bands.size(); ++l) {
                const band::BandRecord& r = b.bands[l];
                std::string bad;
                size_t from = q, to = q;  // the k points whose lines hold the value
                if (!common::readBack(r.energy, band::kLevelWidth, band::kLevelDecimals)) bad = "energy " + plain(r.energy, 5);
                for (float g : r.grad)
                    if (bad.empty() && !common::readBack(g, band::kLevelWidth, band::kLevelDecimals)) {
                        bad = "slope " + plain(g, 5);
                        if (!path.points[q].levels[l].slope) {
                            std::tie(from, to) = slopeSpan(c.line, q);
                            bad += " (made from the energies of k points " + std::to_string(from + 1) + " ... " +
                                   std::to_string(to + 1) + ")";
                        }
                    }
                if (bad.empty()) continue;
                const std::string what = "k point " + std::to_string(q + 1) + ", level " + std::to_string(l + 1) +
                                         ": " + bad + " does not fit " + band::kLevelField + " of fort.1";
                const size_t first = path.points[from].line, last = path.points[to].line;
                if (first == last) return named(input, first, what);
                return common::Failure{input + ", lines " + std::to_string(first) + " ... " + std::to_string(last) +
                                       ": " + what};
            }
        }
    return {};
}

// The Fermi energy: from the file that --scf, --doscar or --outcar names
// (the one of --fermi before an OUTCAR's), else as --fermi gives it; with
// where it came from for the summary.
struct FermiLevel {
    std::optional<double> energy;
    std::string from;
};

common::Result<FermiLevel> fermiLevel(const BandImportRequest& r, const BandRead& read) {
    auto from = [](const std::string& how) { return [how](double e) { return FermiLevel{e, "from " + how}; }; };
    if (!r.scf.empty())
        return referenceFromPwOutput(r.scf, spinOf(r)).transform([&](const PwLevel& level) {
            return level.note.empty() ? from(r.scf + (r.spin.empty() ? "" : ", spin " + r.spin))(level.energy)
                                      : FermiLevel{level.energy, level.note};
        });
    if (!r.doscar.empty()) return readDoscar(r.doscar).transform([&](const Doscar& d) { return from(r.doscar)(d.fermi); });
    if (!r.outcar.empty() && !r.fermi) return fermiFromOutcar(r.outcar).transform(from(r.outcar));
    if (!r.fermi && read.fermi) return from(read.fermiFrom)(*read.fermi);
    return FermiLevel{r.fermi, "given"};
}

// Leaves out the highest band of each channel that is not complete across
// the path (incompleteTops); the summary's lines saying so.
std::string leaveOutIncompleteTops(const std::string& input, DensePath& path) {
    std::string said;
    const bool two = path.channels() == 2;
    for (const TopJump& j : incompleteTops(path, splitPath(path))) {
        int highest = 0;
        for (const Level& level : path.points.front().levels) highest += level.channel == j.channel;
        const PathPoint& p = path.points[j.point + 1];
        said += "Band " + std::to_string(highest) + ", the highest" +
                (two ? (j.channel == 1 ? " of spin down" : " of spin up") : std::string()) +
                ", is not complete across the path: it jumps " + plain(std::fabs(j.size), 2) + " eV between k points " +
                std::to_string(j.point + 1) + " and " + std::to_string(j.point + 2) + " (" + input +
                (p.line > 0 ? ", line " + std::to_string(p.line) : std::string()) + "); left out.\n";
        dropTop(path, j.channel);
    }
    return said;
}

// The first line of the interpolation's log that is not an echo of the k
// points: what made it fail.
std::string firstComplaint(const std::string& log) {
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        const size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || line.compare(start, 7, "k point") == 0) continue;
        return line.substr(start);
    }
    return "no line could be fitted";
}

// fort.2 as the band program makes it from the files written: the stored
// set-up read back from its text and fort.1's values as their fields hold
// them, every line fitted through its energies and slopes; fails when a
// line cannot be fitted.
common::Result<std::string> interpolateBands(const std::string& fort3, const band::BandInput& input, int nlines) {
    const band::BandInput written = band::asWritten(input);
    const auto stored = band::readSetupLines(common::RecordFile::fromText("fort.3", fort3), nlines);
    if (!stored) return common::Failure{stored.error()};
    common::Report report;
    const band::BfitSummary fit =
        band::interpolate(stored->counts, stored->lines, written, nlines, report, band::FitKind::hermite);
    if (fit.written != nlines) return common::Failure{"the interpolation of the bands failed: " + firstComplaint(report.text())};
    return fit.fort2;
}

}  // namespace

common::Status importBands(const BandImportRequest& r, std::ostream& out) {
    const BandSource& source = *std::find_if(bandSources().begin(), bandSources().end(),
                                             [&](const BandSource& row) { return r.source == row.name; });
    auto read = source.read(r);
    if (!read) return read.failure();
    DensePath& path = read->path;
    const std::string& note = read->provenance;
    if (path.nbands() > band::kMaxBands)
        return common::Failure{r.input + ": " + std::to_string(path.nbands()) + " bands, more than the " +
                               std::to_string(band::kMaxBands) + " the band program takes"};

    const std::string incomplete = leaveOutIncompleteTops(r.input, path);

    const auto level = fermiLevel(r, *read);
    if (!level) return level.failure();
    const std::optional<double> fermi = level->energy;
    const std::string& fermiFrom = level->from;
    if (fermi)
        for (PathPoint& point : path.points)
            for (Level& level : point.levels) level.energy -= *fermi;

    const std::vector<ChosenLine> all = allLines(path);
    if (all.empty()) return common::Failure{r.input + ": no symmetry line (the path needs two distinct k points in a row)"};
    if (auto lone = pointOffTheLines(path, all)) return common::Failure{r.input + ": " + *lone};
    const auto kept = keptLines(r, all);
    if (!kept) return common::Failure{kept.error()};

    const std::vector<LineJoin> joins = joinLines(path, *kept);
    const band::BandInput input = makeBandInput(path, *kept, joins);
    const int nlines = static_cast<int>(kept->size());
    auto fort1 = band::formatBandInput(input);
    if (!fort1) {  // a value that does not fit is named by where it came from
        if (auto fits = checkFields(r.input, path, *kept, input); !fits) return fits;
        return common::Failure{fort1.error()};
    }
    const auto fort14 = band::formatBandCounts(input.nkpt, input.nbands, true);
    if (!fort14) return common::Failure{fort14.error()};
    const std::string fort3 = band::formatSetup(makeStoredSetup(path, *kept, joins));
    const auto fort2 = interpolateBands(fort3, input, nlines);
    if (!fort2) return common::Failure{fort2.error()};
    const std::vector<Spike> jumps = spikes(path, *kept);
    const int perChannel = path.nbands() / std::max(1, path.channels());
    const bool withoutTop = std::any_of(jumps.begin(), jumps.end(), [&](const Spike& s) { return s.band == perChannel; });
    StarterPicture picture = starterPicture(path.units == KUnits::twoPiOverAlat, path, *kept, r.labels, r.window,
                                            fermi.has_value(), withoutTop);
    if (fermi) picture.bands.sourceFermi = static_cast<float>(*fermi);
    picture.bands.title = r.title;
    picture.bands.projections = !path.groups.empty();
    const std::optional<BandsAtFermi> atFermi =
        fermi ? std::optional<BandsAtFermi>(bandsAtFermi(path, *kept)) : std::nullopt;
    if (atFermi) colourValenceAndConduction(picture.bands, *atFermi);
    const auto fort15 = band::formatStarterLayout(picture.bands);
    if (!fort15) return common::Failure{fort15.error()};
    std::vector<std::pair<std::string, std::string>> files;  // moved in: fort.1 and fort.2 are large
    files.emplace_back("fort.1", std::move(*fort1));
    files.emplace_back("fort.14", *fort14);
    files.emplace_back("fort.3", fort3);
    files.emplace_back("fort.2", std::move(*fort2));
    files.emplace_back("fort.15", *fort15);
    if (!path.groups.empty()) {
        const auto fort16 = band::formatCharacter(makeCharacter(path, *kept));
        if (!fort16) return common::Failure{fort16.error()};
        files.emplace_back("fort.16", *fort16);
    }
    if (auto written = writeImport(r.outDir, std::move(files)); !written) return written;
    if (path.groups.empty()) {  // the character of an earlier import would not fit these bands
        std::error_code gone;
        std::filesystem::remove(std::filesystem::path(r.outDir) / "fort.16", gone);
    }

    out << "Wrote fort.1, fort.14, fort.3, fort.2" << (path.groups.empty() ? " and fort.15" : ", fort.15 and fort.16")
        << " in " << r.outDir << ": " << input.nkpt << " k points, " << input.nbands << " bands, " << nlines
        << " symmetry lines.\n";
    printLines(out, path, *kept);
    printPicture(out, picture);
    if (atFermi) printBandNumbers(out, *atFermi, !picture.bands.styles.empty());
    printSpikes(out, r.input, path, jumps, withoutTop && !r.window);
    out << note << incomplete;
    if (fermi)
        out << "Energies relative to the Fermi energy " << plain(*fermi, 4) << " eV (" << fermiFrom << ").\n";
    else
        out << "Energies are absolute (no Fermi level given).\n";
    if (kept->size() < all.size() && r.lines.empty())
        out << "The path has " << all.size() << " symmetry lines; the band program takes " << band::kMaxLabels
            << ": lines 1 ... " << band::kMaxLabels << " written; the next with --lines " << band::kMaxLabels + 1
            << "-" << std::min<size_t>(all.size(), 2 * band::kMaxLabels) << " -o ANOTHER_FOLDER.\n";
    out << "Bands joined through their crossings (fort.3), fitted through energies and slopes (fort.2);\n"
           "'tarlisen --output bands.pdf' in " << r.outDir << " draws the picture.\n";
    return {};
}

}  // namespace importer
