#include "common/publication.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cmath>
#include <map>
#include <sstream>
#include <vector>

#include "common/console.h"
#include "common/page.h"
#include "common/records.h"

namespace common {

namespace {

const std::string kAtEnd = "(atend)";
// A title is one text line of the markup.

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// "%%Key: value" -> Key and value (value without its leading blank); false
// for any other line.
bool comment(const std::string& line, std::string& key, std::string& value) {
    if (line.rfind("%%", 0) != 0) return false;
    const auto colon = line.find(':');
    if (colon == std::string::npos) return false;
    key = line.substr(2, colon - 2);
    value = line.substr(colon + 1);
    if (!value.empty() && value.front() == ' ') value.erase(0, 1);
    return true;
}

}  // namespace

Result<std::string> boxInHeader(const std::string& eps, const std::string& name) {
    // Only the comments of the head and of the trailers are looked at; the
    // drawing between them (megabytes for a thousand bands) is copied as it is.
    constexpr size_t kEdge = 1 << 16;
    size_t headEnd = eps.size(), tailStart = eps.size();
    if (eps.size() > 4 * kEdge) {
        const size_t head = eps.find('\n', kEdge), tail = eps.rfind('\n', eps.size() - kEdge);
        // lines longer than the edges: the whole text is looked at
        if (head != std::string::npos && tail != std::string::npos && head < tail) {
            headEnd = head + 1;
            tailStart = tail + 1;
        }
    }
    std::vector<std::string> lines = splitLines(eps.substr(0, headEnd));
    const size_t middle = lines.size();
    for (std::string& l : splitLines(eps.substr(tailStart))) lines.push_back(std::move(l));

    std::string key, value;
    // The header ends at %%EndComments; what is deferred there (and in the
    // page set-up) takes the last value given further down.
    size_t endComments = lines.size();
    std::map<std::string, std::string> deferred;  // key -> value from the trailers
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "%%EndComments" && endComments == lines.size()) endComments = i;
        if (comment(lines[i], key, value) && value == kAtEnd) deferred[key];
    }
    bool boxDeferred = false, hiRes = false;
    for (size_t i = 0; i < endComments; ++i) {
        if (!comment(lines[i], key, value)) continue;
        if (key == "BoundingBox" && value == kAtEnd) boxDeferred = true;
        if (key == "HiResBoundingBox") hiRes = true;
    }
    if (!boxDeferred && deferred.empty() && hiRes) return eps;
    std::vector<bool> drop(lines.size(), false);
    for (auto& [k, v] : deferred) {
        bool found = false;
        for (size_t i = lines.size(); i-- > 0;) {
            if (!comment(lines[i], key, value) || key != k || value == kAtEnd) continue;
            if (!found) v = value;
            found = true;
            drop[i] = true;  // given once, in its place above
        }
        if (!found && k == "BoundingBox") return Failure{name + ": no bounding box in the trailer"};
        if (!found) v = kAtEnd;  // nothing to move: left as it stands
    }

    std::string out;
    out.reserve(eps.size() + 100);
    for (size_t i = 0; i <= lines.size(); ++i) {
        if (i == middle) out.append(eps, headEnd, tailStart - headEnd);
        if (i == lines.size()) break;
        if (drop[i]) continue;
        std::string line = lines[i];
        if (comment(line, key, value) && value == kAtEnd && deferred[key] != kAtEnd)
            line = "%%" + key + ": " + deferred[key];
        out += line;
        out += '\n';
        if (i < endComments && comment(line, key, value) && key == "BoundingBox" && !hiRes) {
            out += "%%HiResBoundingBox: " + value + "\n";
            hiRes = true;
        }
    }
    return out;
}

namespace {

// "%%Key: " lines of the head (up to the end of the page set-up) whose
// value is a box, and the numbers of the first of them.
bool readBox(const std::string& value, double box[4]) {
    std::istringstream in(value);
    return static_cast<bool>(in >> box[0] >> box[1] >> box[2] >> box[3]);
}

// Whole points, the box widened to them.
std::string boxText(const double box[4]) {
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += (i > 0 ? " " : "") + std::to_string(static_cast<long>(i < 2 ? std::floor(box[i]) : std::ceil(box[i])));
    return out;
}

}  // namespace

