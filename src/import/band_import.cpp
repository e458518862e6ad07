#include "import/band_import.h"

#include <filesystem>

#include "band/core/interpolation.h"
#include "band/core/state.h"
#include "common/fortran_format.h"
#include "common/report.h"
#include "import/band_path.h"
#include "import/band_picture.h"
#include "import/band_setup.h"
#include "import/import_tool.h"
#include "import/qe_bands.h"
#include "import/text_table.h"
#include "import/w90_geninterp.h"

namespace importer {

namespace fortran = common::fortran;

std::string bandImportUsage() {
    return "Usage: tarlisen-import qe BANDS_FILE [--scf SCF_OUTPUT [--spin up|down] | --fermi E] [OPTIONS]\n"
           "       tarlisen-import w90 SEEDNAME_geninterp.dat [--fermi E] [OPTIONS]\n"
           "       tarlisen-import --help\n"
           "Writes into DIR everything the band program needs to draw at once: its input\n"
           "fort.1 and fort.14, the set-up fort.3 (bands joined through their crossings,\n"
           "k points in the direction of the path), the interpolated bands fort.2 (fitted\n"
           "through energies and slopes) and a starter layout fort.15; then\n"
           "'tarlisen --output bands.pdf' in DIR draws the picture. Sources:\n"
           "  qe   Quantum ESPRESSO bands.x output (filband) and, when bands.x ran with\n"
           "       lsym=.true., BANDS_FILE.rap beside it (representations)\n"
           "  w90  Wannier90 postw90 output with geninterp = true and\n"
           "       geninterp_alsofirstder = true\n"
           "Options:\n"
           "  --scf FILE    take the Fermi energy from this pw.x output\n"
           "  --spin up|down  the Fermi energy of one spin channel (a pw.x run that\n"
           "                prints one per channel)\n"
           "  --fermi E     the Fermi energy in eV\n"
           "                (energies are written relative to it; absolute without either)\n"
           "  --lines LIST  keep only these symmetry lines of the path: a-b, or a list 1,3,5;\n"
           "                they are labelled 1, 2, ... in path order (at most 10 lines)\n"
           "  --labels LIST the points at the ends of the lines, in path order, one more\n"
           "                than there are lines: G,X,W,K,G,L; G or Gamma (any Greek name)\n"
           "                is drawn as the Greek letter, K|U marks a jump of the path\n"
           "                (default: the standard points of cubic, hexagonal and tetragonal\n"
           "                lattices when the k points are such, numbers otherwise)\n"
           "  --window EMIN,EMAX  the energy window of the picture in eV (default: from\n"
           "                the lowest band, at most 20 eV below the Fermi level, to 5 eV\n"
           "                above it)\n"
           "  -o DIR        write the files into DIR (default: the current directory)\n"
           "  --help        show this text\n";
}

namespace {

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
        common::parseCommandLine(words, {{"--scf", "--fermi", "--lines", "--labels", "--window", "--spin", "-o"}, {"--help"}});
    if (cl.has("--help")) {
        out << bandImportUsage();
        return std::nullopt;
    }
    BandImportRequest r;
    r.source = sourceNamed(cl, {"qe", "w90"});
    if (cl.positional.size() < 2) throw common::UsageError("no input file given");
    if (cl.positional.size() > 2) throw common::UsageError("one input file only, not also '" + cl.positional[2] + "'");
    r.input = cl.positional[1];
    if (cl.has("--scf") && r.source != "qe") throw common::UsageError("--scf reads a pw.x output: qe only");
    r.fermi = givenFermi(cl);
    r.scf = cl.value("--scf");
    if (cl.has("--lines")) {
        r.lines = cl.value("--lines");
        if (r.lines.empty()) throw common::UsageError("--lines needs a list of lines");
    }
    if (cl.has("--spin")) {
        r.spin = cl.value("--spin");
        if (r.spin != "up" && r.spin != "down") throw common::UsageError("--spin takes up or down, not '" + r.spin + "'");
        if (!cl.has("--scf")) throw common::UsageError("--spin picks the Fermi energy of --scf: give --scf too");
    }
    r.labels = cl.value("--labels");
    if (cl.has("--labels") && r.labels.empty()) throw common::UsageError("--labels needs a list of points");
    if (cl.has("--window")) r.window = parseWindow(cl.value("--window"));
    r.outDir = cl.value("-o", ".");
    return r;
}

namespace {

std::string coordinates(const KVector& k) { return fortran::F(k[0], 9, 5) + fortran::F(k[1], 9, 5) + fortran::F(k[2], 9, 5); }

void printLines(std::ostream& out, const DensePath& path, const std::vector<ChosenLine>& lines) {
    out << "label  path line  from                           to                             k points  bands\n";
    for (const ChosenLine& c : lines) {
        out << fortran::I(c.label, 5) << fortran::I(c.pathNumber, 11) << "  " << coordinates(path.k[c.line.first]) << "    "
            << coordinates(path.k[c.line.last]) << fortran::I(static_cast<long>(c.points.size()), 6) << " of"
            << fortran::I(static_cast<long>(c.line.count()), 4) << fortran::I(path.nbands(), 7) << "\n";
    }
}

// The path of a bands.x run, joined by representation when its .rap is
// beside it; `note` says which.
common::Result<DensePath> qePath(const BandImportRequest& r, std::string& note) {
    auto bands = readQeBands(r.input);
    if (!bands) return common::Failure{bands.error()};
    DensePath path;
    path.k = bands->k;
    path.e = bands->e;
    path.line = bands->line;
    const std::string rapName = r.input + ".rap";
    if (std::filesystem::exists(rapName)) {
        auto rap = readQeRap(rapName);
        if (!rap) return common::Failure{rap.error()};
        if (auto s = checkRapMatches(*bands, *rap, rapName); !s) return common::Failure{s.error()};
        path.irrep = rap->rap;
        path.high = rap->high;
        note = "Bands joined by representation inside the lines (" + rapName + ").\n";
    } else {
        note = "No " + rapName + " (bands.x with lsym=.true. writes it): bands joined by value and slope,\n"
               "lines split where the path turns or jumps.\n";
    }
    note += "k points in 2 pi/alat (Cartesian); gradients dE/dk in eV per that unit, from the dense path.\n";
    sortLevels(path);
    return path;
}

// The path of the request's source, with the note for the summary.
common::Result<DensePath> sourcePath(const BandImportRequest& r, std::string& note) {
    if (r.source == "qe") return qePath(r, note);
    note = "k points in 1/Angstrom (Cartesian); gradients dE/dk in eV Angstrom, as interpolated.\n";
    return readGeninterp(r.input);
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

// The lines --lines keeps, labelled 1, 2, ... in path order; all of them
// without it. The table of all lines is printed when there are too many.
common::Result<std::vector<ChosenLine>> keptLines(const BandImportRequest& r, const DensePath& path,
                                                   const std::vector<ChosenLine>& all, std::ostream& out) {
    if (r.lines.empty()) {
        if (all.size() <= static_cast<size_t>(band::kMaxLabels)) return all;
        printLines(out, path, all);
        return common::Failure{r.input + ": the path has " + std::to_string(all.size()) +
                               " symmetry lines, more than the " + std::to_string(band::kMaxLabels) +
                               " the band program takes; choose some with --lines (for example --lines 1-" +
                               std::to_string(band::kMaxLabels) + ")"};
    }
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
// its k point there (makeBandInput writes the kept points line by line).
common::Status checkFields(const std::string& input, const DensePath& path, const std::vector<ChosenLine>& lines,
                           const band::BandInput& in) {
    size_t block = 0;
    for (const ChosenLine& c : lines)
        for (size_t q : c.points) {
            const band::KBlock& b = in.blocks[block++];
            for (size_t l = 0; l < b.bands.size(); ++l) {
                const band::BandRecord& r = b.bands[l];
                std::string bad;
                if (!common::readBack(r.energy, 10, 5)) bad = "energy " + plain(r.energy, 5);
                for (float g : r.grad)
                    if (bad.empty() && !common::readBack(g, 10, 5)) bad = "slope " + plain(g, 5);
                if (bad.empty()) continue;
                const std::string what = "k point " + std::to_string(q + 1) + ", level " + std::to_string(l + 1) +
                                         ": " + bad + " does not fit F10.5 of fort.1";
                return path.line.empty() ? common::Failure{input + ": " + what} : at(input, path.line[q], what);
            }
        }
    return {};
}

// fort.2 as the band program makes it from the files written: the stored
// set-up and fort.1 read back from their text, every line fitted through its
// energies and slopes; fails when a line cannot be fitted.
common::Result<std::string> interpolateBands(const std::string& fort1, const std::string& fort3,
                                             const band::BandInput& input, int nlines) {
    const auto written = band::parseBandInput(common::RecordFile::fromText("fort.1", fort1), input.nkpt, input.nbands);
    if (!written) return common::Failure{written.error()};
    const auto stored = band::readSetupLines(common::RecordFile::fromText("fort.3", fort3), nlines);
    if (!stored) return common::Failure{stored.error()};
    common::Report report;
    const band::BfitSummary fit =
        band::interpolate(stored->counts, stored->lines, *written, nlines, report, band::FitKind::hermite);
    if (fit.written != nlines) return common::Failure{"the interpolation of the bands failed:\n" + report.text()};
    return fit.fort2;
}

}  // namespace

common::Status importBands(const BandImportRequest& r, std::ostream& out) {
    std::string note;
    auto read = sourcePath(r, note);
    if (!read) return common::Failure{read.error()};
    DensePath& path = *read;
    if (path.nbands() > band::kMaxBands)
        return common::Failure{r.input + ": " + std::to_string(path.nbands()) + " bands, more than the " +
                               std::to_string(band::kMaxBands) + " the band program takes"};

    std::optional<double> fermi = r.fermi;
    std::string fermiFrom = "given";
    if (!r.scf.empty()) {
        auto level = fermiFromPwOutput(r.scf, r.spin == "up" ? Spin::Up : r.spin == "down" ? Spin::Down : Spin::Both);
        if (!level) return common::Failure{level.error()};
        fermi = *level;
        fermiFrom = "from " + r.scf + (r.spin.empty() ? "" : ", spin " + r.spin);
    }
    if (fermi)
        for (auto& level : path.e)
            for (double& e : level) e -= *fermi;

    const std::vector<ChosenLine> all = allLines(path);
    if (all.empty()) return common::Failure{r.input + ": no symmetry line (the path needs two distinct k points in a row)"};
    const auto kept = keptLines(r, path, all, out);
    if (!kept) return common::Failure{kept.error()};

    const band::BandInput input = makeBandInput(path, *kept);
    const int nlines = static_cast<int>(kept->size());
    if (auto fits = checkFields(r.input, path, *kept, input); !fits) return fits;
    const auto fort1 = band::formatBandInput(input);
    if (!fort1) return common::Failure{fort1.error()};
    const auto fort14 = band::formatBandCounts(input.nkpt, input.nbands, true);
    if (!fort14) return common::Failure{fort14.error()};
    const std::string fort3 = formatStoredSetup(makeStoredSetup(path, *kept));
    const auto fort2 = interpolateBands(*fort1, fort3, input, nlines);
    if (!fort2) return common::Failure{fort2.error()};
    const StarterPicture picture = starterPicture(r.source == "qe", path, *kept, r.labels, r.window, fermi.has_value());
    const auto fort15 = band::formatStarterLayout(picture.bands);
    if (!fort15) return common::Failure{fort15.error()};
    for (const auto& [name, text] : {std::pair<const char*, const std::string&>{"fort.1", *fort1},
                                     {"fort.14", *fort14}, {"fort.3", fort3}, {"fort.2", *fort2}, {"fort.15", *fort15}})
        if (auto written = writeWhole(r.outDir, name, text); !written) return written;

    out << "Wrote fort.1, fort.14, fort.3, fort.2 and fort.15 in " << r.outDir << ": " << input.nkpt << " k points, "
        << input.nbands << " bands, " << nlines << " symmetry lines.\n";
    printLines(out, path, *kept);
    printPicture(out, picture);
    out << note;
    if (fermi)
        out << "Energies relative to the Fermi energy " << plain(*fermi, 4) << " eV (" << fermiFrom << ").\n";
    else
        out << "Energies are absolute (no Fermi level given).\n";
    out << "Bands joined through their crossings (fort.3), fitted through energies and slopes (fort.2);\n"
           "'tarlisen --output bands.pdf' in " << r.outDir << " draws the picture.\n";
    return {};
}

}  // namespace importer
