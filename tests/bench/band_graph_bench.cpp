// Times the largest band graph: ten symmetry lines of 51 points and 1000
// bands with every annotation on, redrawn to /NULL and written as EPS.
// Runs in the current directory, which it fills with fort.2 and the output.
#include "bench_table.h"
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "band/core/graph.h"
#include "band/draw/frame.h"
#include "band/dialog/graph_menu.h"
#include "band/draw/redraw.h"
#include "common/fortran_format.h"
#include "common/plot.h"

using namespace common;
using namespace annotate;
using namespace band;

namespace {

constexpr int kLines = band::kMaxShown;
constexpr int kPoints = band::kGridPoints;
constexpr int kBands = band::kMaxBands;

bool writeBands(const std::string& path) {
    std::string s = fortran::I(kLines, 2) + "\n";
    s.reserve(static_cast<size_t>(kLines) * kPoints * kBands * 11 + 1000);
    for (int l = 1; l <= kLines; ++l) {
        s += fortran::I(kPoints, 3) + fortran::I(kBands, 4) + "\n";
        for (int b = 1; b <= kBands; ++b)
            for (int i = 1; i <= kPoints; ++i)
                s += fortran::F(-15.0 + 0.03 * b + 0.8 * std::cos(0.06 * (i + b + l)), 10, 5) + "\n";
    }
    std::ofstream out(path, std::ios::binary);
    out << s;
    return static_cast<bool>(out);
}

BandGraph largest() {
    BandGraph g;
    g.geom = FrameGeom::wide();
    g.nshow = kLines;
    equalLines(g.line_pos, g.geom.frame_w, kLines);
    g.elow = -15.0f;
    g.ehigh = 16.0f;
    g.range = g.ehigh - g.elow;
    g.border = true;
    for (int k = kFlagBorder; k <= kFlagFermi; ++k) g.flags[static_cast<size_t>(k)] = true;
    g.tics = TicRange{-15.0f, 16.0f, 0.5f, 2.0f};
    for (int i = 1; i <= kLines + 1; ++i) {
        g.tic_side[static_cast<size_t>(i)] = 3;
        g.labels[static_cast<size_t>(i)] = fortran::A(i % 2 ? "\\GAMMA" : "X \\sub 1 \\endsub", 80);
    }
    for (int i = 1; i <= kLines; ++i) g.titles[static_cast<size_t>(i)] = fortran::A("\\DELTA", 80);
    g.vtitle = fortran::A("Energy (eV)", 80);
    for (int i = 0; i < 20; ++i)
        g.texts.push_back(FreeText{fortran::A("K \\super 2 \\endsuper \\arrowup", 80), 0.2f + 0.03f * static_cast<float>(i),
                                   0.9f, 0.0f, i % 3});
    g.efermi = 0.0f;
    g.fermi_line = true;
    return g;
}

using Clock = std::chrono::steady_clock;

template <typename F>
double worstOf(int runs, F&& f) {
    double worst = 0;
    for (int r = 0; r < runs; ++r) {
        auto t0 = Clock::now();
        f();
        worst = std::max(worst, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return worst;
}


}  // namespace

int main() {
    if (!writeBands("fort.2")) {
        std::fprintf(stderr, " fort.2 could not be written\n");
        return 1;
    }
    BandGraph g = largest();
    CpgPlot plot;
    const int screen = plot.open("/NULL");
    if (screen <= 0) {
        std::fprintf(stderr, " /NULL could not be opened\n");
        return 1;
    }
    plot.slw(3);

    Status drawn;
    const double display = worstOf(5, [&] {
        plot.page();
        tlaxes(plot, g.geom.frame(), g.line_pos, g.nshow);
        if (Result<BandsFile> bands = readBandsFile("fort.2")) g.bands = std::move(*bands);
        drawn = tlband(plot, {g.geom.frame(), g.elow, g.ehigh}, g.line_pos, g.nshow, g.bands);
    });
    const double redraw = worstOf(5, [&] {
        plot.page();
        drawn = tlrdrw(plot, g);
    });
    if (!drawn) {
        std::fprintf(stderr, " bands not drawn in full: %s\n", drawn.error().c_str());
        return 1;
    }
    const std::string device = outputDevice(1, g.nshow);
    const double eps = worstOf(3, [&] {
        const int id = plot.open(device);
        if (id <= 0) return;
        plot.slct(id);
        plot.pap(8.267f, 1.0f);
        plot.slw(3);
        tlrdrw(plot, g);
        plot.clos();
        plot.slct(screen);
    });
    plot.end();
    std::ifstream epsFile("tarlisen.eps", std::ios::binary | std::ios::ate);
    const long epsBytes = epsFile ? static_cast<long>(epsFile.tellg()) : -1;

    bool ok = benchRow("band display to /NULL (frame, bands)", display, "s", 0.2);
    ok = benchRow("band redraw to /NULL, all annotations", redraw, "s", 0.2) && ok;
    ok = benchRow("band graph to tarlisen.eps", eps, "s", 0.5) && ok;
    memoryRow("band graph, peak memory");
    return ok && epsBytes > 0 ? 0 : 1;
}
