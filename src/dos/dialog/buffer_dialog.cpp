#include "dos/dialog/buffer_dialog.h"

#include "annotate/looks.h"
#include "common/console.h"
#include "common/fortran_format.h"
#include "common/plot.h"
#include "dos/core/buffers.h"
#include "dos/draw/drawing.h"

namespace dos {

using namespace common;

namespace {

int askOneOf(Console& con, int n) {
    return static_cast<int>(con.askInt("\n Selection: ", 1, [n](long v) { return v >= 1 && v <= n; }));
}

// The panel that is asked for, and the other one.
Panel other(Panel p) { return p == Panel::DOS ? Panel::COOP : Panel::DOS; }

void setPanel(DosGraph& g, Panel p, float x, float w) {
    if (p == Panel::DOS) {
        g.dos_x = x;
        g.dos_w = w;
    } else {
        g.coop_x = x;
        g.coop_w = w;
    }
}

}  // namespace

bool askComposition(Plot& plot, Console& con, const DosInput& in, DosGraph& g, Panel panel) {
    const Panel first = other(panel);
    bool own = false;
    if (g.count(first) > 0 && g.count(panel) == 0) {
        con.line();
        con.line(" Create a new graph or append it to the existing  one?");
        con.line(" (1) Create new");
        con.line(" (2) Append");
        if (askOneOf(con, 2) == 2) {
            // the panel drawn first keeps the left half
            setPanel(g, first, g.x0, g.w0 / 2);
            setPanel(g, panel, g.x0 + g.w0 / 2, g.w0 / 2);
            plot.page();
            mvplot(plot, in, g, first);
        } else {
            plot.page();
            setPanel(g, panel, g.x0, g.w0);
            resetBuffers(g);
        }
    }
    if (g.count(panel) > 0) {
        con.line();
        con.line(" Create a new graph or overlay it to the existing one?");
        con.line(" (1) Create new");
        con.line(" (2) Overlay");
        con.line(" (3) Overlay with arbitrary axis scale");
        int s = askOneOf(con, 3);
        own = s == 3;
        if (s == 1) {
            setPanel(g, panel, g.x0, g.w0);
            resetBuffers(g);
        }
        if (s != 3) plot.page();
        // the page is clear: the other panel of an overlay is drawn again
        if (s == 2 && g.count(first) > 0) mvplot(plot, in, g, first);
    }
    return own;
}

// "(1X,I2,1X,A72)"
static std::string listLine(int k, const std::string& title) {
    std::string s(1, ' ');
    s.append(fortran::I(k, 2)).append(1, ' ').append(fortran::A(title, kTitleWidth));
    return s;
}

void mvlist(Console& con, const DosGraph& g) {
    if (g.nd > 0) {
        con.line();
        con.line(" DOS buffers:");
        con.line();
        for (int k = 1; k <= g.nd; ++k) con.line(listLine(k, g.buffer(k).title));
    }
    if (g.nc > 0) {
        con.line();
        con.line(" COOP buffers:");
        con.line();
        for (int k = DosGraph::first(Panel::COOP); k <= g.last(Panel::COOP); ++k)
            con.line(listLine(k, g.buffer(k).title));
    }
}

int mvselc(Console& con, DosGraph& g, SelectMode mode) {
    static const char* const heading[5] = {
        " Select curve to close or open.", " Select curve for shading.",
        " Select curve for changing line attributes.", " Select curve buffer to delete.",
        " Select curve for changing its colour and line width."};
    con.line(heading[static_cast<int>(mode)]);
    // "1-nd" and "9-(8 + nc)": the buffers in use in each panel
    const std::string dos = fortran::I(DosGraph::first(Panel::DOS), 1) + "-" + fortran::I(g.last(Panel::DOS), 2);
    auto coop = [&g](int w) {
        return fortran::I(DosGraph::first(Panel::COOP), w) + "-" + fortran::I(g.last(Panel::COOP), 2);
    };
    std::string prompt;
    if (g.nd > 0 && g.nc > 0)
        prompt = " Enter buffer number (DOS, Energies: " + dos + ", COOP: " + coop(1) + "): ";
    else if (g.nc > 0)
        prompt = " Enter buffer number (COOP: " + coop(2) + "): ";
    else
        prompt = " Enter buffer number (DOS, Energies: " + dos + "): ";
    const int b = static_cast<int>(con.askInt(prompt, 2, [&g](long v) { return g.inUse(v); }));
    CurveBuffer& buf = g.buffer(b);
    switch (mode) {
    case SelectMode::CloseOpen:
        buf.closed = !buf.closed;
        break;
    case SelectMode::Shading:
        con.line(" Brush number of selected curve is " + fortran::I(buf.brush, 2) + ".");
        buf.brush = static_cast<int>(con.askInt(" Select new brush (0-" + fortran::I(kMaxBrush, 2) +
                                                    ", 0=no shading): ",
                                                2, [](long v) { return v >= 0 && v <= kMaxBrush; }));
        buf.closed = buf.brush >= 1;
        break;
    case SelectMode::LineType:
        con.line(" Line type number of selected curve is " + fortran::I(buf.line_type, 1) + ".");
        buf.line_type = static_cast<int>(con.askInt(" Enter line type (1-" + fortran::I(kMaxLineType, 1) + "): ",
                                                    2, [](long v) { return v >= 1 && v <= kMaxLineType; }));
        break;
    case SelectMode::Delete:
        deleteBuffer(g, b);
        break;
    case SelectMode::Look:
        con.line(" Colour index of selected curve is " + fortran::I(buf.colour, 2) + ", line width " +
                 fortran::I(buf.width, 3) + ".");
        annotate::showColours(con);
        buf.colour = annotate::askColour(con);
        buf.width = annotate::askLineWidth(con);
        break;
    }
    return b;
}

}  // namespace dos
