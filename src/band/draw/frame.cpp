#include "band/draw/frame.h"

#include <algorithm>

#include "annotate/looks.h"
#include "band/draw/character.h"
#include "common/plot.h"

namespace band {

using namespace common;

void equalLines(LinePos& p, float w, int n) {
    for (int i = 1; i <= n + 1; ++i)
        p[i] = static_cast<float>(i - 1) * w / static_cast<float>(n);
}

void tlaxes(Plot& plot, const Box& frame, const LinePos& p, int n) {
    const float x0 = frame.x0, y0 = frame.y0, w = frame.w, h = frame.h;
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
            plot.move(p[j], 0.0f);
            plot.draw(p[j], h);
        }
    }
    plot.sclp(1);
}

std::vector<annotate::Trace> bandTraces(const annotate::EnergyFrame& frame, const LinePos& p, int n,
                                        const BandsFile& bands) {
    std::vector<annotate::Trace> traces;
    std::array<float, kGridPoints> x{};
    for (int l = 1; l <= n && bands.missing(l, n).empty(); ++l) {
        const BandLine& line = bands.lines[static_cast<size_t>(l - 1)];
        if (line.npts < 2) continue;
        for (int i = 1; i <= line.npts; ++i) x[i - 1] = static_cast<float>(i);
        const common::Box view{frame.box.x0 + p[l], frame.box.y0, p[l + 1] - p[l], frame.box.h};
        for (int b = 1; b <= line.nbands; ++b)
            traces.push_back(annotate::traceOnPage(view, 1.0f, static_cast<float>(line.npts), frame.emin, frame.emax,
                                                   line.npts, x.data(),
                                                   line.e.data() + static_cast<size_t>(b - 1) * static_cast<size_t>(line.npts)));
    }
    return traces;
}

Status tlband(Plot& plot, const annotate::EnergyFrame& frame, const LinePos& p, int n,
                   const BandsFile& bands, const BandLooks& looks, const BandCharacter* coloured) {
    const float x0 = frame.box.x0, y0 = frame.box.y0, h = frame.box.h, emin = frame.emin, emax = frame.emax;
    annotate::definePalette(plot);  // the looks may take its colours
    plot.sci(1);
    plot.slw(kLineWidth);
    BandStyle now{0, 0, 1, kLineWidth, 1};  // what is in force (the style is the caller's, full)
    std::array<float, kGridPoints> x{};
    std::string problem;
    BlendColours blends(plot);
    for (int l = 1; l <= n; ++l) {
        problem = bands.missing(l, n);
        if (!problem.empty()) break;
        const BandLine& line = bands.lines[static_cast<size_t>(l - 1)];
        if (line.npts < 2 || line.nbands == 0) continue;  // nothing to draw in this panel
        for (int i = 1; i <= line.npts; ++i) x[i - 1] = static_cast<float>(i);
        plot.swin(1.0f, static_cast<float>(line.npts), emin, emax);
        plot.svp(x0 + p[l], x0 + p[l + 1], y0, y0 + h);
        const LineCharacter* character = coloured ? coloured->line(l, line.npts, line.nbands) : nullptr;
        for (int b = 1; b <= line.nbands; ++b) {
            const BandStyle s = looks.of(l, b);
            if (s.colour != now.colour) plot.sci(s.colour);
            if (s.width != now.width) plot.slw(s.width);
            if (s.style != now.style) plot.sls(s.style);
            now = s;
            const float* e = line.e.data() + static_cast<size_t>(b - 1) * static_cast<size_t>(line.npts);
            if (character == nullptr) {
                plot.line(line.npts, x.data(), e);
                continue;
            }
            drawInCharacter(plot, blends, *character, b, x.data(), e);
            now.colour = 0;  // a blend's: set again for the next band
        }
    }
    if (now.colour != 1) plot.sci(1);
    if (now.style != 1) plot.sls(1);
    plot.slw(kLineWidth);
    if (!problem.empty()) return Failure{problem};
    return {};
}

}  // namespace band
