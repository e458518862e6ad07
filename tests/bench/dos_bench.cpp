// Timing of the DOS program on the largest input it takes: 900 energies and
// every curve kind (3 total curves, 5 AO, 5 FMO and 5 COOP projections with
// their integrals). Run in a scratch directory; writes fort.1 and bench.eps.
#include "bench_table.h"
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "common/console.h"
#include "common/fortran_format.h"
#include "common/plot.h"
#include "common/records.h"
#include "dos/core/buffers.h"
#include "dos/draw/drawing.h"

using namespace common;
using namespace annotate;
using namespace dos;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

void writeInput(const std::string& path) {
    const int ne = kMaxEnergies, ncurves = curveCount(3, 5, 5, 5);
    std::ofstream out(path);
    out << fortran::I(3, 4) << fortran::I(5, 4) << fortran::I(5, 4) << fortran::I(5, 4) << fortran::I(ne, 4) << "\n";
    for (int k = 0; k < 3; ++k) out << "   2   2   2   2   2\n";
    for (int k = 0; k < 3; ++k)
        for (int p = 1; p <= 5; ++p)
            for (int j = 1; j <= 20; ++j) out << (j <= 2 ? "projection " + std::to_string(p) + " line " + std::to_string(j) : "") << "\n";
    for (int i = 1; i <= ne; ++i) out << fortran::F(-15.0 + 25.0 * (i - 1) / (ne - 1), 12, 5) << "\n";
    for (int c = 1; c <= ncurves; ++c)
        for (int i = 1; i <= ne; ++i) out << fortran::F(std::sin(0.01 * c * i) * c, 12, 5) << "\n";
}


}  // namespace

int main() {
    writeInput("fort.1");
    std::ostringstream sink;
    std::istringstream none;
    Console con(none, sink);

    // start-up: read and check the whole input
    const int reads = 20;
    DosInput in;
    auto t = Clock::now();
    for (int k = 0; k < reads; ++k) {
        auto file = RecordFile::load("fort.1");
        Result<DosInput> read = file ? readDosInput(*file) : Result<DosInput>(Failure{"fort.1 missing"});
        if (!read) {
            std::cerr << "bench: " << read.error() << "\n";
            return 1;
        }
        in = std::move(*read);
    }
    bool ok = benchRow("DOS start-up (read and check fort.1, NE 900)", msSince(t) / reads, "ms", 50);

    // loading: all 16 buffers, 8 DOS and 8 COOP curves
    DosGraph g;
    const int rounds = 50;
    t = Clock::now();
    for (int r = 0; r < rounds; ++r) {
        initGraph(g, in);
        for (int k = 0; k < kBuffersPerPanel; ++k) {
            loadCurve(in, g, {Panel::DOS, 1 + k}, false);
            const int coop = curveNumber(in, ProjKind::COOP, 1 + k % 5, k >= 5);
            loadCurve(in, g, {Panel::COOP, coop}, false);
        }
    }
    ok = benchRow("DOS curve load, per curve (16 buffers)", msSince(t) / (rounds * kBuffers), "ms", 5) && ok;
    g.dos_w = g.coop_w = g.w0 / 2;
    g.coop_x = g.x0 + g.w0 / 2;
    for (int b : {1, 3, 9}) {
        g.buffer(b).closed = true;
        g.buffer(b).brush = 2 + b % 5;
    }
    g.setFlag(kFlagBorder, true);
    g.setFlag(kFlagTics, true);
    g.energy_tics = TicRange{-15, 10, 1, 5};
    g.sides = {1, 3, 2, 0, 0, 0, 0};

    CpgPlot plot;
    const int screen = plot.open("/NULL");
    plot.slct(screen);
    plot.ask(false);
    const int redraws = 50;
    t = Clock::now();
    for (int k = 0; k < redraws; ++k) {
        plot.page();
        mvrdrw(plot, in, g);
    }
    ok = benchRow("DOS redraw to /NULL, 16 buffers", msSince(t) / redraws, "ms", 100) && ok;

    const int files = 10;
    t = Clock::now();
    for (int k = 0; k < files; ++k) {
        const int id = plot.open("bench.eps/VCPS");
        plot.slct(id);
        plot.pap(8.267f, 1.0f);
        mvrdrw(plot, in, g);
        plot.clos();
        plot.slct(screen);
    }
    ok = benchRow("DOS graph to morvane.eps", msSince(t) / files, "ms", 100) && ok;
    plot.end();

    memoryRow("DOS graph, peak memory");
    return ok ? 0 : 1;
}
