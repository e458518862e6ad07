#include "annotate/legend.h"

#include <algorithm>
#include <array>
#include <string>

#include "annotate/markup.h"
#include "common/console.h"
#include "common/fortran_format.h"
#include "common/plot.h"

namespace annotate {

using namespace common;

namespace {

// Sizes of the legend in character heights.
constexpr float kPad = 0.5f;     // round the entries, inside the box
constexpr float kInset = 0.8f;   // between the box and the frame edges (clear of inward tics)
constexpr float kSample = 3.0f;  // length of a line sample: a dash pattern shows twice
constexpr float kGap = 0.6f;     // between the sample and its name
constexpr float kPitch = 1.6f;   // from one row to the next
constexpr float kColumnGap = 1.0f;  // from one column to the next
constexpr float kBelow = 4.5f;      // from the frames' bottom, below their numbers and axis titles

// The measures of the entries: the character height along x and along y,
// and the widest name; the box they take.
struct Measures {
    float hx = 1.0f / 40.0f, hy = 1.0f / 40.0f;
    float widest = 0;
    float width() const { return hx * (2 * kPad + kSample + kGap) + widest; }
    float depth(size_t rows) const { return hy * (2 * kPad + kPitch * static_cast<float>(rows) - (kPitch - 1.0f)); }
};

Measures measure(Plot& plot, const std::vector<LegendEntry>& entries) {
    Measures m;
    plot.sch(1.0f);  // the height tltrap writes with
    plot.qcs(m.hx, m.hy);
    for (const LegendEntry& e : entries)
        m.widest = std::max(m.widest, plot.len(fortran::trimRight(translateMarkup(e.text))));
    return m;
}

Box boxIn(const Box& frame, LegendCorner corner, const Measures& m, size_t rows) {
    const bool right = corner == LegendCorner::TopRight || corner == LegendCorner::BottomRight;
    const bool top = corner == LegendCorner::TopRight || corner == LegendCorner::TopLeft;
    const float w = m.width(), h = m.depth(rows), ix = kInset * m.hx, iy = kInset * m.hy;
    return {right ? frame.right() - ix - w : frame.x0 + ix, top ? frame.top() - iy - h : frame.y0 + iy, w, h};
}

// Where a legend may stand, in the order it is tried: the four corners,
// then places along the top, bottom, right and left edges in between.
std::vector<Box> placesAlongEdges(const Box& frame, const Measures& m, size_t rows) {
    std::vector<Box> places;
    for (LegendCorner c : {LegendCorner::TopRight, LegendCorner::TopLeft, LegendCorner::BottomRight,
                           LegendCorner::BottomLeft})
        places.push_back(boxIn(frame, c, m, rows));
    const Box tr = places[0], bl = places[3];
    constexpr int kSteps = 8;
    for (int k = 1; k < kSteps; ++k) {
        const float f = static_cast<float>(k) / kSteps;
        const float x = tr.x0 + f * (bl.x0 - tr.x0), y = tr.y0 + f * (bl.y0 - tr.y0);
        places.push_back({x, tr.y0, tr.w, tr.h});
        places.push_back({x, bl.y0, tr.w, tr.h});
        places.push_back({tr.x0, y, tr.w, tr.h});
        places.push_back({bl.x0, y, tr.w, tr.h});
    }
    return places;
}

// Whether the segment (ax, ay) - (bx, by) passes through the box: the part
// of it left after clipping to each edge in turn is not empty.
bool meets(const Box& b, float ax, float ay, float bx, float by) {
    float t0 = 0, t1 = 1;
    const float dx = bx - ax, dy = by - ay;
    const std::array<std::pair<float, float>, 4> edges = {
        std::pair{-dx, ax - b.x0}, {dx, b.right() - ax}, {-dy, ay - b.y0}, {dy, b.top() - ay}};
    for (auto [p, q] : edges) {
        if (p == 0) {
            if (q < 0) return false;
            continue;
        }
        const float t = q / p;
        if (p < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

// Draws the entries from the top left (x, top) of their box, `columns` a
// row, on the whole view surface.
void drawEntries(Plot& plot, const std::vector<LegendEntry>& entries, const Measures& m, float x, float top,
                 int columns) {
    const float hx = m.hx, hy = m.hy;
    plot.svp(0.0f, 1.0f, 0.0f, 1.0f);
    plot.swin(0.0f, 1.0f, 0.0f, 1.0f);
    plot.sclp(0);  // a legend below the frames may lie below a picture's shrunk view surface
    for (size_t k = 0; k < entries.size(); ++k) {
        const LegendEntry& e = entries[k];
        const auto column = static_cast<float>(k % static_cast<size_t>(columns));
        const auto row = static_cast<float>(k / static_cast<size_t>(columns));
        const float x1 = x + column * (m.width() + kColumnGap * hx) + kPad * hx, x2 = x1 + kSample * hx;
        const float y = top - (kPad + 0.5f + row * kPitch) * hy;  // the middle of the row
        if (e.fill > 0) {
            const float px[4] = {x1, x2, x2, x1}, py[4] = {y - 0.5f * hy, y - 0.5f * hy, y, y};
            plot.sfs(1);
            plot.sci(e.fill);
            plot.poly(4, px, py);
        }
        const float lx[2] = {x1, x2}, ly[2] = {y, y};
        plot.sci(e.colour);
        plot.slw(e.width);
        plot.sls(e.style);
        plot.line(2, lx, ly);
        plot.sci(1);
        plot.sls(1);
        plot.slw(3);  // the width of the frame and its texts
        tltrap(plot, e.text, x2 + kGap * hx, y - 0.35f * hy, 0.0f, 0);
    }
    plot.sclp(1);
}

}  // namespace

Trace traceOnPage(const Box& view, float x1, float x2, float y1, float y2, int n, const float* x, const float* y) {
    Trace t;
    const float sx = view.w / (x2 - x1), sy = view.h / (y2 - y1);
    for (int i = 0; i < n; ++i) {
        t.x.push_back(view.x0 + (x[i] - x1) * sx);
        t.y.push_back(view.y0 + (y[i] - y1) * sy);
    }
    return t;
}

Trace acrossFrame(const Box& frame, float y1, float y2, float y) {
    const float at = frame.y0 + (y - y1) * frame.h / (y2 - y1);
    return {{frame.x0, frame.right()}, {at, at}};
}

int segmentsIn(const Box& box, const std::vector<Trace>& traces) {
    int n = 0;
    for (const Trace& t : traces) {
        if (t.x.size() == 1 && meets(box, t.x[0], t.y[0], t.x[0], t.y[0])) ++n;
        for (size_t i = 1; i < t.x.size(); ++i)
            if (meets(box, t.x[i - 1], t.y[i - 1], t.x[i], t.y[i])) ++n;
    }
    return n;
}

std::optional<Box> legendBox(Plot& plot, const std::vector<LegendEntry>& entries, const Box& frame,
                             LegendCorner corner, const std::vector<Trace>& traces) {
    const Measures m = measure(plot, entries);
    if (m.width() + 2 * kInset * m.hx > frame.w || m.depth(entries.size()) + 2 * kInset * m.hy > frame.h)
        return std::nullopt;
    if (corner != LegendCorner::Free) return boxIn(frame, corner, m, entries.size());
    for (const Box& b : placesAlongEdges(frame, m, entries.size()))
        if (segmentsIn(b, traces) == 0) return b;
    return std::nullopt;
}

bool drawLegend(Plot& plot, const std::vector<LegendEntry>& entries, const Box& frame, LegendCorner corner,
                const std::vector<Trace>& traces) {
    if (entries.empty()) return true;
    const std::optional<Box> b = legendBox(plot, entries, frame, corner, traces);
    if (b) drawEntries(plot, entries, measure(plot, entries), b->x0, b->top(), 1);
    return b.has_value();
}

void drawLegendBelow(Plot& plot, const std::vector<LegendEntry>& entries, const Box& span) {
    if (entries.empty()) return;
    const Measures m = measure(plot, entries);
    const float pitch = m.width() + kColumnGap * m.hx;
    const int columns = std::clamp(static_cast<int>((span.w + kColumnGap * m.hx) / pitch), 1,
                                   static_cast<int>(entries.size()));
    drawEntries(plot, entries, m, span.x0, span.y0 - kBelow * m.hy, columns);
}

void askLegend(Console& con, LegendPlace& place) {
    con.line(" Legend: a line sample and the name of every kind of curve.");
    place.on = con.askYesNo(" Draw the legend (y/n)? ");
    if (!place.on) return;
    con.line(" Place: (0) where it covers no curve, (1) top right, (2) top left,");
    con.line("        (3) bottom left, (4) bottom right");
    place.corner = static_cast<LegendCorner>(
        con.askInt(" Place (0-4): ", 1, [](long v) { return v >= 0 && v <= kLegendCorners; }));
}

}  // namespace annotate
