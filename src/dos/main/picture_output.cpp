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

// The output menu's type for a picture format: EPS in colour, as PDF and
// PNG are made from.
int outputType(PictureFormat format) {
    switch (format) {
    case PictureFormat::Eps: return 2;
    case PictureFormat::Hpgl: return 3;
    case PictureFormat::Pdf: return 4;
    case PictureFormat::Png: return 5;
    }
    return 2;
}

Result<RecordFile> loadFile(const std::string& path) {
    std::optional<RecordFile> f = RecordFile::load(path);
    if (!f) return Failure{path + " could not be opened"};
    return std::move(*f);
}

}  // namespace

int drawPictureFile(Plot& plot, const std::string& input, const std::string& layout, const std::string& file,
                    std::ostream& err, std::optional<double> widthCm) {
    auto fail = [&err](const std::string& why) {
        err << "morvane: " << why << "\n";
        return 1;
    };
    const std::optional<PictureFormat> format = pictureFormat(file);
    if (!format) return fail(file + ": no picture format for this name");
    Result<RecordFile> inputFile = loadFile(input);
    if (!inputFile) return fail(inputFile.error());
    Result<DosInput> in = readDosInput(*inputFile);
    if (!in) return fail(in.error());
    Result<RecordFile> layoutFile = loadFile(layout);
    if (!layoutFile) return fail(layoutFile.error());
    DosGraph g;
    initGraph(g, *in);
    if (Status read = parseLayout(*layoutFile, *in, g); !read) return fail(read.error());
    if (std::string off = framePlacement(g, layout, true); !off.empty()) return fail(off);

    const std::string device = deviceNamed(outputDevice(outputType(*format), false), file);
    const Status made = writePictureFile(
        plot, device, *format, [&](Plot& on) { mvrdrw(on, *in, g); }, widthCm);
    if (!made) return fail(made.error());
    return 0;
}

}  // namespace dos
