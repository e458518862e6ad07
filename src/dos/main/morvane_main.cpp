// morvane: draws densities of states, their projections and COOP curves
// from the DOS input fort.1 in the current directory.
#include <iostream>

#include "common/console.h"
#include "common/plot.h"
#include "common/program_options.h"
#include "common/publication.h"
#include "dos/main/morvane.h"
#include "dos/main/picture_output.h"

int main(int argc, char** argv) {
    const common::ProgramStart start = dos::startMorvane(common::argumentWords(argc, argv), std::cout, std::cerr);
    if (!start.run) return start.status;
    if (start.args.has("--output")) {
        common::CpgPlot plot;
        return dos::drawPictureFile(plot, "fort.1", "fort.7", start.args.value("--output"), std::cerr,
                                   common::pictureWidth(start.args), common::pictureTitle(start.args));
    }
    std::ios::sync_with_stdio(false);
    common::Console con(std::cin, std::cout);
    common::CpgPlot plot;
    const int status = dos::morvane(plot, con, "fort.1", "fort.7");
    std::cout.flush();
    return status;
}
