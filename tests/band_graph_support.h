// Helpers of the band graph tests: a scratch directory that is the current
// directory while a test runs, hand-made fort.2 files, and settings records
// with the geometry the main flow sets.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "band/core/graph.h"
#include "band/draw/frame.h"
#include "common/console.h"
#include "common/fortran_format.h"
#include "fixtures.h"

using namespace common;
using namespace band;

namespace bandtest {

using InScratchDir = fixture::InScratchDir;

inline void writeText(const std::string& path, const std::string& text) { fixture::spit(path, text); }
inline std::string readText(const std::string& path) { return fixture::slurp(path); }

// fort.2 text: a header announcing `announced` lines, then one block per
// entry of `points` with `nbands` bands; band b at point i lies at
// b + 0.5 sin(i) (so every value differs).
inline std::string bandsText(int announced, const std::vector<int>& points, int nbands) {
    std::string s = fortran::I(announced, 2) + "\n";
    for (int np : points) {
        s += fortran::I(np, 3) + (nbands > 999 ? fortran::I(nbands, 4) : fortran::I(nbands, 3)) + "\n";
        for (int b = 1; b <= nbands; ++b)
            for (int i = 1; i <= np; ++i) s += fortran::F(b + 0.5 * std::sin(i), 10, 5) + "\n";
    }
    return s;
}

// Reads `path` and draws lines 1 ... n of it into g's frame, as a display
// does; returns what went wrong (nothing drawn when the file cannot be read).
inline std::string drawBands(Plot& plot, BandGraph& g, int n, const std::string& path = "fort.2") {
    Result<BandsFile> bands = readBandsFile(path);
    if (!bands) return bands.error();
    g.bands = *bands;
    Status drawn = tlband(plot, {g.geom.frame(), g.elow, g.ehigh}, g.line_pos, n, g.bands);
    return drawn ? std::string() : drawn.error();
}

// Settings as the main flow leaves them for n equal lines and -12 ... 8 eV,
// with the bands of `bands` when that file can be read.
inline BandGraph graphFor(int n, const std::string& bands = "fort.2") {
    BandGraph g;
    g.geom = n >= 4 ? FrameGeom::wide() : FrameGeom{};
    if (n <= 1) g.geom.frame_w = g.geom.frame_w * 2.0f / 3.0f;
    g.nshow = n;
    equalLines(g.line_pos, g.geom.frame_w, n);
    g.elow = -12.0f;
    g.ehigh = 8.0f;
    if (Result<BandsFile> file = readBandsFile(bands)) g.bands = *file;
    return g;
}

// A graph dialogue starts with the screen open (device 1).
struct Session : fixture::Session {
    explicit Session(const std::string& input) : fixture::Session(input, true) {}
};

// Index of the first call starting with `prefix` at or after `from`; -1 if none.
inline long findCall(const std::vector<std::string>& calls, const std::string& prefix, size_t from = 0) {
    for (size_t i = from; i < calls.size(); ++i)
        if (calls[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
    return -1;
}

}  // namespace bandtest
