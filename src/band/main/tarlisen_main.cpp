#include <iostream>
#include <optional>

#include "band/main/picture_output.h"
#include "band/main/tarlisen.h"
#include "common/console.h"
#include "common/plot.h"
#include "common/program_options.h"
#include "common/publication.h"

int main(int argc, char** argv) {
    const common::ProgramStart start = band::startTarlisen(common::argumentWords(argc, argv), std::cout, std::cerr);
    if (!start.run) return start.status;
    if (start.args.has("--export")) return band::writePictureData(start.args.value("--export"), std::cout, std::cerr);
    if (start.args.has("--output")) {
        common::CpgPlot plot;
        std::optional<std::string> dos;
        if (start.args.has("--dos")) dos = start.args.value("--dos");
        return band::drawPictureFile(plot, start.args.value("--output"), std::cout, std::cerr,
                                   common::pictureWidth(start.args), common::pictureTitle(start.args), dos);
    }
    std::optional<band::FitKind> fit;
    if (start.args.has("--fit"))
        fit = start.args.value("--fit") == "hermite" ? band::FitKind::hermite : band::FitKind::cosine;
    common::Console con(std::cin, std::cout);
    common::CpgPlot plot;
    return band::runTarlisen(plot, con, fit);
}
