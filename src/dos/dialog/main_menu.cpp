#include "dos/dialog/main_menu.h"

#include <optional>

#include "common/console.h"
#include "common/fortran_format.h"
#include "common/plot.h"
#include "common/records.h"
#include "dos/dialog/graph_menu.h"
#include "dos/core/layout_file.h"
#include "dos/dialog/output.h"
#include "dos/core/buffers.h"
#include "dos/dialog/buffer_dialog.h"
#include "dos/draw/drawing.h"

namespace dos {

using namespace common;

std::vector<MenuEntry> buildMainMenu(const DosInput& in, const DosGraph& g) {
    std::vector<MenuEntry> m;
    auto add = [&m](MenuAction a, const std::string& text, const std::string& before = "") {
        const int n = static_cast<int>(m.size()) + 1;
        m.push_back({a, n, before + " (" + fortran::I(n, 2) + ") " + text});
    };
    auto projections = [](int n) { return " (" + fortran::I(n, 1) + " projection(s))"; };
    if (in.ntot != 0) {
        add(MenuAction::Dos, "Density of states");
        add(MenuAction::IntegratedDos, "Integrated density of states");
        add(MenuAction::TotalEnergy, "Total energy");
    }
    if (in.nao != 0) {
        add(MenuAction::AO, "AO contribution to DOS" + projections(in.nao));
        add(MenuAction::IntegratedAO, "Integrated AO contribution to DOS" + projections(in.nao));
    }
    if (in.nfmo != 0) {
        add(MenuAction::FMO, "FMO contribution to DOS" + projections(in.nfmo));
        add(MenuAction::IntegratedFMO, "Integrated FMO contribution to DOS" + projections(in.nfmo));
    }
    if (in.ncoop != 0) {
        add(MenuAction::COOP, "COOP" + projections(in.ncoop));
        add(MenuAction::IntegratedCOOP, "Integrated COOP" + projections(in.ncoop));
    }
    add(MenuAction::Modify, "Modify graph", "\n");
    if (g.nd + g.nc > 0) add(MenuAction::Delete, "Delete buffer");
    add(MenuAction::Output, "Generate outputfile");
    add(MenuAction::SaveLayout, "Save graph layout");
    add(MenuAction::LoadLayout, "Load graph layout");
    return m;
}

void printMainMenu(Console& con, const std::vector<MenuEntry>& menu) {
    con.line();
    con.line(" Main menu:");
    con.line();
    for (const MenuEntry& e : menu) con.line(e.text);
    con.line();
    con.line(" ( 0) Quit program");
    con.line();
}

std::optional<MenuAction> dispatch(const std::vector<MenuEntry>& menu, int s) {
    for (const MenuEntry& e : menu)
        if (e.number == s) return e.action;
    return std::nullopt;
}

int numberOf(const std::vector<MenuEntry>& menu, MenuAction a) {
    for (const MenuEntry& e : menu)
        if (e.action == a) return e.number;
    return -1;
}

int askProjection(Console& con, const DosInput& in, ProjKind kind) {
    static const char* const heading[3] = {" AO projection(s) of DOS:", " FMO projection(s) of DOS:",
                                           " COOP between:"};
    con.line();
    con.line(heading[static_cast<int>(kind)]);
    con.line();
    const int n = in.projections(kind);
    for (int p = 1; p <= n; ++p)
        for (int j = 1; j <= in.lineCount(kind, p); ++j)
            con.line((j == 1 ? " (" + fortran::I(p, 1) + ") " : std::string("     ")) +
                     fortran::A(in.description(kind, p, j), 75));
    con.line(" ");
    return static_cast<int>(con.askInt(" Selection: ", 1, [n](long v) { return v >= 1 && v <= n; }));
}

void requestCurve(Plot& plot, Console& con, const DosInput& in, DosGraph& g, const CurveRequest& request) {
    const Panel panel = request.panel;
    bool own = false;
    if (g.nd + g.nc > 0) own = askComposition(plot, con, in, g, panel);
    const Result<int> loaded = loadCurve(in, g, request, own);
    if (loaded) {
        con.line();
        con.line(" " + g.buffer(*loaded).title);
        con.line(std::string(panel == Panel::DOS ? " assigned to DOS curve buffer #"
                                                 : " assigned to COOP curve buffer #") +
                 fortran::I(*loaded, 2));
        mvplot(plot, in, g, panel);
        return;
    }
    con.line(" " + loaded.error());
    plot.page();
    mvrdrw(plot, in, g);
}

void deleteDialogue(Plot& plot, Console& con, const DosInput& in, DosGraph& g) {
    mvselc(con, g, SelectMode::Delete);
    if (g.nd == 0 && g.nc > 0) {
        g.coop_x = g.x0;
        g.coop_w = g.w0;
        g.sides[kSideMiddle] = 0;
    } else if (g.nd > 0 && g.nc == 0) {
        g.dos_x = g.x0;
        g.dos_w = g.w0;
        g.sides[kSideMiddle] = 0;
    }
    plot.page();
    if (g.nd + g.nc > 0) mvrdrw(plot, in, g);
}

namespace {

// Projection list, curve number, title and requested maximum of a projected curve.
void requestProjection(Plot& plot, Console& con, const DosInput& in, DosGraph& g, ProjKind kind,
                       bool integrated) {
    const int p = askProjection(con, in, kind);
    const int c = curveNumber(in, kind, p, integrated);
    float requested = 0.0f;
    if (integrated && kind == ProjKind::AO)
        requested = static_cast<float>(con.askReal(" Enter maximum of AO projected DOS curve: ", 10));
    if (integrated && kind == ProjKind::FMO)
        requested = static_cast<float>(con.askReal(" Enter maximum of FMO projected DOS curve: ", 10));
    requestCurve(plot, con, in, g, {kind == ProjKind::COOP ? Panel::COOP : Panel::DOS, c, requested});
}

}  // namespace

bool loadLayout(Plot& plot, Console& con, const DosInput& in, DosGraph& g, const std::string& path,
                int saveNumber) {
    auto file = RecordFile::load(path);
    if (!file) {
        con.line(" Layout file does not exist. First use option (" + fortran::I(saveNumber, 2) + ").");
        return false;
    }
    DosGraph loaded = g;
    if (Status read = parseLayout(*file, in, loaded); !read) {
        con.line(" " + read.error() + "; layout not loaded.");
        return false;
    }
    g = loaded;
    if (std::string off = framePlacement(g, path); !off.empty()) con.line(" " + off + ".");
    plot.page();
    mvrdrw(plot, in, g);
    return true;
}


namespace {

// The settings as fort.7 would keep them (or why it could not).
std::string layoutText(const DosGraph& g) {
    Result<std::string> text = formatLayout(g);
    return text ? *text : text.error();
}

// Leaving the program: a line when the settings changed since they were
// saved (or loaded), or, never saved, since the program started.
void sayUnsaved(Console& con, const DosGraph& g, const std::string& start, const std::optional<std::string>& kept,
                int saveNumber) {
    const std::string now = layoutText(g), option = "option " + std::to_string(saveNumber);
    if (kept && now != *kept)
        con.line(" The layout changed since it was last saved; " + option + " keeps it in fort.7.");
    else if (!kept && now != start)
        con.line(" The layout was not saved; " + option + " keeps it in fort.7 for the next run.");
}

}  // namespace

void runMainMenu(Plot& plot, Console& con, const DosInput& in, DosGraph& g, int screen,
                 const std::string& layout) {
    const std::string start = layoutText(g);
    std::optional<std::string> kept;  // the settings last saved or loaded
    for (;;) {
        const std::vector<MenuEntry> menu = buildMainMenu(in, g);
        printMainMenu(con, menu);
        const long last = static_cast<long>(menu.size());
        const int s = static_cast<int>(con.askInt(" Selection: ", 2, [last](long v) { return v >= 0 && v <= last; }));
        if (s == 0) {
            sayUnsaved(con, g, start, kept, numberOf(menu, MenuAction::SaveLayout));
            return;
        }
        const auto action = dispatch(menu, s);
        if (!action) continue;
        switch (*action) {
        case MenuAction::Dos:
        case MenuAction::IntegratedDos:
        case MenuAction::TotalEnergy: {
            const int c = s - numberOf(menu, MenuAction::Dos) + 1;
            requestCurve(plot, con, in, g, {Panel::DOS, c});
            break;
        }
        case MenuAction::AO:
        case MenuAction::IntegratedAO:
            requestProjection(plot, con, in, g, ProjKind::AO, *action == MenuAction::IntegratedAO);
            break;
        case MenuAction::FMO:
        case MenuAction::IntegratedFMO:
            requestProjection(plot, con, in, g, ProjKind::FMO, *action == MenuAction::IntegratedFMO);
            break;
        case MenuAction::COOP:
        case MenuAction::IntegratedCOOP:
            requestProjection(plot, con, in, g, ProjKind::COOP, *action == MenuAction::IntegratedCOOP);
            break;
        case MenuAction::Modify:
            if (g.nd + g.nc > 0) mvgrph(plot, con, in, g);
            break;
        case MenuAction::Delete:
            deleteDialogue(plot, con, in, g);
            break;
        case MenuAction::Output:
            generateOutput(plot, con, in, g, screen);
            break;
        case MenuAction::SaveLayout: {
            if (Status saved = saveLayout(layout, g); !saved) con.line(" " + saved.error());
            else kept = layoutText(g);
            break;
        }
        case MenuAction::LoadLayout:
            if (loadLayout(plot, con, in, g, layout, numberOf(menu, MenuAction::SaveLayout))) kept = layoutText(g);
            break;
        }
    }
}

}  // namespace dos
