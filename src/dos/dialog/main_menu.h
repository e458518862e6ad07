// The DOS program's main line: start-up, the main menu built from the
// input's contents, projection lists, curve requests and deletion.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dos/core/buffers.h"
#include "dos/core/graph.h"
#include "common/fwd.h"

namespace dos {

enum class MenuAction {
    Dos, IntegratedDos, TotalEnergy,
    AO, IntegratedAO, FMO, IntegratedFMO, COOP, IntegratedCOOP,
    Modify, Delete, Output, SaveLayout, LoadLayout,
};

struct MenuEntry {
    MenuAction action;
    int number;        // as shown, 1 ...
    std::string text;  // the whole menu line
};

// The entries shown for this input and graph, numbered from 1 in order.
std::vector<MenuEntry> buildMainMenu(const DosInput& in, const DosGraph& g);
void printMainMenu(common::Console& con, const std::vector<MenuEntry>& menu);
// The action of selection s among the entries shown; none for 0 or a number
// not shown.
std::optional<MenuAction> dispatch(const std::vector<MenuEntry>& menu, int s);
// The number under which an action is shown, -1 when it is not.
int numberOf(const std::vector<MenuEntry>& menu, MenuAction a);

// The projection list of a kind; returns the projection chosen.
int askProjection(common::Console& con, const DosInput& in, ProjKind kind);

// A curve for a panel: the composition question when the graph holds
// buffers, loading, and drawing. A full panel or an unreadable curve is
// reported in one line and the whole graph is drawn again.
void requestCurve(common::Plot& plot, common::Console& con, const DosInput& in, DosGraph& g,
                  const CurveRequest& request);

// Deletes a buffer chosen by the user; a panel left alone takes the full width.
void deleteDialogue(common::Plot& plot, common::Console& con, const DosInput& in, DosGraph& g);

// The load dialogue: a missing file is reported with the menu number of
// "Save graph layout"; a refused file with its record; the graph is replaced
// and redrawn only when the whole file is good. True when loaded.
bool loadLayout(common::Plot& plot, common::Console& con, const DosInput& in, DosGraph& g, const std::string& path,
                int saveNumber);

// The menu loop until Quit. `layout` is the layout file's path.
void runMainMenu(common::Plot& plot, common::Console& con, const DosInput& in, DosGraph& g, int screen,
                 const std::string& layout);

}  // namespace dos
