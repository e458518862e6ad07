// The PDF side of the replay: PDF paints with PostScript's own model
// (paths of moves, lines and curves, stroked or filled, in points with y
// up), so the shapes read from the EPS are written as one page's content
// stream directly, each step an operator, the pen set only where it
// changes. The stream is deflated at libdeflate's fastest level: its numbers
// repeat their leading digits, and a higher level costs several times the
// time for a few per cent of the size (measured on 200 bands).
#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "common/eps_replay.h"
#include "common/records.h"

namespace common {

namespace {

// A number to a thousandth, without trailing zeros ("12.5", "-3", "0.125").
void number(std::string& out, double v) {
    long long m = std::llround(v * 1000);
    if (m < 0) {
        out += '-';
        m = -m;
    }
    char digits[24];
    int n = 0;
    long long whole = m / 1000;
    do {
        digits[n++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole > 0);
    while (n > 0) out += digits[--n];
    int frac = static_cast<int>(m % 1000);
    if (frac == 0) return;
    out += '.';
    for (int scale = 100; frac > 0; scale /= 10) {
        out += static_cast<char>('0' + frac / scale);
        frac %= scale;
    }
}

// The page counts in hundredths of a point (its matrix scales them to
// points): a place is then two whole numbers, shorter to write and to
// deflate, and finer than PGPLOT's own unit of 0.072 point.
constexpr double kUnitsPerPoint = 100;

void point(std::string& out, double x, double y, const char* op) {
    char text[48];
    char* end = std::to_chars(text, text + 20, std::llround(x * kUnitsPerPoint)).ptr;
    *end++ = ' ';
    end = std::to_chars(end, text + sizeof text, std::llround(y * kUnitsPerPoint)).ptr;
    out.append(text, end);
    out += op;
}

// A whole circle as four Bezier quarters, from its rightmost point.
void circle(std::string& out, double x, double y, double r) {
    constexpr double k = 0.5522847498307936;  // 4 (sqrt 2 - 1) / 3
    const double c = k * r;
    point(out, x + r, y, " m\n");
    const double q[4][6] = {{x + r, y + c, x + c, y + r, x, y + r},
                            {x - c, y + r, x - r, y + c, x - r, y},
                            {x - r, y - c, x - c, y - r, x, y - r},
                            {x + c, y - r, x + r, y - c, x + r, y}};
    for (const auto& b : q) {
        point(out, b[0], b[1], " ");
        point(out, b[2], b[3], " ");
        point(out, b[4], b[5], " c\n");
    }
    out += "h\n";
}

// The pen and the paint as the stream has them, so that each is set only
// where it changes.
struct PageState {
    std::array<double, 3> stroke = {0, 0, 0}, fill = {0, 0, 0};
    double width = 1 / kUnitsPerPoint;  // in points
    int cap = 0, join = 0;
};

void colour(std::string& out, std::array<double, 3>& now, const Shape& s, const char* op) {
    const std::array<double, 3> wanted = {s.red, s.green, s.blue};
    if (now == wanted) return;
    now = wanted;
    // colours to 1/1000: PGPLOT's are whole 1/1024ths
    for (double c : now) {
        number(out, c);
        out += ' ';
    }
    out += op;
}

void shape(std::string& out, PageState& state, const Shape& s, double x0, double y0) {
    if (s.fill) {
        colour(out, state.fill, s, "rg\n");
    } else {
        colour(out, state.stroke, s, "RG\n");
        const double width = s.pen();
        if (width != state.width) {
            number(out, width * kUnitsPerPoint);
            out += " w\n";
            state.width = width;
        }
        if (s.cap != state.cap) out += std::to_string(state.cap = s.cap) + " J\n";
        if (s.join != state.join) out += std::to_string(state.join = s.join) + " j\n";
    }
    for (const PathStep& p : s.path) {
        switch (p.kind) {
        case PathStep::Move: point(out, p.x - x0, p.y - y0, " m\n"); break;
        case PathStep::Line: point(out, p.x - x0, p.y - y0, " l\n"); break;
        case PathStep::Close: out += "h\n"; break;
        case PathStep::Circle: circle(out, p.x - x0, p.y - y0, p.r); break;
        }
    }
    out += s.fill ? (s.evenOdd ? "f*\n" : "f\n") : "S\n";
}

std::string pageContent(const EpsPicture& picture) {
    size_t steps = 0;
    for (const Shape& s : picture.shapes) steps += s.path.size();
    std::string out;
    out.reserve(16 * steps + 64 * picture.shapes.size());
    // PDF's initial pen: black, one unit wide, butt caps, miter joins
    out += "0.01 0 0 0.01 0 0 cm\n";
    PageState state;
    for (const Shape& s : picture.shapes) shape(out, state, s, picture.x0, picture.y0);
    return out;
}

// The content deflated (a zlib stream, as /FlateDecode reads it), by
// libdeflate at its fastest level: twice as fast as zlib's and smaller.
Result<std::string> deflated(const std::string& content) {
    std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
        libdeflate_alloc_compressor(1), libdeflate_free_compressor);
    if (!compressor) return Failure{"its page could not be compressed (out of memory)"};
    std::string out(libdeflate_zlib_compress_bound(compressor.get(), content.size()), '\0');
    const size_t size = libdeflate_zlib_compress(compressor.get(), content.data(), content.size(), out.data(), out.size());
    if (size == 0) return Failure{"its page could not be compressed"};
    out.resize(size);
    return out;
}

}  // namespace

Result<std::string> pdfPage(const EpsPicture& picture) {
    const Result<std::string> compressed = deflated(pageContent(picture));
    if (!compressed) return compressed.failure();
    const std::string& stream = *compressed;
    std::string box;
    number(box, picture.width());
    box += ' ';
    number(box, picture.height());
    const std::string objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [ 3 0 R ] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [ 0 0 " + box + " ] /Resources << >> /Contents 4 0 R >>",
        "<< /Length " + std::to_string(stream.size()) + " /Filter /FlateDecode >>\nstream\n" + stream +
            "\nendstream",
    };
    // a binary comment after the version, as PDF asks of files with binary streams
    std::string pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    std::string xref = "xref\n0 5\n0000000000 65535 f \n";
    for (size_t i = 0; i < std::size(objects); ++i) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", pdf.size());
        xref += entry;
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t start = pdf.size();
    pdf += xref + "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + std::to_string(start) + "\n%%EOF\n";
    return pdf;
}

}  // namespace common
