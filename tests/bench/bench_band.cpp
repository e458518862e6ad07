// Timing and memory of the band program's heavy steps on the largest input
// its tables hold: 10 lines of 11 k points, 1000 bands, all interpolated.
//
//   bench_band generate DIR   writes fort.1, fort.14 and a stored set-up fort.3
//   bench_band interp DIR     runs the interpolation pass there with each fit
//                             and reports
//
// Each step runs in its own process, so the peak memory reported is that of
// the step alone.
#include "bench_table.h"
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "band/core/interpolation.h"
#include "common/fortran_format.h"
#include "common/records.h"

using namespace common;
using namespace band;

namespace {

constexpr int kLines = 10;
constexpr int kPoints = 11;
constexpr int kBands = 1000;
constexpr double kTwoPi = 6.283185307179586;

bool write(const std::string& path, const std::string& text) {
    if (Status written = writeFileAtomic(path, text); !written) {
        std::fprintf(stderr, "%s\n", written.error().c_str());
        return false;
    }
    return true;
}

// Line l runs along kx from (0, 0.01 l, 0) to (1, 0.01 l, 0): x = kx / 2.
int generate(const std::string& dir) {
    std::string f1;
    f1.reserve(static_cast<size_t>(kLines * kPoints) * (kBands + 4) * 60);
    for (int l = 1; l <= kLines; ++l) {
        for (int i = 1; i <= kPoints; ++i) {
            const double kx = 0.1 * (i - 1);
            f1 += fortran::F(kx, 10, 7) + fortran::F(0.01 * l, 10, 7) + fortran::F(0.0, 10, 7) + "\n";
            f1 += fortran::I(l, 3) + fortran::I(1, 3) + fortran::I(1, 3) + std::string(27, ' ') + "\n";
            for (int m = 0; m < 2; ++m) f1 += std::string(36, ' ') + "\n";
            for (int b = 1; b <= kBands; ++b) {
                const double w = kTwoPi * (1 + b % 3);
                const double e = -20.0 + 0.04 * b + 0.3 * std::cos(w * kx / 2);
                const double g = -0.15 * w * std::sin(w * kx / 2);
                f1 += fortran::F(e, 10, 5) + fortran::F(g, 10, 5) + fortran::F(0.0, 10, 5) + fortran::F(0.0, 10, 5) + fortran::I(b, 4) +
                      fortran::I(1 + b % 3, 3) + std::string(27, ' ') + "\n";
            }
        }
    }
    std::string f3 = formatSetupCounts(kBands, 0, kBands);
    for (int l = 1; l <= kLines; ++l) {
        SetupBlock blk;
        blk.label = l;
        blk.nkl = kPoints;
        for (int i = 1; i <= kPoints; ++i) {
            blk.kfile.push_back((l - 1) * kPoints + i);
            // neighbouring bands cross between the fifth and sixth point
            std::vector<int> row(kBands);
            for (int b = 1; b <= kBands; ++b) row[static_cast<size_t>(b - 1)] = i < 6 ? b : (b % 2 ? b + 1 : b - 1);
            blk.order.push_back(row);
        }
        f3 += formatSetupBlock(blk, kBands);
    }
    const std::string f14 = fortran::I(kLines * kPoints, 6) + fortran::I(kBands, 6) + std::string(24, ' ') + "\n";
    return write(dir + "/fort.1", f1) && write(dir + "/fort.14", f14) && write(dir + "/fort.3", padRecordsTo80(f3))
               ? 0
               : 1;
}

double peakMB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// One interpolation pass with the given fit; its wall time, or a negative
// number when it did not write every line.
double timedPass(const std::string& dir, band::FitKind kind) {
    Report con;
    const auto t0 = std::chrono::steady_clock::now();
    common::Result<band::BfitSummary> s = band::bfit(kLines, kLines * kPoints, con, dir, kind);
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!s || s->written != kLines || !s->fallback.empty()) {
        std::fprintf(stderr, "interpolation failed: %d of %d lines written\n%s", s ? s->written : 0, kLines, con.text().c_str());
        return -1.0;
    }
    return secs;
}

// Both fits, each the best of five passes taken in turn; the Hermite pass
// must be no slower than the cosine one.
int interp(const std::string& dir) {
    double cosine = 1e30, hermite = 1e30;
    for (int round = 0; round < 5; ++round) {
        const double c = timedPass(dir, band::FitKind::cosine);
        const double h = timedPass(dir, band::FitKind::hermite);
        if (c < 0 || h < 0) return 1;
        cosine = std::min(cosine, c);
        hermite = std::min(hermite, h);
    }
    bool ok = benchRow("band interpolation, 10 lines x 1000 bands", cosine, "s", 0.3);
    ok = benchRow("band interpolation, Hermite fit (< cosine fit)", hermite, "s", cosine) && ok;
    ok = benchRow("band interpolation, peak memory", peakMB(), "MB", 64.0) && ok;
    return ok ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "generate") return generate(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "interp") return interp(argv[2]);
    std::fprintf(stderr, "usage: bench_band generate|interp DIR\n");
    return 64;
}
