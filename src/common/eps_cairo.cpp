// The cairo side of the replay: the shapes read from the EPS drawn on an
// SVG or image surface of the size of the box; the image written as PNG by
// libpng directly, tuned for speed on pictures that are mostly white. The
// PDF is written without cairo (eps_pdf.cpp): its paths are the EPS's.
#include <cairo-svg.h>
#include <cairo.h>
#include <png.h>
#include <zlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/eps_replay.h"
#include "common/records.h"

namespace common {

namespace {

constexpr double kDotsPerInch = 300;
// The thinnest line: PostScript's 0 width, one pixel at 300 dpi.
constexpr double kThinnestPoints = 72.0 / kDotsPerInch;

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void tracePath(cairo_t* cr, const std::vector<PathStep>& path) {
    for (const PathStep& p : path) {
        switch (p.kind) {
        case PathStep::Move: cairo_move_to(cr, p.x, p.y); break;
        case PathStep::Line: cairo_line_to(cr, p.x, p.y); break;
        case PathStep::Close: cairo_close_path(cr); break;
        case PathStep::Circle:
            cairo_new_sub_path(cr);
            cairo_arc(cr, p.x, p.y, p.r, 0, 2 * M_PI);
            break;
        }
    }
}

cairo_line_cap_t capOf(int cap) {
    return cap == 1 ? CAIRO_LINE_CAP_ROUND : cap == 2 ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_BUTT;
}
cairo_line_join_t joinOf(int join) {
    return join == 1 ? CAIRO_LINE_JOIN_ROUND : join == 2 ? CAIRO_LINE_JOIN_BEVEL : CAIRO_LINE_JOIN_MITER;
}

void drawShape(cairo_t* cr, const Shape& s) {
    cairo_set_source_rgb(cr, s.red, s.green, s.blue);
    tracePath(cr, s.path);
    if (s.fill) {
        cairo_set_fill_rule(cr, s.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_fill(cr);
    } else {
        cairo_set_line_width(cr, std::max(s.width, kThinnestPoints));
        cairo_set_line_cap(cr, capOf(s.cap));
        cairo_set_line_join(cr, joinOf(s.join));
        cairo_stroke(cr);
    }
}

// A stroke with round ends and joins drawn only where it reaches the rows
// from `low` to `high` (points, y up): the runs of its segments there, each
// with round ends. Round ends where a polyline is cut are the round joins
// it had, so the ink within the rows is the same, and a long curve is not
// traced again in full for every strip.
void drawStrokeWithin(cairo_t* cr, const Shape& s, double low, double high) {
    const double pen = std::max(s.width, kThinnestPoints);
    low -= pen;
    high += pen;
    cairo_set_source_rgb(cr, s.red, s.green, s.blue);
    bool inRun = false;
    for (size_t k = 1; k < s.path.size(); ++k) {
        const PathStep& p = s.path[k - 1];
        const PathStep& q = s.path[k];
        if (q.kind == PathStep::Move) {
            inRun = false;
            continue;
        }
        if (std::max(p.y, q.y) < low || std::min(p.y, q.y) > high) {
            inRun = false;
            continue;
        }
        if (!inRun) cairo_move_to(cr, p.x, p.y);
        cairo_line_to(cr, q.x, q.y);
        inRun = true;
    }
    cairo_set_line_width(cr, pen);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

// Whether a shape is a polyline with round ends and joins (what PGPLOT
// strokes), which can be drawn in pieces.
bool roundPolyline(const Shape& s) {
    if (s.fill || s.cap != 1 || s.join != 1) return false;
    for (const PathStep& p : s.path)
        if (p.kind != PathStep::Move && p.kind != PathStep::Line) return false;
    return true;
}

// The page of the box, `scale` device units to the point and its top
// `top` device units down, y down as cairo has it.
void setPage(cairo_t* cr, const EpsPicture& picture, double scale, double top) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, scale, 0, 0, -scale, -scale * picture.x0, scale * picture.y1 - top);
    cairo_set_matrix(cr, &m);
}

// The lowest and highest y of a shape's ink, in points.
std::pair<double, double> inkRows(const Shape& s) {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (const PathStep& p : s.path) {
        if (p.kind == PathStep::Close) continue;
        lo = std::min(lo, p.y - p.r);
        hi = std::max(hi, p.y + p.r);
    }
    const double pen = s.fill ? 0 : std::max(s.width, kThinnestPoints);
    return {lo - pen, hi + pen};
}

std::string cairoTrouble(cairo_status_t status) { return std::string("cairo: ") + cairo_status_to_string(status); }

// Runs `call` on libpng, which reports a failure by a long jump: it lands
// here (a function that sets a jump is never inlined), and comes back as
// false, the encoder then good only for destroying.
template <typename Call>
bool pngCall(png_structp png, const Call& call) {
    if (setjmp(png_jmpbuf(png))) return false;
    call();
    return true;
}

// Whether every shape is grey (black included): on white, the picture then
// has no other colour, anti-aliased edges too.
bool allGrey(const EpsPicture& picture) {
    return std::all_of(picture.shapes.begin(), picture.shapes.end(),
                       [](const Shape& s) { return s.red == s.green && s.green == s.blue; });
}

// The picture as a PNG at 300 dpi, anti-aliased on white: 24-bit colour,
// or 8-bit grey when every shape is grey (the same pixels in a third of
// the bytes to encode). It is drawn in strips of rows, one small image
// used again for each, so that the pixels stay in the cache and every
// strip is encoded as soon as it is drawn; a shape is drawn only into the
// strips its ink reaches. Edges are anti-aliased on cairo's 4 x 4 grid
// (its "fast" setting): as ghostscript's 4 alpha bits, no different to the
// eye from the finer grid and a third cheaper on dense curves (measured).
// The encoding takes the lowest zlib level with run lengths and no filter:
// the rows of white are long runs as they stand, and a filter would cost
// more than it saves (measured).
Status writePng(const EpsPicture& picture, const std::string& path) {
    constexpr int kStripRows = 64;
    const double scale = kDotsPerInch / 72.0;
    const int w = pngPixels(picture.width()), h = pngPixels(picture.height());
    Surface strip(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, kStripRows), cairo_surface_destroy);
    if (const cairo_status_t s = cairo_surface_status(strip.get()); s != CAIRO_STATUS_SUCCESS)
        return Failure{path + ": cannot be written (" + cairoTrouble(s) + ")"};
    Context cr(cairo_create(strip.get()), cairo_destroy);
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_FAST);
    const bool grey = allGrey(picture);
    std::vector<unsigned char> greyRow(grey ? static_cast<size_t>(w) : 0);
    std::vector<std::pair<double, double>> ink;
    ink.reserve(picture.shapes.size());
    for (const Shape& s : picture.shapes) ink.push_back(inkRows(s));
    const int stride = cairo_image_surface_get_stride(strip.get());
    const unsigned char* data = cairo_image_surface_get_data(strip.get());

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return Failure{path + ": cannot be written (" + std::strerror(errno) + ")"};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    auto failed = [&](const std::string& why) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(f);
        return Failure{path + ": cannot be written (" + why + ")"};
    };
    const bool begun = info && pngCall(png, [&] {
        png_init_io(png, f);
        png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                     grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        const auto perMetre = static_cast<png_uint_32>(std::lround(kDotsPerInch / 0.0254));
        png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
        png_set_compression_level(png, 1);
        png_set_compression_strategy(png, Z_RLE);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_write_info(png, info);
        // cairo keeps a pixel as one 32-bit word 0x00RRGGBB; in grey every
        // channel is the same, and the low byte of the word is taken
        const std::uint32_t probe = 1;
        unsigned char first = 0;
        std::memcpy(&first, &probe, 1);
        if (grey) return;
        if (first == 1) {
            png_set_bgr(png);
            png_set_filler(png, 0, PNG_FILLER_AFTER);
        } else {
            png_set_filler(png, 0, PNG_FILLER_BEFORE);
        }
    });
    if (!begun) return failed("PNG encoding failed");
    for (int top = 0; top < h; top += kStripRows) {
        cairo_identity_matrix(cr.get());
        cairo_set_source_rgb(cr.get(), 1, 1, 1);
        cairo_paint(cr.get());
        setPage(cr.get(), picture, scale, top);
        // the strip's rows in points, y up
        const double high = picture.y1 - top / scale, low = picture.y1 - (top + kStripRows) / scale;
        for (size_t k = 0; k < picture.shapes.size(); ++k) {
            if (ink[k].second < low || ink[k].first > high) continue;
            const Shape& shape = picture.shapes[k];
            if (roundPolyline(shape)) {
                drawStrokeWithin(cr.get(), shape, low, high);
            } else {
                drawShape(cr.get(), shape);
            }
        }
        if (const cairo_status_t s = cairo_status(cr.get()); s != CAIRO_STATUS_SUCCESS) return failed(cairoTrouble(s));
        cairo_surface_flush(strip.get());
        for (int y = 0; y < kStripRows && top + y < h; ++y) {
            const unsigned char* row = data + static_cast<size_t>(y) * static_cast<size_t>(stride);
            if (grey) {
                const auto* pixels = reinterpret_cast<const std::uint32_t*>(row);
                for (int x = 0; x < w; ++x) greyRow[static_cast<size_t>(x)] = static_cast<unsigned char>(pixels[x] & 0xff);
                row = greyRow.data();
            }
            if (!pngCall(png, [&] { png_write_row(png, row); })) return failed("PNG encoding failed");
        }
    }
    if (!pngCall(png, [&] { png_write_end(png, info); })) return failed("PNG encoding failed");
    png_destroy_write_struct(&png, &info);
    if (std::fclose(f) != 0) return Failure{path + ": cannot be written (" + std::strerror(errno) + ")"};
    return {};
}

