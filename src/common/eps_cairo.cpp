// The drawing side of the replay: the shapes read from the EPS drawn on an
// SVG surface of the size of the box by cairo, or into an image of it in
// strips, the strokes with round ends by StrokeMask and the rest by cairo,
// the image written by PngEncoder; tuned for speed on pictures of many
// lines, mostly white. The PDF is written without cairo (eps_pdf.cpp):
// its paths are the EPS's.
#include <cairo-svg.h>
#include <cairo.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "common/eps_replay.h"
#include "common/png_encode.h"
#include "common/records.h"

namespace common {

namespace {

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
        cairo_set_line_width(cr, s.pen());
        cairo_set_line_cap(cr, capOf(s.cap));
        cairo_set_line_join(cr, joinOf(s.join));
        cairo_stroke(cr);
    }
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
    const double pen = s.fill ? 0 : s.pen();
    return {lo - pen, hi + pen};
}

// Where a point of the page lands in a strip of the PNG: pixels from the
// left of the box and from the top of the strip, y down.
struct StripPlace {
    double scale, x0, y1, top;
    double x(double px) const { return scale * (px - x0); }
    double y(double py) const { return scale * (y1 - py) - top; }
};

// Cuts the segment a-b to the rectangle [x0, x1] x [y0, y1] (Liang and
// Barsky); false when nothing of it is inside.
bool clipSegment(double& ax, double& ay, double& bx, double& by, double x0, double y0, double x1, double y1) {
    const double dx = bx - ax, dy = by - ay;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy}, q[4] = {ax - x0, x1 - ax, ay - y0, y1 - ay};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double cx = ax + t0 * dx, cy = ay + t0 * dy;
    bx = ax + t1 * dx;
    by = ay + t1 * dy;
    ax = cx;
    ay = cy;
    return true;
}

// A segment from a to b, in pixels, thickened by `reach`: with e a pixel
// centre less a, t = e.u is where it lies along the segment (0 at a, 1 at
// b); between the ends its distance is |e.n| across, beyond them the
// distance from the nearer end; it is covered clamp(reach - distance, 0,
// 1). A dot has no length: every pixel is nearest to a. A segment that
// goes on from the one before in its polyline leaves out its round start
// (`startCap` false): that one's round end covers the same disc.
struct Capsule {
    float ax, ay, dx, dy, reach;
    bool startCap;
    float ux = 0, uy = 0, nx = 0, ny = 0, along = -1;

    Capsule(float ax_, float ay_, float bx, float by, float reach_, bool startCap_)
        : ax(ax_), ay(ay_), dx(bx - ax_), dy(by - ay_), reach(reach_), startCap(startCap_) {
        const float length2 = dx * dx + dy * dy;
        if (length2 <= 1e-12f) return;
        const float length = std::sqrt(length2);
        ux = dx / length2, uy = dy / length2, nx = -dy / length, ny = dx / length, along = 0;
    }

    // The coverage of the pixels `from`...`from` + 7 of the row ey (from
    // a) as bytes, taken into `cover` where more.
    void eight(unsigned char* cover, int from, float ey) const {
#if defined(__SSE2__)
        const float x = static_cast<float>(from) + 0.5f - ax, t0 = x * ux + ey * uy + along, t7 = t0 + 7 * ux;
        __m128 low, high;
        if (std::min(t0, t7) >= 0 && std::max(t0, t7) <= 1) {
            // all eight beside the segment: the distance across, in 1/255
            // of a pixel, and no square root
            const __m128 step = _mm_set1_ps(255 * nx), four = _mm_mul_ps(step, _mm_set1_ps(4));
            const __m128 across = _mm_add_ps(_mm_set1_ps(255 * (x * nx + ey * ny)), _mm_mul_ps(step, _mm_setr_ps(0, 1, 2, 3)));
            const __m128 full = _mm_set1_ps(255 * reach + 0.5f), least = _mm_set1_ps(0.5f), most = _mm_set1_ps(255.5f);
            const __m128 sign = _mm_set1_ps(-0.0f);
            low = _mm_min_ps(_mm_max_ps(_mm_sub_ps(full, _mm_andnot_ps(sign, across)), least), most);
            high = _mm_min_ps(_mm_max_ps(_mm_sub_ps(full, _mm_andnot_ps(sign, _mm_add_ps(across, four))), least), most);
        } else {
            const __m128 ex = _mm_add_ps(_mm_set1_ps(x), _mm_setr_ps(0, 1, 2, 3));
            low = near(ex, ey);
            high = near(_mm_add_ps(ex, _mm_set1_ps(4)), ey);
        }
        __m128i v = _mm_packs_epi32(_mm_cvttps_epi32(low), _mm_cvttps_epi32(high));
        v = _mm_packus_epi16(v, v);
        const __m128i old = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cover + from));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(cover + from), _mm_max_epu8(v, old));
