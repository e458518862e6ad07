#include "dos/main/morvane.h"

#include "common/console.h"
#include "common/dialog.h"
#include "common/plot.h"
#include "common/records.h"
#include "dos/core/buffers.h"
#include "dos/dialog/main_menu.h"

namespace dos {

using namespace common;

int morvane(Plot& plot, Console& con, const std::string& input, const std::string& layout) {
    auto file = RecordFile::load(input);
    if (!file) {
        con.line(" Inputfile could not be opened.");
        return 1;
    }
    Result<DosInput> read = readDosInput(*file);
    if (!read) {
        con.line(" " + read.error());
        return 1;
    }
    const DosInput& in = *read;
    DosGraph g;
    initGraph(g, in);

    const int screen = startScreen(plot, con);

    con.line();
    con.line(" morvane: plots densities of states, their projections and COOP curves");
    con.line(" This program comes with ABSOLUTELY NO WARRANTY; without even the");
    con.line(" implied warranty of MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE.");
    con.line(" Check every picture against your data before you publish it;");
    con.line(" the authors accept no liability for its use.");

    return runDialogue(plot, con, [&] {
        runMainMenu(plot, con, in, g, screen, layout);
        return 0;
    });
}

}  // namespace dos
