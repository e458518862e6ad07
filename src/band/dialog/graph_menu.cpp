#include "band/dialog/graph_menu.h"

#include <array>
#include <vector>

#include "annotate/legend.h"
#include "annotate/markup.h"
#include "annotate/marks.h"
#include "annotate/tics.h"
#include "band/core/graph.h"
#include "band/dialog/band_styles.h"
#include "band/dialog/frame_questions.h"
#include "band/draw/frame.h"
#include "band/core/layout_file.h"
#include "band/draw/redraw.h"
#include "band/draw/text_rows.h"
#include "common/console.h"
#include "common/dialog.h"
#include "common/fortran_format.h"
#include "common/plot.h"
#include "common/publication.h"
#include "common/records.h"

namespace band {

using namespace common;
using namespace annotate;

namespace {

const char* const kLayoutFile = "fort.15";

// The 18-character device table: 2 x selection + orientation - 2. The
// PostScript is in colour (the band colours of option 13), and PDF, PNG and
// SVG are made from it, written to the EPS name (the figure with a DOS,
// selection 5, draws on devices of its own).
const std::array<const char*, 12> kDevices = {"tarlisen.eps/CPS  ", "tarlisen.eps/VCPS ",
                                              "tarlisen.plt/HPGL ", "tarlisen.plt/VHPGL",
                                              "tarlisen.eps/CPS  ", "tarlisen.eps/VCPS ",
                                              "tarlisen.eps/CPS  ", "tarlisen.eps/VCPS ",
                                              "tarlisen.eps/CPS  ", "tarlisen.eps/VCPS ",
                                              "tarlisen.eps/CPS  ", "tarlisen.eps/VCPS "};

// The picture an output selection makes from its colour EPS: none for the
// EPS itself and HPGL.
std::optional<PictureKind> madeFromEps(int selection) {
    switch (selection) {
    case 3: return PictureKind::Pdf;
    case 4: return PictureKind::Png;
    case 6: return PictureKind::Svg;
    default: return std::nullopt;
    }
}

const std::vector<std::string> kMenu = {
    "",
    " Graph modification menu:",
    "",
    " ( 1) Change energy range",
    " ( 2) Add border",
    " ( 3) Add energy axis tic marks and tic labels",
    " ( 4) Add symmetry axes labels",
    " ( 5) Add symmetry line and energy axis titles",
    " ( 6) Add optional text (eg. symmetry labels)",
    " ( 7) Mark fermi energy",
    " ( 8) Change symmetry line lengths",
    " ( 9) Clear and redraw",
    " (10) Generate output file",
    " (11) Save graph layout",
    " (12) Load graph layout",
    " (13) Change band colours and line widths",
    " (14) Legend",
    " (15) Orbital character of the bands",
    "",
    " ( 0) Quit program",
    "",
};

// A label or title as typed: its first 20 characters in an 80-character field.
std::string askLabel(Console& con, const std::string& prompt) {
    return fortran::A(con.askLabel(prompt, 20), 80);
}

void redrawScreen(Plot& plot, Console& con, BandGraph& g) {
    plot.page();
    reportDrawing(con, tlrdrw(plot, g));
}

// A new energy window keeps every annotation: the tics on the same values
// (chosen anew, said in one line, where their distance no longer fits).
void changeEnergyRange(Plot& plot, Console& con, BandGraph& g) {
    tlener(con, g.elow, g.ehigh);
    if (g.flags[kFlagTics]) {
        std::string note;
        g.tics = ticsForRange(g.tics, g.elow, g.ehigh, note);
        g.range = g.ehigh - g.elow;
        g.nsub = subintervals(g.tics, g.nsub);
        if (!note.empty()) con.line(note);
    }
    redrawScreen(plot, con, g);
}

void addLabels(Plot& plot, Console& con, BandGraph& g) {
    const FrameGeom& f = g.geom;
    g.flags[kFlagLabels] = true;
    plot.swin(0.0f, 1.0f, 0.0f, 1.0f);
    plot.svp(0.0f, 1.0f, 0.0f, 1.0f);
    const float y = pointLabelRow(f);
    for (int l = 1; l <= g.nshow; ++l) {
        std::string& label = g.labels[l];
        label = askLabel(con, " Symmetry line " + fortran::I(l, 2) + ", left label: ");
        tltrap(plot, label, f.frame_x0 + g.line_pos[l], y, 0.0f, 1);
    }
    std::string& right = g.labels[g.nshow + 1];
    right = askLabel(con, " Right border, label:          ");
    tltrap(plot, right, f.right(), y, 0.0f, 1);
}

void addTitles(Plot& plot, Console& con, BandGraph& g) {
    const FrameGeom& f = g.geom;
    g.flags[kFlagTitles] = true;
    selectPageWindow(plot, f.view_right, f.view_top);
    for (int l = 1; l <= g.nshow; ++l) {
        std::string& title = g.titles[l];
        title = askLabel(con, " Label of symmetry axis " + fortran::I(l, 2) + ": ");
        const float x = f.frame_x0 + (g.line_pos[l] + g.line_pos[l + 1]) / 2.0f;
        tltrap(plot, title, x, lineTitleRow(f), 0.0f, 1);
    }
    g.vtitle = askLabel(con, " Vertical axis label:   ");
    tltrap(plot, g.vtitle, 0.2f * f.frame_x0, f.frame_y0 + 0.5f * f.frame_h, 90.0f, 1);
}

bool loadGraphLayout(Plot& plot, Console& con, BandGraph& g) {
    auto file = RecordFile::load(kLayoutFile);
    if (!file) {
        con.line(" Layout file does not exist. First use option (11).");
        return false;
    }
    const float low = g.elow, high = g.ehigh;
    if (Status loaded = loadLayout(*file, g); !loaded) {
        con.line(" " + loaded.error());
        return false;
    }
    if (g.elow != low || g.ehigh != high)
        con.line(" The layout's energy window " + fortran::general(g.elow) + " ... " + fortran::general(g.ehigh) +
                 " eV replaces the one typed, " + fortran::general(low) + " ... " + fortran::general(high) + " eV.");
    if (std::string off = framePlacement(g, kLayoutFile); !off.empty()) con.line(" " + off + ".");
    redrawScreen(plot, con, g);
    return true;
}

// The settings as fort.15 would keep them (or why it could not).
std::string layoutText(const BandGraph& g) {
    Result<std::string> text = formatLayout(g);
    return text ? *text : text.error();
}

// Leaving the menu: a line when the settings changed since they were saved
// (or loaded), or, never saved, since the menu opened.
void sayUnsaved(Console& con, const std::string& now, const std::string& start,
                const std::optional<std::string>& kept) {
    if (kept && now != *kept)
        con.line(" The graph settings changed since they were last saved; option 11 keeps them in fort.15.");
    else if (!kept && now != start)
        con.line(" The graph settings were not saved; option 11 keeps them in fort.15 for the next run.");
}

// The legend names the spin channels and the groups of the character
// shown; a picture of one channel without them has nothing
// for it to name.
void changeLegend(Plot& plot, Console& con, BandGraph& g) {
    if (legendEntries(g).empty()) {
        con.line(" The bands are of one kind: a legend would name nothing.");
        return;
    }
    askLegend(con, g.legend);
    redrawScreen(plot, con, g);
}

// The orbital character of fort.16 on the bands: off, each band in the
// blend of its groups' colours, or one group's fat band; the legend names
// the groups.
void changeCharacter(Plot& plot, Console& con, BandGraph& g) {
    const BandCharacter& c = g.character;
    if (c.groups() == 0) {
        con.line(" No band character fort.16: the bands have no orbital character to show.");
        return;
    }
    con.line(" Orbital character: (0) none, (1) colours of the groups, (2) fat band of one group");
    const long mode = con.askInt(" Selection: ", 1, [](long v) { return v >= 0 && v <= 2; });
    g.show.mode = static_cast<CharacterMode>(mode);
    if (g.show.mode == CharacterMode::fat) {
        for (int k = 1; k <= c.groups(); ++k) con.line(" (" + fortran::I(k, 1) + ") " + c.names[static_cast<size_t>(k - 1)]);
        g.show.group = static_cast<int>(con.askInt(" Group (1-" + std::to_string(c.groups()) + "): ", 1,
                                                   [&](long v) { return v >= 1 && v <= c.groups(); }));
    }
    if (g.show.mode != CharacterMode::off) g.legend.on = true;
    redrawScreen(plot, con, g);
}

}  // namespace

void reportDrawing(Console& con, const Status& drawn) {
    if (!drawn) con.line(" " + drawn.error() + "; bands drawn up to there.");
}

std::string outputDevice(int selection, int nshow) {
    const int orientation = FrameGeom::landscape(nshow) ? 1 : 2;  // 1 landscape, 2 portrait
    return kDevices.at(static_cast<size_t>(2 * selection + orientation - 2 - 1));
}

void askBandTics(Plot& plot, Console& con, BandGraph& g) {
    const FrameGeom& f = g.geom;
    const int n = g.nshow;
    g.range = g.ehigh - g.elow;
    con.line(" Energy axis tic marking and labeling.");
    con.line();
    con.line(" Minimum energy: " + fortran::F(g.elow, 10, 5) + " eV");
    con.line(" Maximum energy: " + fortran::F(g.ehigh, 10, 5) + " eV");
    con.line(" Energy range:   " + fortran::F(g.range, 10, 5) + " eV");
    con.line();
    con.line(" Tic range settings apply to all axes.");
    con.line();
    askTicRange(con, g.elow, g.ehigh, kEnergyTicPrompts, g.tics, valueRefusal);

    auto axis = [&](float xa, int position) {
        tltica(plot, {f.frame(), g.elow, g.range, xa, g.tic_side[position]}, g.tics, g.nsub);
    };
    con.line();
    con.line(" Left axis:");
    g.tic_side[1] = tltics(con);
    askTicsPerLabel(con, g.range, g.tics, valueRefusal);
    axis(f.frame_x0, 1);
    for (int j = 2; j <= n; ++j) {
        con.line();
        con.line(" Symmetry line " + fortran::I(j, 2) + ":");
        g.tic_side[j] = tltics(con);
        axis(f.frame_x0 + g.line_pos[j], j);
    }
    g.tic_side[n + 1] = 0;
    if (hasRightEdge(g)) {
        con.line();
        con.line(" Right border:");
        g.tic_side[n + 1] = tltics(con);
        axis(f.right(), n + 1);
    }
}

void writeOutputFile(Plot& plot, Console& con, BandGraph& g, int screen, const DosFigureOutput& withDos) {
    std::vector<std::string> menu = {"",       " Output file options:", " (1) Postscript/encapsulated postscript",
                                     " (2) HPGL", " (3) PDF",            " (4) PNG"};
    if (withDos) menu.push_back(" (5) Bands with a DOS beside them");
    menu.insert(menu.end(), {" (6) SVG", ""});
    int selection = askMenu(con, menu, 1, 1);
    // without the figure its number is no answer
    auto offered = [](long v) { return (v >= 1 && v <= 4) || v == 6; };
    while (selection == 5 && !withDos) selection = static_cast<int>(con.askInt(" Selection: ", 1, offered));
    if (selection == 5) {
        withDos(plot, con, g, screen);
        redrawScreen(plot, con, g);
        return;
    }
    const std::string device = outputDevice(selection, g.nshow);
    const bool written = drawOnFileDevice(plot, device, screen, [&] {
        // a fresh device: the same line width and style as the screen picture
        plot.slw(kLineWidth);
        plot.sls(1);
        (void)tlrdrw(plot, g);  // told by the redraw of the screen that follows
    });
    if (!written) con.line(" Output device " + fortran::trimRight(device) + " could not be opened.");
    if (written && selection != 2) finishPostScript(con, device, madeFromEps(selection));
    redrawScreen(plot, con, g);
}

void tlgrph(Plot& plot, Console& con, BandGraph& g, const DosFigureOutput& withDos) {
    g.border = g.nshow >= 2;
    plot.sls(1);
    const int screen = plot.qid();
    // the settings as they came, then as last saved or loaded
    const std::string start = layoutText(g);
    std::optional<std::string> kept;
    for (;;) {
        const int option = askMenu(con, kMenu, 2, 0);
        const FrameGeom& f = g.geom;
        switch (option) {
        case 0:
            sayUnsaved(con, layoutText(g), start, kept);
            return;
        case 1:
            changeEnergyRange(plot, con, g);
            break;
        case 2:
            if (g.nshow == 1) {
                g.flags[kFlagBorder] = true;
                g.border = true;
                tlbrdr(plot, f.frame());
            }
            break;
        case 3:
            g.flags[kFlagTics] = true;
            askBandTics(plot, con, g);
            break;
        case 4:
            addLabels(plot, con, g);
            break;
        case 5:
            addTitles(plot, con, g);
            break;
        case 6:
            g.flags[kFlagTexts] = true;
            g.texts.clear();
            enterFreeTexts(plot, con, f.page(), g.texts, band::kMaxFreeTexts, valueRefusal);
            break;
        case 7:
            g.flags[kFlagFermi] = true;
            askFermi(con, g.elow, g.ehigh, true, g.efermi, g.fermi_line);
            tlfrmi(plot, {f.frame(), g.elow, g.ehigh}, f.page(), {g.efermi, g.fermi_line});
            break;
        case 8:
            if (g.nshow >= 2) {
                tlsyml(con, g.line_pos, f.frame_w, g.nshow);
                redrawScreen(plot, con, g);
            }
            break;
        case 9:
            redrawScreen(plot, con, g);
            break;
        case 10:
            writeOutputFile(plot, con, g, screen, withDos);
            break;
        case 11: {
            if (Status saved = saveLayout(kLayoutFile, g); !saved)
                con.line(" " + saved.error());
            else
                kept = layoutText(g);
            break;
        }
        case 12:
            if (loadGraphLayout(plot, con, g)) kept = layoutText(g);
            break;
        case 13:
            askBandStyles(con, g);
            redrawScreen(plot, con, g);
            break;
        case 14:
            changeLegend(plot, con, g);
            break;
        case 15:
            changeCharacter(plot, con, g);
            break;
        }
    }
}

}  // namespace band