#else
        for (int k = 0; k < 8; ++k) {
            const float ex = static_cast<float>(from + k) + 0.5f - ax;
            const float t = ex * ux + ey * uy + along;
            float d = std::abs(ex * nx + ey * ny);
            if (t < 0 || t > 1) {
                const float s = std::clamp(t, 0.0f, 1.0f), qx = ex - s * dx, qy = ey - s * dy;
                d = std::sqrt(qx * qx + qy * qy);
            }
            const float c = t < 0 && !startCap ? 0.0f : std::clamp(reach - d, 0.0f, 1.0f);
            cover[from + k] = std::max(cover[from + k], static_cast<unsigned char>(c * 255 + 0.5f));
        }
#endif
    }

#if defined(__SSE2__)
    // The coverage of four pixels ex (from a) of the row ey near an end of
    // the segment, 0.5...255.5. The distance by the reciprocal square root's
    // estimate: within 4e-4 of itself, a thousandth of a grey level here.
    __m128 near(__m128 ex, float ey) const {
        const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1);
        const __m128 along4 = _mm_add_ps(_mm_mul_ps(ex, _mm_set1_ps(ux)), _mm_set1_ps(ey * uy + along));
        const __m128 t = _mm_min_ps(_mm_max_ps(along4, zero), one);
        const __m128 qx = _mm_sub_ps(ex, _mm_mul_ps(t, _mm_set1_ps(dx)));
        const __m128 qy = _mm_sub_ps(_mm_set1_ps(ey), _mm_mul_ps(t, _mm_set1_ps(dy)));
        const __m128 q2 = _mm_max_ps(_mm_add_ps(_mm_mul_ps(qx, qx), _mm_mul_ps(qy, qy)), _mm_set1_ps(1e-12f));
        const __m128 d = _mm_mul_ps(q2, _mm_rsqrt_ps(q2));
        __m128 c = _mm_min_ps(_mm_max_ps(_mm_sub_ps(_mm_set1_ps(reach), d), zero), one);
        if (!startCap) c = _mm_and_ps(c, _mm_cmpge_ps(along4, zero));
        return _mm_add_ps(_mm_mul_ps(c, _mm_set1_ps(255)), _mm_set1_ps(0.5f));
    }
#endif
};

// The first and the last pixel whose centre lies within an interval
// (clamped far off the strip).
int firstPixel(float x) {
    const float c = std::clamp(x - 0.5f, -1e6f, 1e6f);
    const int i = static_cast<int>(c);
    return i + (c > static_cast<float>(i));
}
int lastPixel(float x) {
    const float c = std::clamp(x - 0.5f, -1e6f, 1e6f);
    const int i = static_cast<int>(c);
    return i - (c < static_cast<float>(i));
}

