#include "band/draw/frame.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/console.h"
#include "common/fortran_format.h"
#include "common/plot.h"
#include "common/records.h"

namespace band {

using namespace common;

void tlener(Console& con, float& emin, float& emax) {
    for (;;) {
        con.line();
        emin = static_cast<float>(con.askReal(" Minimum energy in eV: ", 10));
        emax = static_cast<float>(con.askReal(" Maximum energy in eV: ", 10));
        if (emin < emax) return;
        con.line();
        con.line(" Error: Maximum energy is lower than minimum.");
    }
}

void tlsyml(Console& con, LinePos& p, float w, int n) {
    con.line();
    con.line(" Symmetry line lengths can be input as relative ratios.");
    std::array<double, band::kMaxShown + 1> length{};
    double sum = 0;
    for (int l = 1; l <= n; ++l) {
        length[static_cast<size_t>(l)] = con.askReal(" Length of symmetry line " + fortran::I(l, 2) + ": ", 10,
                                                     [](double v) { return v > 0; });
        sum += length[static_cast<size_t>(l)];
    }
    const double scale = w / sum;
    double at = 0;
    p[1] = 0.0f;
    for (int l = 1; l <= n; ++l) {
        at += length[static_cast<size_t>(l)] * scale;
        p[static_cast<size_t>(l + 1)] = static_cast<float>(at);
    }
    p[static_cast<size_t>(n + 1)] = w;  // no rounding left over at the right edge
}

void equalLines(LinePos& p, float w, int n) {
    for (int i = 1; i <= n + 1; ++i)
        p[static_cast<size_t>(i)] = static_cast<float>(i - 1) * w / static_cast<float>(n);
}

void tlaxes(Plot& plot, float x0, float y0, const LinePos& p, float w, float h, int n) {
    plot.sci(1);
    plot.swin(0.0f, w, 0.0f, h);
    plot.svp(x0, x0 + w, y0, y0 + h);
    // The edges lie on the viewport's own edges, where rounding would clip
    // some of them away: they are drawn unclipped.
    plot.sclp(0);
    plot.move(0.0f, h);
    plot.draw(0.0f, 0.0f);
    plot.draw(w, 0.0f);
    if (n > 1) {  // a single line gets its right and top edges from the border
        plot.draw(w, h);
        plot.draw(0.0f, h);
        for (int j = 2; j <= n; ++j) {
            plot.move(p[static_cast<size_t>(j)], 0.0f);
            plot.draw(p[static_cast<size_t>(j)], h);
        }
    }
    plot.sclp(1);
}

namespace {

// One symmetry line of fort.2: NK points of NB bands, band by band.
struct LineBlock {
    int npts = 0;
    int nbands = 0;
    std::vector<float> e;  // e[(b - 1) * npts + (i - 1)]
};

// Reads the block whose header is record `rec`; on success `rec` moves past
// it. A header "(2I3)" holds NK and NB. A thousand bands do not fit three
// columns: when a digit follows in column 7 the count is read from columns
// 4 to 7.
bool readBlock(const RecordFile& f, size_t& rec, LineBlock& block, std::string& problem) {
    if (!f.has(rec)) return false;
    const std::string& head = f.record(rec);
    FieldCursor c(head);
    auto nk = c.I(3);
    const bool wide = head.size() > 6 && head[6] >= '0' && head[6] <= '9';
    auto nb = c.I(wide ? 4 : 3);
    if (!nk || !nb) {
        problem = f.where(rec, "unreadable line header");
        return false;
    }
    if (*nk < 1 || *nk > band::kGridPoints) {
        problem = f.where(rec, "number of points outside 1 ... " + std::to_string(band::kGridPoints));
        return false;
    }
    if (*nb < 0 || *nb > band::kMaxBands) {
        problem = f.where(rec, "number of bands outside 0 ... " + std::to_string(band::kMaxBands));
        return false;
    }
    block.npts = static_cast<int>(*nk);
    block.nbands = static_cast<int>(*nb);
    const size_t values = static_cast<size_t>(block.npts) * static_cast<size_t>(block.nbands);
    block.e.resize(values);
    for (size_t v = 0; v < values; ++v) {
        const size_t r = rec + 1 + v;  // band b, point i: header + (b - 1) NK + i
        if (!f.has(r)) {
            problem = f.where(r, "missing energy (file ends inside a line)");
            return false;
        }
        auto e = FieldCursor(f.record(r)).F(10, 5);
        if (!e) {
            problem = f.where(r, "unreadable energy");
            return false;
        }
        block.e[v] = static_cast<float>(*e);
    }
    rec += 1 + values;
    return true;
}

}  // namespace

void tlband(Plot& plot, float x0, float y0, const LinePos& p, float h, float emin, float emax,
            int n, int& draw_error, const std::string& path, std::string* problem) {
    draw_error = 0;
    std::string note;
    plot.sci(1);
    plot.slw(1);
    auto file = RecordFile::load(path);
    if (!file) {
        draw_error = 1;
        plot.slw(3);
        if (problem) *problem = path + " could not be opened";
        return;
    }
    // Record 1 holds the file's own line count; the drawing follows n.
    size_t rec = 2;
    if (!file->has(1) || !FieldCursor(file->record(1)).I(2))
        note = file->where(1, "unreadable number of symmetry lines");

    LineBlock block;
    std::array<float, band::kGridPoints> x{};
    for (int l = 1; l <= n && note.empty(); ++l) {
        if (!file->has(rec)) {
            note = file->where(rec, "ends after " + std::to_string(l - 1) + " of " + std::to_string(n) +
                                        " symmetry lines");
            break;
        }
        if (!readBlock(*file, rec, block, note)) break;
        if (block.npts < 2 || block.nbands == 0) continue;  // nothing to draw in this panel
        for (int i = 1; i <= block.npts; ++i) x[static_cast<size_t>(i - 1)] = static_cast<float>(i);
        plot.swin(1.0f, static_cast<float>(block.npts), emin, emax);
        plot.svp(x0 + p[static_cast<size_t>(l)], x0 + p[static_cast<size_t>(l + 1)], y0, y0 + h);
        for (int b = 1; b <= block.nbands; ++b)
            plot.line(block.npts, x.data(),
                      block.e.data() + static_cast<size_t>(b - 1) * static_cast<size_t>(block.npts));
    }
    plot.slw(3);
    if (problem) *problem = note;
}

}  // namespace band
