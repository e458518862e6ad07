#include "common/dialog.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "common/console.h"
#include "common/error.h"
#include "common/fortran_format.h"
#include "common/page.h"
#include "common/plot.h"
#include "common/records.h"

namespace common {

int openScreen(Plot& plot, Console& con) {
    const char* env = std::getenv("PGPLOT_DEV");
    std::string device = (env && *env) ? env : "/XWINDOW";
    int id = plot.open(device);
    if (id > 0) return id;
    con.line(" Screen device " + device + " could not be opened; drawing goes to /NULL.");
    return plot.open("/NULL");
}

namespace {

bool parseTwoReals(const std::string& line, float& x, float& y) {
    std::string s = line;
    for (char& c : s)
        if (c == ',' || c == '\t') c = ' ';
    std::istringstream in(s);
    std::string a, b, extra;
    if (!(in >> a >> b) || (in >> extra)) return false;
    auto va = field::readReal(a);
    auto vb = field::readReal(b);
    if (!va || !vb) return false;
    x = static_cast<float>(*va);
    y = static_cast<float>(*vb);
    return true;
}
}  // namespace

void readCursor(Plot& plot, Console& con, float& x, float& y, char& ch) {
    // The instructions printed before must be visible while the program
    // waits for the key, also when the output goes through a pipe.
    con.out().flush();
    if (plot.hasCursor() && plot.curs(x, y, ch) == 1) return;
    for (;;) {
        con.prompt(" Cursor position (x, y): ");
        if (parseTwoReals(con.readLine(), x, y)) break;
    }
    ch = ' ';
}

int startScreen(Plot& plot, Console& con) {
    const int screen = openScreen(plot, con);
    plot.slct(screen);
    plot.ask(false);
    plot.scr(0, 1.0f, 1.0f, 1.0f);
    plot.scr(1, 0.0f, 0.0f, 0.0f);
    plot.pap(kScreenInches, 1.0f);
    plot.scf(kTextFont);
    return screen;
}

int runDialogue(Plot& plot, Console& con, const std::function<int()>& dialogue) {
    int status = 1;
    try {
        status = dialogue();
    } catch (const EndOfInput&) {
        con.line(" End of input.");
    }
    plot.end();
    return status;
}

int highestOption(const std::vector<std::string>& lines) {
    int highest = 0;
    for (const std::string& l : lines)
        for (size_t open = l.find('('); open != std::string::npos; open = l.find('(', open + 1)) {
            const size_t close = l.find(')', open);
            if (close == std::string::npos) break;
            const std::string inside = l.substr(open + 1, close - open - 1);
            if (inside.find_first_not_of(' ') == std::string::npos ||
                inside.find_first_not_of(" 0123456789") != std::string::npos)
                continue;
            if (auto n = field::readInt(inside)) highest = std::max(highest, static_cast<int>(*n));
        }
    return highest;
}

int askMenu(Console& con, const std::vector<std::string>& lines, int width, int lo, bool wholeMenuAgain) {
    const int hi = highestOption(lines);
    auto inRange = [lo, hi](long v) { return v >= lo && v <= hi; };
    for (;;) {
        for (const std::string& l : lines) con.line(l);
        if (!wholeMenuAgain) return static_cast<int>(con.askInt(" Selection: ", width, inRange));
        con.prompt(" Selection: ");
        auto v = field::readInt(field::columns(con.readLine(), width));
        if (v && inRange(*v)) return static_cast<int>(*v);
    }
}

std::pair<float, float> askRange(Console& con, const RangeQuestion& q) {
    for (;;) {
        if (q.beforeEach) q.beforeEach();
        const float lo = static_cast<float>(con.askReal(q.low, q.width));
        const float hi = static_cast<float>(con.askReal(q.high, q.width));
        if (!(hi > lo)) {
            if (q.refused) q.refused(lo, hi);
            continue;
        }
        const std::string why = q.refusal ? q.refusal(lo, hi) : std::string();
        if (why.empty()) return {lo, hi};
        con.line(why);
    }
}

bool acceptedUnless(Console& con, const std::string& why) {
    if (!why.empty()) con.line(why);
    return why.empty();
}

bool drawOnFileDevice(Plot& plot, const std::string& device, int screen, const std::function<void()>& draw) {
    const int id = plot.open(device);
    if (id > 0) {
        plot.slct(id);
        plot.pap(kPaperInches, 1.0f);
        draw();
        plot.clos();
    }
    plot.slct(screen);
    return id > 0;
}

namespace {

// Draws the picture on the file device once, with `sizes`; false when the
// device cannot be opened. `thinnest` gets the thinnest line width the
// picture asks for a stroke, `textCut` whether a text ran off the surface.
bool drawOnce(Plot& plot, const std::string& device, PictureSizes sizes, const std::function<void(Plot&)>& draw,
              int& thinnest, bool& textCut) {
    SizedPlot sized(plot, sizes);
    const int none = plot.open("/NULL");
    const bool written = drawOnFileDevice(plot, device, none, [&] {
        // the device's own height and width, before the drawing sets them
        sized.sch(1.0f);
        sized.slw(1);
        draw(sized);
    });
    plot.end();
    thinnest = sized.thinnestStroke();
    textCut = sized.textOffSurface();
    return written;
}

// The least share of the view surface the content keeps when text that
// grew for a small width would run off it: below it the width is refused.
constexpr float kLeastContent = 0.3f;
constexpr float kContentStep = 0.85f;

// Whether the sizes drawn give what the width needs: the text no smaller
// and at most 3 % larger, the lines no thinner.
bool settled(const PictureSizes& drawn, const PictureSizes& needed) {
    return drawn.text >= needed.text && drawn.text <= 1.03f * needed.text && drawn.line >= needed.line &&
           drawn.leastLine >= needed.leastLine;
}

// Draws the picture until its sizes suit the width its box gets, then
// scales the EPS to that width. The sizes depend on the box, which the text
// the sizes make changes a little: a few passes settle them. Text that runs
// off the view surface shrinks the content, never the text.
Status drawToWidth(Plot& plot, const std::string& device, double cm, const std::function<void(Plot&)>& draw) {
    const std::string eps = deviceFile(device);
    PictureSizes sizes;
    for (int pass = 1;; ++pass) {
        int thinnest = 0;
        bool textCut = false;
        if (!drawOnce(plot, device, sizes, draw, thinnest, textCut))
            return Failure{"output device " + device + " could not be opened"};
        if (Status boxed = moveBoundingBoxToHeader(eps); !boxed) return boxed;
        const std::optional<std::string> text = readWholeFile(eps);
        if (!text) return Failure{eps + ": cannot be read"};
        const std::optional<double> width = boxWidth(*text);
        if (!width || !(*width > 0)) return Failure{eps + ": nothing was drawn"};
        const bool cut = pass > 1 && (textCut || reachesSurfaceEdge(*text));
        if (cut && sizes.content * kContentStep < kLeastContent) {
            std::remove(eps.c_str());
            std::string w = fortran::F(cm, 6, 1);
            w.erase(0, w.find_first_not_of(' '));
            return Failure{"the lettering does not fit a picture " + w + " cm wide; a wider --width makes room for it"};
        }
        const PictureSizes needed =
            sizesForWidth(*width, cm, thinnest, cut ? sizes.content * kContentStep : sizes.content);
        if ((!cut && settled(sizes, needed)) || pass == 16) {
            return scaledToWidth(*text, cm, eps).and_then([&](const std::string& scaled) { return writeFileAtomic(eps, scaled); });
        }
        sizes = needed;
        sizes.text *= 1.01f;
        sizes.line *= 1.01f;
    }
}

// Draws the picture on the file device as it is, its EPS box into the header.
Status drawPlain(Plot& plot, const std::string& device, PictureFormat format, const std::function<void(Plot&)>& draw) {
    const int none = plot.open("/NULL");
    const bool written = drawOnFileDevice(plot, device, none, [&] { draw(plot); });
    plot.end();
    if (!written) return Failure{"output device " + device + " could not be opened"};
    if (format == PictureFormat::Hpgl) return {};
    const std::string eps = deviceFile(device);
    if (Status boxed = moveBoundingBoxToHeader(eps); !boxed) return boxed;
    const std::optional<std::string> text = readWholeFile(eps);
    if (!text) return Failure{eps + ": cannot be read"};
    const std::optional<double> width = boxWidth(*text);
    if (!width || !(*width > 0)) return Failure{eps + ": nothing was drawn"};
    return {};
}

// PGPLOT keeps a device's file name in 90 characters: a picture is drawn
// under a short name in a scratch folder of its own, removed with whatever
// is left in it, and moved to its place only when it is whole.
class ScratchFolder {
public:
    static Result<ScratchFolder> make() {
        std::string name = "/tmp/pictureXXXXXX";
        if (::mkdtemp(name.data()) == nullptr)
            return Failure{"no scratch folder for the picture in /tmp (" + std::string(std::strerror(errno)) + ")"};
        return ScratchFolder(name);
    }
    ScratchFolder(ScratchFolder&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ScratchFolder& operator=(ScratchFolder&&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    explicit ScratchFolder(std::filesystem::path p) : path_(std::move(p)) {}
    std::filesystem::path path_;
};

// Moves a finished file to its place: renamed, or copied whole where the
// place is on another file system.
Status moveFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    if (!ec) return {};
    const std::optional<std::string> text = readWholeFile(from);
    if (!text) return Failure{from + ": cannot be read"};
    return writeFileAtomic(to, *text);
}

std::string replacedAll(std::string text, const std::string& what, const std::string& by) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + by.size()))
        text.replace(at, what.size(), by);
    return text;
}