// The strokes with round ends and joins of one colour gathered in a strip,
// as the coverage of each pixel (an A8 image the size of the strip), then
// put onto the strip at once in their colour. A round polyline of pen
// radius r is the union of its segments thickened by r; a pixel whose
// centre lies d from the nearest segment is covered clamp(r + 0.5 - d, 0, 1)
// (exact for a straight edge across the pixel), the union taking the most
// any segment covers. Only the box of pixels touched is put and cleared.
class StrokeMask {
public:
    StrokeMask(int width, int rows)
        // seven columns to spare: the last eight pixels done at once may pass the edge
        : surface_(cairo_image_surface_create(CAIRO_FORMAT_A8, width + 7, rows), cairo_surface_destroy),
          width_(width),
          rows_(rows) {
        stride_ = cairo_image_surface_get_stride(surface_.get());
        data_ = cairo_image_surface_get_data(surface_.get());
        clearBox();
    }
    cairo_status_t status() const { return cairo_surface_status(surface_.get()); }
    bool empty() const { return boxX0_ > boxX1_; }
    bool holds(const Shape& s) const { return red_ == s.red && green_ == s.green && blue_ == s.blue; }
    // the first and last row touched since the strip was begun
    int inkTop() const { return inkTop_; }
    int inkBottom() const { return inkBottom_; }
    void beginStrip() {
        inkTop_ = rows_;
        inkBottom_ = -1;
    }

    // Adds the stroke's coverage within the strip (its colour taken when
    // the mask is empty: put the mask first when the colour changes).
    void add(const Shape& s, const StripPlace& at) {
        if (empty()) red_ = s.red, green_ = s.green, blue_ = s.blue;
        const double reach = at.scale * s.pen() / 2 + 0.5;
        // a segment cut at this frame keeps all its ink inside the strip
        const double fx0 = -reach - 1, fy0 = -reach - 1, fx1 = width_ + reach + 1, fy1 = rows_ + reach + 1;
        double px = 0, py = 0;
        bool goesOn = false;  // the step before was a line too
        for (const PathStep& p : s.path) {
            const double x = at.x(p.x), y = at.y(p.y);
            const bool line = p.kind == PathStep::Line;
            if (line && std::max(py, y) >= fy0 && std::min(py, y) <= fy1) {
                double ax = px, ay = py, bx = x, by = y;
                if (std::isfinite(ax + ay + bx + by) && clipSegment(ax, ay, bx, by, fx0, fy0, fx1, fy1))
                    capsule(static_cast<float>(ax), static_cast<float>(ay), static_cast<float>(bx),
                            static_cast<float>(by), static_cast<float>(reach), !goesOn);
            }
            goesOn = line;
            px = x;
            py = y;
        }
    }

    // Puts the gathered strokes onto the strip in their colour and empties
    // the mask.
    void putOnto(cairo_t* cr) {
        if (empty()) return;
        const int w = boxX1_ - boxX0_ + 1, h = boxY1_ - boxY0_ + 1;
        cairo_surface_mark_dirty_rectangle(surface_.get(), boxX0_, boxY0_, w, h);
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_rectangle(cr, boxX0_, boxY0_, w, h);
        cairo_clip(cr);
        cairo_set_source_rgb(cr, red_, green_, blue_);
        cairo_mask_surface(cr, surface_.get(), 0, 0);
        cairo_restore(cr);
        cairo_surface_flush(surface_.get());
        for (int y = boxY0_; y <= boxY1_; ++y)
            std::memset(data_ + static_cast<size_t>(y) * static_cast<size_t>(stride_) + boxX0_, 0, static_cast<size_t>(w));
        inkTop_ = std::min(inkTop_, boxY0_);
        inkBottom_ = std::max(inkBottom_, boxY1_);
        clearBox();
    }

private:
    void clearBox() {
        boxX0_ = boxY0_ = std::numeric_limits<int>::max();
        boxX1_ = boxY1_ = -1;
    }

