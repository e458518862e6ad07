#include "band/main/picture_output.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <tuple>

#include "band/core/graph.h"
#include "band/core/layout_file.h"
#include "band/core/picture_data.h"
#include "band/dialog/graph_menu.h"
#include "band/draw/frame.h"
#include "band/draw/redraw.h"
#include "band/main/dos_beside.h"
#include "common/dialog.h"
#include "common/plot.h"
#include "common/publication.h"
#include "common/records.h"

namespace band {

using namespace common;

namespace {

const char* const kBandsFile = "fort.2";
const char* const kLayoutFile = "fort.15";

// The graph menu's output selection for a picture format.
int outputSelection(PictureFormat format) {
    switch (format) {
    case PictureFormat::Eps: return 1;
    case PictureFormat::Hpgl: return 2;
    case PictureFormat::Pdf: return 3;
    case PictureFormat::Png: return 4;
    case PictureFormat::Svg: return 6;
    }
    return 1;
}

// The lowest and highest energy of lines 1 ... n; a flat set of bands gets
// a window of 1 eV each side.
std::pair<float, float> energySpan(const BandsFile& bands, int n) {
    float lo = 0, hi = 0;
    bool any = false;
    for (int l = 0; l < n; ++l)
        for (float e : bands.lines[static_cast<size_t>(l)].e) {
            lo = any ? std::min(lo, e) : e;
            hi = any ? std::max(hi, e) : e;
            any = true;
        }
    if (!(hi > lo)) return {lo - 1.0f, hi + 1.0f};
    return {lo, hi};
}

// The graph the display draws when every question takes its default: all
// lines (as many as a graph shows), equal lengths; the energy window, which
// the display asks for, is the whole range of the bands.
BandGraph defaultGraph(BandsFile bands) {
    BandGraph g;
    g.nshow = std::min(bands.count, kMaxShown);
    g.bands = std::move(bands);
    g.geom = FrameGeom::forLines(g.nshow);
    if (g.nshow >= 2) {
        equalLines(g.line_pos, g.geom.frame_w, g.nshow);
    } else {
        g.geom.frame_w = g.geom.frame_w * 2.0f / 3.0f;
        g.line_pos[1] = 0.0f;
        g.line_pos[2] = g.geom.frame_w;
    }
    g.border = g.nshow >= 2;
    return g;
}

// fort.2 with the layout of fort.15, or the default graph; the failure
// names the file.
Result<BandGraph> storedGraph(std::ostream& out) {
    Result<BandsFile> bands = readBandsFile(kBandsFile);
    if (!bands) return Failure{bands.error()};
    if (bands->count <= 0) return Failure{std::string(kBandsFile) + ", record 1: no symmetry line to display"};
    std::optional<RecordFile> layout = RecordFile::load(kLayoutFile);
    if (!layout && std::filesystem::exists(kLayoutFile))
        return Failure{std::string(kLayoutFile) + " could not be opened"};
    BandGraph g;
    if (layout) {
        g.bands = std::move(*bands);
        if (Status loaded = loadLayout(*layout, g); !loaded) return Failure{loaded.error()};
        if (std::string off = framePlacement(g, kLayoutFile, true); !off.empty()) return Failure{off};
    } else {
        out << " No graph layout " << kLayoutFile << ": the frame and the bands over their whole energy range.\n";
        g = defaultGraph(std::move(*bands));
    }
    for (int l = 1; l <= g.nshow; ++l)
        if (std::string why = g.bands.missing(l, g.nshow); !why.empty()) return Failure{why};
    if (!layout) std::tie(g.elow, g.ehigh) = energySpan(g.bands, g.nshow);
    Result<BandCharacter> character = loadBandCharacter(g.bands.count);
    if (!character) return character.failure();
    g.character = std::move(*character);
    return g;
}

}  // namespace

int writePictureData(const std::string& file, std::ostream& out, std::ostream& err) {
    const Status written = storedGraph(out).and_then(
        [&](const BandGraph& g) { return writeFileAtomic(file, formatPictureData(g)); });
    if (written) return 0;
    err << "tarlisen: " << written.error() << "\n";
    return 1;
}

int drawPictureFile(Plot& plot, const std::string& file, std::ostream& out, std::ostream& err,
                    std::optional<double> widthCm, const std::string& title,
                    const std::optional<std::string>& dosDir) {
    const std::optional<PictureFormat> format = pictureFormat(file);
    Result<BandGraph> g = storedGraph(out);
    if (!g || !format) {
        err << "tarlisen: " << (g ? file + ": no picture format for this name" : g.error()) << "\n";
        return 1;
    }
    if (!title.empty()) g->picture_title = title;
    std::optional<dos::StoredDos> dos;
    if (dosDir) {
        Result<dos::StoredDos> loaded = loadDosBeside(*dosDir);
        if (!loaded) {
            err << "tarlisen: " << loaded.error() << "\n";
            return 1;
        }
        dos = std::move(*loaded);
        if (std::string line = fermiMismatch(*g, dos->graph); !line.empty()) out << line << "\n";
    }
    // the figure with a DOS is upright: the view surface holds both frames
    const std::string device = deviceNamed(outputDevice(outputSelection(*format), dos ? 1 : g->nshow), file);
    const Status made = writePictureFile(
        plot, device, *format,
        [&](Plot& on) {
            // the same line width and style as the output option gives
            on.slw(kLineWidth);
            on.sls(1);
            if (dos)
                (void)drawBandsWithDos(on, *g, *dos);
            else
                tlrdrw(on, *g);
        },
        widthCm);
    if (!made) {
        err << "tarlisen: " << made.error() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace band