Result<std::string> uprightLandscape(const std::string& eps, const std::string& name) {
    // PGPLOT turns a landscape picture on a portrait page: "A B translate
    // 90 rotate" after a scale of 0.072 point a unit (a device unit is a
    // thousandth of an inch), so that a point (X, Y) of the picture lands at
    // (0.072 (A - Y), 0.072 (B + X)). "B B translate" instead puts it upright
    // at (0.072 (B + X), 0.072 (B + Y)): the box (x1 y1 x2 y2) becomes
    // (y1, K - x2, y2, K - x1) with K = 0.072 (A + B).
    const size_t setupEnd = eps.find("%%EndPageSetup");
    const size_t orientation = eps.find("%%Orientation: Landscape\n");
    if (orientation == std::string::npos || setupEnd == std::string::npos || orientation > setupEnd) return eps;
    const std::string turn = " translate 90 rotate\n";
    const size_t rotate = eps.find(turn);
    if (rotate == std::string::npos || rotate > setupEnd) return Failure{name + ": no landscape page set-up"};
    const size_t lineStart = eps.rfind('\n', rotate) + 1;
    double a = 0, b = 0;
    std::istringstream(eps.substr(lineStart, rotate - lineStart)) >> a >> b;
    const double k = 0.072 * (a + b);

    std::string out = eps.substr(0, lineStart);
    out += std::to_string(static_cast<long>(b)) + " " + std::to_string(static_cast<long>(b)) + " translate\n";
    out.append(eps, rotate + turn.size(), std::string::npos);
    // the head: the orientation and every box up to the page's own
    const size_t headEnd = out.find("%%PageBoundingBox");
    const size_t limit = headEnd == std::string::npos ? out.find("%%EndPageSetup") : out.find('\n', headEnd);
    std::vector<std::string> lines = splitLines(out.substr(0, limit + 1));
    std::string head, key, value;
    for (std::string& line : lines) {
        double box[4];
        if (line == "%%Orientation: Landscape") {
            line = "%%Orientation: Portrait";
        } else if (comment(line, key, value) && key.find("BoundingBox") != std::string::npos && readBox(value, box)) {
            const double upright[4] = {box[1], k - box[2], box[3], k - box[0]};
            line = "%%" + key + ": " + boxText(upright);
        }
        head += line + "\n";
    }
    return head + out.substr(limit + 1);
}

Status moveBoundingBoxToHeader(const std::string& path) {
    const std::optional<std::string> text = readWholeFile(path);
    if (!text) return Failure{path + ": cannot be read"};
    Result<std::string> fixed =
        boxInHeader(*text, path).and_then([&](const std::string& boxed) { return uprightLandscape(boxed, path); });
    if (!fixed) return fixed.failure();
    if (*fixed == *text) return {};
    return writeFileAtomic(path, *fixed);
}

std::string deviceFile(const std::string& device) { return device.substr(0, device.rfind('/')); }

std::string pictureFile(const std::string& eps, PictureKind kind) {
    const auto dot = eps.rfind('.');
    const std::string stem = dot == std::string::npos ? eps : eps.substr(0, dot);
    return stem + (kind == PictureKind::Pdf ? ".pdf" : kind == PictureKind::Png ? ".png" : ".svg");
}

Status renderEps(const std::string& eps, const std::string& out, PictureKind kind) {
    const std::optional<std::string> text = readWholeFile(eps);
    if (!text) return Failure{eps + ": cannot be read"};
    return readEps(*text, eps).and_then([&](const EpsPicture& picture) { return renderPicture(picture, out, kind); });
}