    // The coverage of one segment a-b thickened by `reach`, its ends inside
    // the frame of add(): row by row, eight pixels at a time, over the
    // pixels of its box that the line through a and b can reach there.
    void capsule(float ax, float ay, float bx, float by, float reach, bool startCap) {
        const Capsule cap(ax, ay, bx, by, reach, startCap);
        const float dx = bx - ax, dy = by - ay, length = std::sqrt(dx * dx + dy * dy);
        // along a row, the thick line is reach / sin wide about its middle
        const bool steep = std::abs(dy) * 1e3f > std::abs(dx);
        const float slope = steep ? dx / dy : 0, half = steep ? reach * length / std::abs(dy) : 0;
        const float left = std::min(ax, bx) - reach, right = std::max(ax, bx) + reach;
        // without its round start the segment's ink reaches past a only as
        // far as its straight side does: reach cos, the angle from the rows
        const float pastA = startCap || length == 0 ? reach : reach * std::abs(dx) / length;
        const int j0 = std::max(0, firstPixel(std::min(ay - pastA, by - reach)));
        const int j1 = std::min(rows_ - 1, lastPixel(std::max(ay + pastA, by + reach)));
        const int lastColumn = width_ - 1;
        const size_t stride = static_cast<size_t>(stride_);
        unsigned char* const data = data_;
        int x0 = boxX0_, x1 = boxX1_, y0 = rows_, y1 = -1;
        for (int j = j0; j <= j1; ++j) {
            const float ey = static_cast<float>(j) + 0.5f - ay;
            float lo = left, hi = right;
            if (steep) {
                const float mid = ax + ey * slope;
                lo = std::max(lo, mid - half);
                hi = std::min(hi, mid + half);
            }
            const int i0 = std::max(0, firstPixel(lo)), i1 = std::min(lastColumn, lastPixel(hi));
            if (i0 > i1) continue;
            unsigned char* row = data + static_cast<size_t>(j) * stride;
            int i = i0;
            for (; i <= i1; i += 8) cap.eight(row, i, ey);
            x0 = std::min(x0, i0);
            x1 = std::max(x1, i - 1);
            y0 = std::min(y0, j);
            y1 = j;
        }
        if (y0 > y1) return;
        boxX0_ = x0, boxX1_ = x1;
        boxY0_ = std::min(boxY0_, y0), boxY1_ = std::max(boxY1_, y1);
    }

    Surface surface_;
    int width_, rows_, stride_;
    unsigned char* data_;
    double red_ = 0, green_ = 0, blue_ = 0;
    int boxX0_, boxY0_, boxX1_, boxY1_;
    int inkTop_ = 0, inkBottom_ = -1;
};

std::string cairoTrouble(cairo_status_t status) { return std::string("cairo: ") + cairo_status_to_string(status); }

// Whether every shape is grey (black included): on white, the picture then
// has no other colour, anti-aliased edges too.
bool allGrey(const EpsPicture& picture) {
    return std::all_of(picture.shapes.begin(), picture.shapes.end(),
                       [](const Shape& s) { return s.red == s.green && s.green == s.blue; });
}

// The first and last row of a strip `rows` high that a shape drawn by
// cairo can touch, anti-aliasing included.
std::pair<int, int> rowsReached(std::pair<double, double> ink, const StripPlace& at, int rows) {
    const double top = std::clamp(std::floor(at.y(ink.second)) - 1, -1.0, static_cast<double>(rows));
    const double bottom = std::clamp(std::ceil(at.y(ink.first)) + 1, -1.0, static_cast<double>(rows));
    return {static_cast<int>(top), static_cast<int>(bottom)};
}

// The rows of a strip into the encoder: grey from the low byte of cairo's
// pixel word 0x00RRGGBB (every channel is the same), or red, green, blue;
// a row nothing was drawn on is white without being looked at.
void encodeStrip(PngEncoder& png, const unsigned char* data, int stride, int w, int rows, bool grey,
                 std::pair<int, int> ink) {
    for (int y = 0; y < rows; ++y) {
        if (y < ink.first || y > ink.second) {
            png.putWhiteRow();
            continue;
        }
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * static_cast<size_t>(stride));
        unsigned char* out = png.row();
        if (grey) {
            for (int x = 0; x < w; ++x) out[x] = static_cast<unsigned char>(pixels[x]);
        } else {
            for (int x = 0; x < w; ++x, out += 3) {
                out[0] = static_cast<unsigned char>(pixels[x] >> 16);
                out[1] = static_cast<unsigned char>(pixels[x] >> 8);
                out[2] = static_cast<unsigned char>(pixels[x]);
            }
        }
        png.putRow();
    }
}

