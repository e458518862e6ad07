#include "dos/main/buffers.h"

#include <algorithm>
#include <cmath>

#include "common/console.h"
#include "common/format.h"
#include "common/plot.h"
#include "dos/main/drawing.h"

void initGraph(DosGraph& g, const DosInput& in) {
    g = DosGraph{};
    g.emin = in.egrid_low;
    g.emax = in.egrid_high;
    if (!(g.emax > g.emin)) {
        // a grid of one energy: an axis one unit either side of it
        g.emin -= 1.0f;
        g.emax += 1.0f;
    }
}

void resetBuffers(DosGraph& g) {
    g.nd = 0;
    g.nc = 0;
    g.dos_min = 1000.0f;
    g.dos_max = 0.0f;
    g.coop_max = 0.0f;
    for (CurveBuffer& b : g.buf) b.resetAttributes();
}

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

bool askComposition(Console& con, Plot& plot, const DosInput& in, DosGraph& g, Panel panel) {
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
    }
    return own;
}

LoadResult loadCurve(Console& con, const DosInput& in, DosGraph& g, Panel panel, int c,
                     const std::string& title, float requested_max, bool own_scale,
                     std::string& error) {
    if (g.count(panel) >= kBuffersPerPanel) return LoadResult::PanelFull;
    CurveValues values;
    if (!fetchCurve(in, c, values, error)) return LoadResult::Unreadable;
    float m = 1000.0f, M = requested_max;
    for (int i = 0; i < in.ne; ++i) {
        m = std::min(m, values[static_cast<size_t>(i)]);
        M = std::max(M, values[static_cast<size_t>(i)]);
    }
    if (panel == Panel::COOP) {
        M = std::max(M, std::fabs(m));
        m = -M;
    }
    if (!own_scale) {
        if (panel == Panel::DOS) {
            g.dos_max = std::max(g.dos_max, M);
            g.dos_min = std::min(g.dos_min, m);
        } else {
            g.coop_max = std::max(g.coop_max, M);
        }
    }
    int& n = panel == Panel::DOS ? g.nd : g.nc;
    const int number = DosGraph::first(panel) + n;
    CurveBuffer& b = g.buffer(number);
    b.values = values;
    b.curve = c;
    b.title = fmt::A(title, kTitleWidth);
    b.min = m;
    b.max = M;
    b.own_scale = own_scale;
    ++n;
    con.line();
    con.line(" " + b.title);
    con.line(std::string(panel == Panel::DOS ? " assigned to DOS curve buffer #"
                                             : " assigned to COOP curve buffer #") +
             fmt::I(number, 2));
    return LoadResult::Loaded;
}

void recomputeRange(DosGraph& g, Panel panel) {
    float lo = 1000.0f, hi = -1000.0f;
    for (int k = 0; k < g.count(panel); ++k) {
        const CurveBuffer& b = g.buffer(DosGraph::first(panel) + k);
        if (b.own_scale) continue;
        lo = std::min(lo, b.min);
        hi = std::max(hi, b.max);
    }
    if (panel == Panel::DOS) {
        g.dos_min = lo;
        g.dos_max = hi;
    } else {
        g.coop_max = hi;
    }
}

void deleteBuffer(DosGraph& g, int b) {
    const Panel panel = b <= kBuffersPerPanel ? Panel::DOS : Panel::COOP;
    int& n = panel == Panel::DOS ? g.nd : g.nc;
    const int last = DosGraph::first(panel) + n - 1;
    if (b < DosGraph::first(panel) || b > last) return;
    for (int k = b; k < last; ++k) g.buffer(k) = g.buffer(k + 1);
    g.buffer(last).resetAttributes();
    --n;
    recomputeRange(g, panel);
}

// "(1X,I2,1X,A72)"
static std::string listLine(int k, const std::string& title) {
    std::string s(1, ' ');
    s.append(fmt::I(k, 2)).append(1, ' ').append(fmt::A(title, kTitleWidth));
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
        for (int k = 9; k <= 8 + g.nc; ++k) con.line(listLine(k, g.buffer(k).title));
    }
}

int mvselc(Console& con, DosGraph& g, SelectMode mode) {
    static const char* const heading[4] = {
        " Select curve to close or open.", " Select curve for shading.",
        " Select curve for changing line attributes.", " Select curve buffer to delete."};
    con.line(heading[static_cast<int>(mode)]);
    std::string prompt;
    if (g.nd > 0 && g.nc > 0)
        prompt = " Enter buffer number (DOS, Energies: " + fmt::I(1, 1) + "-" + fmt::I(g.nd, 2) +
                 ", COOP: " + fmt::I(9, 1) + "-" + fmt::I(8 + g.nc, 2) + "): ";
    else if (g.nc > 0)
        prompt = " Enter buffer number (COOP: " + fmt::I(9, 2) + "-" + fmt::I(8 + g.nc, 2) + "): ";
    else
        prompt = " Enter buffer number (DOS, Energies: " + fmt::I(1, 1) + "-" + fmt::I(g.nd, 2) + "): ";
    const int b = static_cast<int>(con.askInt(prompt, 2, [&g](long v) {
        return (v >= 1 && v <= g.nd) || (v >= 9 && v <= 8 + g.nc);
    }));
    CurveBuffer& buf = g.buffer(b);
    switch (mode) {
    case SelectMode::CloseOpen:
        buf.closed = !buf.closed;
        break;
    case SelectMode::Shading:
        con.line(" Brush number of selected curve is " + fmt::I(buf.brush, 2) + ".");
        buf.brush = static_cast<int>(con.askInt(" Select new brush (0-" + fmt::I(kMaxBrush, 2) +
                                                    ", 0=no shading): ",
                                                2, [](long v) { return v >= 0 && v <= kMaxBrush; }));
        buf.closed = buf.brush >= 1;
        break;
    case SelectMode::LineType:
        con.line(" Line type number of selected curve is " + fmt::I(buf.line_type, 1) + ".");
        buf.line_type = static_cast<int>(con.askInt(" Enter line type (1-" + fmt::I(kMaxLineType, 1) + "): ",
                                                    2, [](long v) { return v >= 1 && v <= kMaxLineType; }));
        break;
    case SelectMode::Delete:
        deleteBuffer(g, b);
        break;
    }
    return b;
}