Status publishPostScript(const std::string& device, std::optional<PictureKind> convert) {
    const std::string eps = deviceFile(device);
    if (Status fixed = moveBoundingBoxToHeader(eps); !fixed) return fixed;
    if (!convert) return {};
    return renderEps(eps, pictureFile(eps, *convert), *convert);
}

void finishPostScript(Console& con, const std::string& device, std::optional<PictureKind> convert) {
    if (Status done = publishPostScript(device, convert); !done) con.line(" " + done.error());
}

std::optional<PictureFormat> pictureFormat(const std::string& path) {
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    // a suffix alone ("dir/.pdf") names no file
    if (dot == std::string::npos || dot == 0 || (slash != std::string::npos && dot <= slash + 1)) return std::nullopt;
    const std::string suffix = path.substr(dot);
    if (suffix == ".eps") return PictureFormat::Eps;
    if (suffix == ".plt") return PictureFormat::Hpgl;
    if (suffix == ".pdf") return PictureFormat::Pdf;
    if (suffix == ".png") return PictureFormat::Png;
    if (suffix == ".svg") return PictureFormat::Svg;
    return std::nullopt;
}

std::string deviceNamed(const std::string& menuDevice, const std::string& path) {
    const std::string file = deviceFile(menuDevice);
    const std::string type = menuDevice.substr(menuDevice.rfind('/'));
    const std::string stem = path.substr(0, path.rfind('.'));
    std::string device = stem + file.substr(file.rfind('.')) + type;
    while (!device.empty() && device.back() == ' ') device.pop_back();
    return device;
}

namespace {

// What is wrong with --width of a command line, or "".
std::string widthProblem(const CommandLine& args) {
    if (!args.has("--width")) return "";
    if (!args.has("--output")) return "--width goes with --output, which makes the picture";
    if (pictureFormat(args.value("--output")) == PictureFormat::Hpgl)
        return "--width makes EPS, PDF, PNG or SVG pictures; an HPGL file has no size of its own";
    double cm = 0;
    try {
        cm = args.real("--width");
    } catch (const UsageError& e) {
        return e.what();
    }
    if (!(cm >= kLeastWidthCm && cm <= kMostWidthCm))
        return "--width takes a width from 4 to 50 cm, not '" + args.value("--width") + "'";
    return "";
}

}  // namespace

ProgramStart checkPictureOption(const std::string& name, ProgramStart s,
                                std::ostream& err) {
    if (!s.run) return s;
    if (s.args.has("--output") && !pictureFormat(s.args.value("--output")))
        return usageError(name,
                          "--output takes a file ending in .eps, .plt, .pdf, .png or .svg, not '" + s.args.value("--output") +
                              "'",
                          err);
    if (const std::string why = widthProblem(s.args); !why.empty()) return usageError(name, why, err);
    if (s.args.has("--title") && !s.args.has("--output"))
        return usageError(name, "--title goes with --output, which makes the picture", err);
    if (const std::string why = titleProblem(s.args); !why.empty()) return usageError(name, why, err);
    return s;
}

std::string pictureTitle(const CommandLine& args) { return args.has("--title") ? args.value("--title") : ""; }

std::optional<double> pictureWidth(const CommandLine& args) {
    if (!args.has("--width")) return std::nullopt;
    return args.real("--width");
}

PictureSizes sizesForWidth(double drawnPoints, double cm, int thinnest, float content) {
    // PGPLOT's character height 1 is 1/40 of the square view surface; its
    // line width 1 is 1/200 inch
    constexpr double kHeightPoints = kPaperInches * 72.0 / 40.0;
    constexpr double kWidthPoints = 72.0 / 200.0;
    const double scale = cm / 2.54 * 72.0 / drawnPoints;
    const double leastUnits = kLeastLinePoints / (kWidthPoints * scale);
    PictureSizes sizes;
    // a hair over the sizes, so that rounding never puts them under
    sizes.text = static_cast<float>(1.005 * kTextPoints / (kHeightPoints * scale));
    // the thinnest stroke gets the least width (PGPLOT's least, one unit,
    // on a large picture), the others theirs in proportion
    sizes.line = static_cast<float>(1.005 * std::max(1.0, leastUnits) / std::max(1, thinnest));
    sizes.leastLine = std::max(1, static_cast<int>(std::ceil(leastUnits - 1e-9)));
    sizes.content = content;
    return sizes;
}