// The picture as a PNG at 300 dpi, anti-aliased on white: 24-bit colour,
// or 8-bit grey when every shape is grey (the same pixels in a third of
// the bytes to encode). It is drawn in strips of rows, one small image
// used again for each, so that the pixels stay in the cache and every
// strip is encoded as soon as it is drawn; a shape is drawn only into the
// strips its ink reaches. The strokes with round ends and joins (all that
// PGPLOT strokes: lines, text, the frame) are drawn by StrokeMask, the
// rest (fills, circles, other ends) by cairo, its edges anti-aliased on
// its 4 x 4 grid ("fast": as ghostscript's 4 alpha bits, no different to
// the eye from the finer grid). PngEncoder writes the file as it goes.
Status writePng(const EpsPicture& picture, const std::string& path) {
    constexpr int kStripRows = 64;
    const double scale = kPngDotsPerInch / 72.0;
    const int w = pngPixels(picture.width()), h = pngPixels(picture.height());
    Surface strip(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, kStripRows), cairo_surface_destroy);
    StrokeMask strokes(w, kStripRows);
    for (cairo_status_t s : {cairo_surface_status(strip.get()), strokes.status()})
        if (s != CAIRO_STATUS_SUCCESS) return Failure{path + ": cannot be written (" + cairoTrouble(s) + ")"};
    Context cr(cairo_create(strip.get()), cairo_destroy);
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_FAST);
    const bool grey = allGrey(picture);
    std::vector<std::pair<double, double>> ink;
    std::vector<bool> round;
    ink.reserve(picture.shapes.size());
    for (const Shape& s : picture.shapes) {
        ink.push_back(inkRows(s));
        round.push_back(roundPolyline(s));
    }
    const int stride = cairo_image_surface_get_stride(strip.get());
    const unsigned char* data = cairo_image_surface_get_data(strip.get());

    using File = std::unique_ptr<FILE, decltype(&std::fclose)>;
    File f(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!f) return Failure{path + ": cannot be written (" + std::strerror(errno) + ")"};
    int trouble = 0;  // the errno of the first write that failed
    PngEncoder png(w, h, grey, kPngDotsPerInch, [&](std::string_view bytes) {
        if (!trouble && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) trouble = errno ? errno : EIO;
    });
    for (int top = 0; top < h; top += kStripRows) {
        cairo_identity_matrix(cr.get());
        cairo_set_source_rgb(cr.get(), 1, 1, 1);
        cairo_paint(cr.get());
        setPage(cr.get(), picture, scale, top);
        const StripPlace at{scale, picture.x0, picture.y1, static_cast<double>(top)};
        // the strip's rows in points, y up
        const double high = picture.y1 - top / scale, low = picture.y1 - (top + kStripRows) / scale;
        strokes.beginStrip();
        std::pair<int, int> painted{kStripRows, -1};
        for (size_t k = 0; k < picture.shapes.size(); ++k) {
            if (ink[k].second < low || ink[k].first > high) continue;
            const Shape& shape = picture.shapes[k];
            if (round[k]) {
                if (!strokes.holds(shape)) strokes.putOnto(cr.get());
                strokes.add(shape, at);
                continue;
            }
            strokes.putOnto(cr.get());
            drawShape(cr.get(), shape);
            const auto [first, last] = rowsReached(ink[k], at, kStripRows);
            painted = {std::min(painted.first, first), std::max(painted.second, last)};
        }
        strokes.putOnto(cr.get());
        if (const cairo_status_t s = cairo_status(cr.get()); s != CAIRO_STATUS_SUCCESS)
            return Failure{path + ": cannot be written (" + cairoTrouble(s) + ")"};
        cairo_surface_flush(strip.get());
        encodeStrip(png, data, stride, w, std::min(kStripRows, h - top), grey,
                    {std::min(painted.first, strokes.inkTop()), std::max(painted.second, strokes.inkBottom())});
    }
    png.finish();
    if (!trouble && std::fclose(f.release()) != 0) trouble = errno ? errno : EIO;
    if (trouble) return Failure{path + ": cannot be written (" + std::strerror(trouble) + ")"};
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

int pngPixels(double points) { return std::max(1, static_cast<int>(std::lround(points * kPngDotsPerInch / 72.0))); }

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