// The SVG page of the box, its picture drawn on it.
Status writeSvg(const EpsPicture& picture, const std::string& path) {
    Surface surface(cairo_svg_surface_create(path.c_str(), picture.width(), picture.height()), cairo_surface_destroy);
    cairo_svg_surface_restrict_to_version(surface.get(), CAIRO_SVG_VERSION_1_1);
    if (const cairo_status_t s = cairo_surface_status(surface.get()); s != CAIRO_STATUS_SUCCESS)
        return Failure{path + ": cannot be written (" + cairoTrouble(s) + ")"};
    {
        Context cr(cairo_create(surface.get()), cairo_destroy);
        setPage(cr.get(), picture, 1, 0);
        for (const Shape& s : picture.shapes) drawShape(cr.get(), s);
        if (const cairo_status_t s = cairo_status(cr.get()); s != CAIRO_STATUS_SUCCESS)
            return Failure{path + ": cannot be written (" + cairoTrouble(s) + ")"};
    }
    cairo_surface_finish(surface.get());
    if (const cairo_status_t s = cairo_surface_status(surface.get()); s != CAIRO_STATUS_SUCCESS)
        return Failure{path + ": cannot be written (" + cairoTrouble(s) + ")"};
    return {};
}

}  // namespace

int pngPixels(double points) { return std::max(1, static_cast<int>(std::lround(points * kDotsPerInch / 72.0))); }

Status renderPicture(const EpsPicture& picture, const std::string& out, PictureKind kind) {
    if (kind == PictureKind::Pdf) {
        Result<std::string> pdf = pdfPage(picture);
        if (!pdf) return Failure{out + ": cannot be written (" + pdf.error() + ")"};
        return writeFileAtomic(out, *pdf);
    }
    const std::string tmp = out + ".tmp" + std::to_string(::getpid());
    Status made = kind == PictureKind::Png ? writePng(picture, tmp) : writeSvg(picture, tmp);
    if (made && std::rename(tmp.c_str(), out.c_str()) != 0)
        made = Failure{out + ": cannot be written (" + std::strerror(errno) + ")"};
    if (!made) {
        std::remove(tmp.c_str());
        // the complaint names the file the user asked for
        std::string why = made.error();
        if (why.rfind(tmp, 0) == 0) why.replace(0, tmp.size(), out);
        return Failure{why};
    }
    return {};
}

}  // namespace common
