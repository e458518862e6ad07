#include "band/main/tarlisen.h"

#include <fstream>

#include "band/core/bands_file.h"
#include "band/core/state.h"
#include "band/core/graph.h"
#include "band/dialog/frame_questions.h"
#include "band/draw/frame.h"
#include "band/dialog/graph_menu.h"
#include "band/core/interpolation.h"
#include "band/core/band_input.h"
#include "band/core/character.h"
#include "band/dialog/setup.h"
#include "band/main/dos_beside.h"
#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"
#include "common/plot.h"
#include "common/publication.h"
#include "common/program_options.h"

namespace band {

using namespace common;

namespace {

const char* const kInputMissing = " Inputfiles name.EH1 or name.EHE could not be opened.";

void banner(Console& con) {
    con.line(" tarlisen - band structure diagrams from band energies along symmetry lines");
    con.line(" This program comes with ABSOLUTELY NO WARRANTY.");
    con.line(" It is provided as is, without warranty of any kind, express or implied,");
    con.line(" including fitness for a particular purpose. You use it and its results");
    con.line(" at your own risk.");
}

bool readable(const char* path) { return readableFile(path); }

// The line count of fort.2's count record; -1 when there is none to read.
int storedLineCount(Console& con, bool quiet) {
    if (!readable("fort.2")) return -1;
    Result<int> n = readBandsCount("fort.2");
    if (!n) {
        if (!quiet) con.line(" " + n.error() + "; the bands are set up anew.");
        return -1;
    }
    return *n;
}

int mainMenu(Console& con) {
    return askMenu(con,
                   {" (1) Display interpolated bands", " (2) Change .BIN information and interpolate bands",
                    " (3) Interpolate bands", "", " (0) Exit", ""},
                   2, 0);
}

// Counts record of the stored set-up for a change of it.
bool readStoredCounts(Console& con, BandState& st) {
    auto f = RecordFile::load("fort.3");
    if (!f) {
        con.line(" Stored set-up fort.3 could not be opened.");
        return false;
    }
    Result<SetupFile> s = readSetupCounts(*f);
    if (!s) {
        con.line(" " + s.error());
        return false;
    }
    st.nbands = s->nbands;
    st.nlower = s->nlower;
    st.ninterp = s->ninterp;
    return true;
}

// The interpolation pass; false when fort.14 cannot be read.
bool interpolate(Console& con, BandState& st, std::optional<band::FitKind> fit) {
    Result<BandCounts> counts = readCounts("fort.14");
    if (!counts) {
        con.line(" " + counts.error());
        return false;
    }
    st.nkpt = counts->nkpt;
    st.nbands = counts->nbands;
    con.line();
    con.line();
    con.line(" Interpolating bands ...");
    Report report;
    bfit(st.nlines, st.nkpt, report, ".", fit.value_or(counts->slopes ? FitKind::hermite : FitKind::cosine));
    con.put(report.text());
    con.line();
    con.line();
    con.line();
    return true;
}

int askShownLines(Console& con, int nlines) {
    int most = nlines;
    if (most > band::kMaxShown) {
        con.line(" Only " + std::to_string(band::kMaxShown) + " of the " + std::to_string(nlines) +
                 " symmetry lines can be shown.");
        most = band::kMaxShown;
    }
    long n = con.askInt(" Number of symmetry lines (default=" + fortran::I(most, 2) + "): ", 2,
                        [&](long v) { return v >= 0 && v <= most; });
    return n == 0 ? most : static_cast<int>(n);
}

// Display: frame, bands, then the graph menu until the user quits.
int display(Plot& plot, Console& con) {
    int nlines = storedLineCount(con, false);
    if (nlines < 0) {
        con.line(kInputMissing);
        return 1;
    }
    if (nlines == 0) {  // a set-up ended before its first line
        con.line(" fort.2, record 1: no symmetry line to display.");
        return 1;
    }
    Result<BandsFile> bands = readBandsFile("fort.2");
    if (!bands) {
        con.line(kInputMissing);
        return 1;
    }
    BandGraph g;
    g.bands = std::move(*bands);
    if (Result<BandCharacter> character = loadBandCharacter(g.bands.count); character)
        g.character = std::move(*character);
    else
        con.line(" " + character.error() + "; the bands are drawn without their orbital character.");
    g.nshow = askShownLines(con, nlines);
    g.geom = FrameGeom::forLines(g.nshow);
    plot.svp(0.0f, g.geom.view_right, 0.0f, g.geom.view_top);
    plot.page();
    plot.slw(kLineWidth);
    if (g.nshow >= 2) {
        con.line();
        char c = con.askChar(" Equal symmetry line lengths? (default=Y) ");
        if (c == 'N' || c == 'n')
            tlsyml(con, g.line_pos, g.geom.frame_w, g.nshow);
        else
            equalLines(g.line_pos, g.geom.frame_w, g.nshow);
    } else {
        g.geom.frame_w = g.geom.frame_w * 2.0f / 3.0f;
        g.line_pos[1] = 0.0f;
        g.line_pos[2] = g.geom.frame_w;
    }
    tlener(con, g.elow, g.ehigh);
    tlaxes(plot, g.geom.frame(), g.line_pos, g.nshow);
    reportDrawing(con, tlband(plot, {g.geom.frame(), g.elow, g.ehigh}, g.line_pos, g.nshow, g.bands));
    tlgrph(plot, con, g, writeBandsWithDos);
    return 0;
}

int session(Plot& plot, Console& con, std::optional<band::FitKind> fit) {
    BandState st;
    const FrameGeom setupGeom;
    for (;;) {
        if (!readable("fort.1") || !readable("fort.14")) {
            con.line(kInputMissing);
            return 1;
        }
        int stored = storedLineCount(con, !readable("fort.2"));
        bool setUp = stored < 0;
        st.stored_setup = false;
        if (!setUp) {
            st.nlines = stored;
            int choice = mainMenu(con);
            if (choice == 0) return 0;
            if (choice == 1) return display(plot, con);
            if (choice == 2) {
                if (!readStoredCounts(con, st)) continue;
                st.stored_setup = true;
                setUp = true;
            } else if (!readable("fort.3")) {
                con.line(" Stored set-up fort.3 could not be opened.");
                continue;
            }
        }
        if (setUp && !runSetup(plot, con, st, setupGeom)) return 1;
        if (!interpolate(con, st, fit)) return 1;
    }
}

}  // namespace

const std::string& tarlisenUsage() {
    static const std::string text = std::string(
                                        "Usage: tarlisen [--fit cosine|hermite]\n"
                                        "       tarlisen --output FILE [--dos DIR] [--width CM] [--title TEXT]\n"
                                        "       tarlisen --export FILE.csv\n"
                                        "       tarlisen --help | --version\n"
                                        "\n"
                                        "Band structure diagrams from band energies along symmetry lines, made in a\n"
                                        "dialogue on standard input. In the current directory it reads the band\n"
                                        "input fort.1 and its counts fort.14 (and the bands' orbital character\n"
                                        "fort.16 when there is one), keeps the set-up of the lines in\n"
                                        "fort.3, writes the interpolated bands to fort.2, the graph layout to\n"
                                        "fort.15 and pictures to tarlisen.eps or tarlisen.plt.\n"
                                        "\n"
                                        "Options:\n"
                                        "  --fit cosine    fit each line with a cosine series (the default, unless\n"
                                        "                  fort.14 marks its gradients as the calculation's slopes,\n"
                                        "                  as the importers do: then the default is hermite)\n"
                                        "  --fit hermite   fit each line with piecewise cubic curves through the\n"
                                        "                  energies and slopes at its k points; the series falls\n"
                                        "                  back on these for a line it cannot fit\n"
                                        "  --output FILE   no dialogue: draw the interpolated bands of fort.2 with the\n"
                                        "                  layout of fort.15 (without it, the plain frame and bands\n"
                                        "                  over their whole energy range) to FILE and exit; its\n"
                                        "                  suffix picks the picture: .eps (PostScript), .plt (HPGL),\n"
                                        "                  .pdf, .png or .svg (drawn from the colour EPS beside\n"
                                        "                  them); landscape for four or more lines. No fit is\n"
                                        "                  made, so --fit does not go with it\n"
                                        "  --dos DIR       with --output: the bands with the DOS of DIR beside them\n"
                                        "                  on the same energy axis (DIR/fort.1 and DIR/fort.7, as\n"
                                        "                  morvane-import writes them), the DOS shifted onto the\n"
                                        "                  bands' Fermi energy where both imports recorded one\n"
                                        "  --width CM      with --output: make the picture CM centimetres wide\n"
                                        "                  (4 to 50; 8.5 for one journal column, 17 for two),\n"
                                        "                  text 8.5 pt and lines at least 0.5 pt at that width:\n"
                                        "                  the EPS box, the PDF and SVG page and the PNG at 300\n"
                                        "                  dpi; not for .plt\n"
                                        "  --title TEXT    with --output: TEXT (at most 80 characters, with the\n"
                                        "                  text markup of the labels) centred above the frame\n"
                                        "  --export FILE   no dialogue: write the data of the picture --output draws\n"
                                        "                  to FILE as comma-separated values, a row per interpolated\n"
                                        "                  point: line, band, spin (up, down or empty), distance\n"
                                        "                  (along the path as the layout places the lines), energy\n"
                                        "                  (eV), then the weight of each group of the orbital\n"
                                        "                  character (fort.16, when there is one)\n"
                                        "  --help          print this text\n"
                                        "  --version       print the version\n"
                                        "\n") +
                                    common::kScreenHelp;
    return text;
}

common::ProgramStart startTarlisen(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    common::ProgramStart s = common::startProgram("tarlisen", tarlisenUsage(),
                                                  common::OptionSpec{{"--fit", "--output", "--width", "--title", "--dos", "--export"}, {}}, words, out, err);
    const std::string fit = s.args.value("--fit", "cosine");
    if (s.run && s.args.has("--fit") && fit != "cosine" && fit != "hermite")
        return common::usageError("tarlisen", "--fit takes cosine or hermite, not '" + fit + "'", err);
    // the picture is drawn from fort.2 as it stands: a fit asked for would not be made
    if (s.run && s.args.has("--fit") && s.args.has("--output"))
        return common::usageError("tarlisen", "--fit does not go with --output, which draws fort.2 without interpolating", err);
    if (s.run && s.args.has("--export") && (s.args.has("--output") || s.args.has("--fit")))
        return common::usageError("tarlisen", "--export writes the data of fort.2 as it stands, without a picture or a fit",
                                  err);
    if (s.run && s.args.has("--dos") && !s.args.has("--output"))
        return common::usageError("tarlisen", "--dos goes with --output", err);
    return common::checkPictureOption("tarlisen", s, err);
}

int runTarlisen(Plot& plot, Console& con, std::optional<FitKind> fit) {
    startScreen(plot, con);
    const FrameGeom geom;
    plot.svp(0.0f, geom.view_right, 0.0f, geom.view_top);
    banner(con);
    return runDialogue(plot, con, [&] { return session(plot, con, fit); });
}

}  // namespace band
