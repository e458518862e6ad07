#include "band/main/tarlisen.h"

#include <fstream>

#include "band/core/state.h"
#include "band/core/graph.h"
#include "band/dialog/frame_questions.h"
#include "band/draw/frame.h"
#include "band/dialog/graph_menu.h"
#include "band/core/interpolation.h"
#include "band/core/band_input.h"
#include "band/dialog/setup.h"
#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"
#include "common/plot.h"

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

// The line count of fort.2's first record (the only one read here); -1
// when there is none to read.
int storedLineCount(Console& con, bool quiet) {
    std::ifstream f("fort.2");
    if (!f) return -1;
    std::string first;
    auto n = std::getline(f, first) ? FieldCursor(first).I(2) : std::nullopt;
    if (!n || *n < 0) {
        if (!quiet) con.line(" fort.2, record 1: unreadable line count; the bands are set up anew.");
        return -1;
    }
    return static_cast<int>(*n);
}

int mainMenu(Console& con) {
    return askMenu(con,
                   {" (1) Display interpolated bands", " (2) Change .BIN information and interpolate bands",
                    " (3) Interpolate bands", "", " (0) Exit", ""},
                   2, 0, 3);
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
bool interpolate(Console& con, BandState& st, band::FitKind fit) {
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
    bfit(st.nlines, st.nkpt, report, ".", fit);
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
    g.nshow = askShownLines(con, nlines);
    if (g.nshow >= 4) g.geom = FrameGeom::wide();
    plot.svp(0.0f, g.geom.view_right, 0.0f, g.geom.view_top);
    plot.page();
    plot.slw(3);
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
    tlaxes(plot, g.geom.frame_x0, g.geom.frame_y0, g.line_pos, g.geom.frame_w, g.geom.frame_h, g.nshow);
    g.draw_problem = tlband(plot, g.geom.frame_x0, g.geom.frame_y0, g.line_pos, g.geom.frame_h, g.elow, g.ehigh,
                            g.nshow, g.bands);
    if (!g.draw_problem.empty()) con.line(" " + g.draw_problem + "; bands drawn up to there.");
    tlgrph(plot, con, g);
    return 0;
}

int session(Plot& plot, Console& con, band::FitKind fit) {
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

int runTarlisen(Plot& plot, Console& con, band::FitKind fit) {
    startScreen(plot, con);
    const FrameGeom geom;
    plot.svp(0.0f, geom.view_right, 0.0f, geom.view_top);
    banner(con);
    return runDialogue(plot, con, [&] { return session(plot, con, fit); });
}

}  // namespace band