bool headBox(const std::string& eps, double box[4]) {
    const size_t end = eps.find("%%EndPageSetup");
    std::string key, value;
    bool found = false;
    for (const std::string& line : splitLines(eps.substr(0, end))) {
        if (!comment(line, key, value)) continue;
        if (key == "HiResBoundingBox" && readBox(value, box)) return true;
        if (key == "BoundingBox" && !found) found = readBox(value, box);
    }
    return found;
}

namespace {

std::string pointsText(double v, int decimals = 3) {
    std::ostringstream out;
    out.precision(decimals);
    out << std::fixed << v;
    return out.str();
}

}  // namespace

bool reachesSurfaceEdge(const std::string& eps) {
    double box[4];
    const size_t setupEnd = eps.find("%%EndPageSetup");
    const std::string pageScale = "0.072 0.072 scale\n";
    const size_t at = eps.find(pageScale);
    if (!headBox(eps, box) || at == std::string::npos || at > setupEnd) return false;
    // the page's origin, in PGPLOT's units (a thousandth of an inch), then
    // the square view surface from there
    double a = 0, b = 0;
    std::istringstream(eps.substr(at + pageScale.size(), 40)) >> a >> b;
    const double x0 = 0.072 * a, y0 = 0.072 * b, side = kPaperInches * 72.0;
    // PGPLOT's box is whole points, a point wider than the drawing
    constexpr double kSlack = 1.5;
    return box[0] < x0 + kSlack || box[1] < y0 + kSlack || box[2] > x0 + side - kSlack || box[3] > y0 + side - kSlack;
}

std::optional<double> boxWidth(const std::string& eps) {
    double box[4];
    if (!headBox(eps, box)) return std::nullopt;
    return box[2] - box[0];
}

Result<std::string> scaledToWidth(const std::string& eps, double cm, const std::string& name) {
    double box[4];
    if (!headBox(eps, box) || !(box[2] > box[0])) return Failure{name + ": no bounding box in the header"};
    const std::string pageScale = "\n0.072 0.072 scale\n";
    const size_t at = eps.find(pageScale);
    const size_t setupEnd = eps.find("%%EndPageSetup");
    if (at == std::string::npos || setupEnd == std::string::npos || at > setupEnd)
        return Failure{name + ": no page scale in the page set-up"};
    const double s = cm / 2.54 * 72.0 / (box[2] - box[0]);
    std::string head, key, value;
    for (std::string line : splitLines(eps.substr(0, at + 1))) {
        double b[4];
        if (comment(line, key, value) && key.find("BoundingBox") != std::string::npos && readBox(value, b)) {
            for (double& v : b) v *= s;
            if (key == "HiResBoundingBox") {
                line = "%%" + key + ": " + pointsText(b[0]) + " " + pointsText(b[1]) + " " + pointsText(b[2]) + " " +
                       pointsText(b[3]);
            } else {
                line = "%%" + key + ": " + boxText(b);
            }
        }
        head += line + "\n";
    }
    std::string rest = eps.substr(at + 1);
    // the page's own box, after the set-up, scales too
    const std::string setupLine = "%%EndPageSetup\n";
    const size_t page = rest.find(setupLine) + setupLine.size();
    if (rest.compare(page, 19, "%%PageBoundingBox: ") == 0) {
        const size_t lineEnd = rest.find('\n', page);
        double b[4];
        if (comment(rest.substr(page, lineEnd - page), key, value) && readBox(value, b)) {
            for (double& v : b) v *= s;
            rest.replace(page, lineEnd - page, "%%PageBoundingBox: " + boxText(b));
        }
    }
    return head + pointsText(s, 6) + " " + pointsText(s, 6) + " scale\n" + rest;
}

}  // namespace common
