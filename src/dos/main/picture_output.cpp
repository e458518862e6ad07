#include "dos/main/picture_output.h"

#include <ostream>

#include "common/dialog.h"
#include "common/publication.h"
#include "common/records.h"
#include "dos/core/layout_file.h"
#include "dos/dialog/output.h"
#include "dos/draw/drawing.h"

namespace dos {

using namespace common;

namespace {

// The output menu's type for a picture format: EPS in colour, as PDF, PNG
// and SVG are made from.
int outputType(PictureFormat format) {
    switch (format) {
    case PictureFormat::Eps: return 2;
    case PictureFormat::Hpgl: return 3;
    case PictureFormat::Pdf: return 4;
    case PictureFormat::Png: return 5;
    case PictureFormat::Svg: return 6;
    }
    return 2;
}

}  // namespace

int drawPictureFile(Plot& plot, const std::string& input, const std::string& layout, const std::string& file,
                    std::ostream& err, std::optional<double> widthCm, const std::string& title) {
    auto fail = [&err](const std::string& why) {
        err << "morvane: " << why << "\n";
        return 1;
    };
    const std::optional<PictureFormat> format = pictureFormat(file);
    if (!format) return fail(file + ": no picture format for this name");
    Result<StoredDos> stored = loadStoredDos(input, layout);
    if (!stored) return fail(stored.error());
    if (std::string off = framePlacement(stored->graph, layout, true); !off.empty()) return fail(off);
    if (!title.empty()) stored->graph.picture_title = title;

    const std::string device = deviceNamed(outputDevice(outputType(*format), false), file);
    const Status made = writePictureFile(
        plot, device, *format, [&](Plot& on) { mvrdrw(on, stored->in, stored->graph); }, widthCm);
    if (!made) return fail(made.error());
    return 0;
}

}  // namespace dos
