#include "dos/main/morvane.h"

#include "common/console.h"
#include "common/dialog.h"
#include "common/plot.h"
#include "common/publication.h"
#include "common/program_options.h"
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

const std::string& morvaneUsage() {
    static const std::string text = std::string(
                                        "Usage: morvane\n"
                                        "       morvane --output FILE [--width CM] [--title TEXT]\n"
                                        "       morvane --help | --version\n"
                                        "\n"
                                        "Densities of states, their projections and COOP curves, drawn in a\n"
                                        "dialogue on standard input. In the current directory it reads the DOS\n"
                                        "input fort.1, keeps the graph layout in fort.7 and writes pictures to\n"
                                        "morvane.eps or morvane.plt.\n"
                                        "\n"
                                        "Options:\n"
                                        "  --output FILE   no dialogue: draw the curves of fort.1 with the layout of\n"
                                        "                  fort.7 to FILE, upright, and exit; its suffix picks the\n"
                                        "                  picture: .eps (colour PostScript), .plt (HPGL), .pdf,\n"
                                        "                  .png or .svg (drawn from the EPS beside them)\n"
                                        "  --width CM      with --output: make the picture CM centimetres wide\n"
                                        "                  (4 to 50; 8.5 for one journal column, 17 for two),\n"
                                        "                  text 8.5 pt and lines at least 0.5 pt at that width:\n"
                                        "                  the EPS box, the PDF and SVG page and the PNG at 300\n"
                                        "                  dpi; not for .plt\n"
                                        "  --title TEXT    with --output: TEXT (at most 80 characters, with the\n"
                                        "                  text markup of the labels) centred above the frame\n"
                                        "  --help          print this text\n"
                                        "  --version       print the version\n"
                                        "\n") +
                                    common::kScreenHelp;
    return text;
}

common::ProgramStart startMorvane(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    return common::checkPictureOption(
        "morvane",
        common::startProgram("morvane", morvaneUsage(), common::OptionSpec{{"--output", "--width", "--title"}, {}}, words, out, err), err);
}

}  // namespace dos