std::optional<PictureKind> convertedTo(PictureFormat format) {
    if (format == PictureFormat::Pdf) return PictureKind::Pdf;
    if (format == PictureFormat::Png) return PictureKind::Png;
    if (format == PictureFormat::Svg) return PictureKind::Svg;
    return std::nullopt;
}

}  // namespace

Status writePictureFile(Plot& plot, const std::string& device, PictureFormat format,
                        const std::function<void(Plot&)>& draw, std::optional<double> widthCm) {
    // PGPLOT would say so on standard output, in words of its own
    const std::string target = deviceFile(device);
    const std::filesystem::path dir = std::filesystem::path(target).parent_path();
    if (!dir.empty() && !std::filesystem::is_directory(dir))
        return Failure{target + " cannot be written: no directory " + dir.string()};
    if (widthCm && format == PictureFormat::Hpgl) return Failure{"an HPGL picture has no width to be made"};
    Result<ScratchFolder> scratch = ScratchFolder::make();
    if (!scratch) return Failure{scratch.error()};
    const std::string file = (scratch->path() / "picture").string() + target.substr(target.rfind('.'));
    const std::string drawn = file + device.substr(device.rfind('/'));
    // the messages name the files where the user will find them
    auto named = [&](const Status& s) -> Status {
        if (s) return s;
        return Failure{replacedAll(s.error(), file.substr(0, file.rfind('.')), target.substr(0, target.rfind('.')))};
    };
    if (Status made = widthCm ? drawToWidth(plot, drawn, *widthCm, draw) : drawPlain(plot, drawn, format, draw); !made)
        return named(made);
    const std::optional<PictureKind> kind = convertedTo(format);
    const Status published = kind ? publishPostScript(drawn, kind) : Status{};
    if (Status moved = moveFile(file, target); !moved) return moved;
    if (published && kind) {
        if (Status moved = moveFile(pictureFile(file, *kind), pictureFile(target, *kind)); !moved) return moved;
    }
    return named(published);
}

}  // namespace common
