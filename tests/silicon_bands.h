// The bundled silicon band input, read once for the tests that fit it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "band/core/band_input.h"
#include "band/core/setup_file.h"
#include "band/core/starter_layout.h"

using namespace common;
using namespace band;

namespace silicon_bands {

const std::string kExample = std::string(SOURCE_DIR) + "/examples/si-bands/";
// Block ordinals in fort.1 of the Γ-X line (ascending x) and of L-Γ.
const std::vector<int> kGammaX{32, 12, 35, 14, 1, 20, 30, 10, 31, 29, 16};
const std::vector<int> kLGamma{7, 18, 25, 5, 6, 26, 19, 28, 32};

inline const BandInput& silicon() {
    static BandInput in = [] {
        Result<BandInput> b = readBandInput(kExample + "fort.1", 36, 10);
        EXPECT_TRUE(b) << b.error();
        return b ? *b : BandInput{};
    }();
    return in;
}

// The starter layout of the example's path L-Γ-X-W-K-Γ (line lengths in
// k space), energies relative to the top of the valence bands.
inline StarterBands starter() {
    StarterBands s;
    s.labels = {"L", "\\GAMMA", "X", "W", "K", "\\GAMMA"};
    s.lengths = {0.866, 1.0, 0.5, 0.354, 1.061};
    s.emin = -13;
    s.emax = 9;
    return s;
}

}  // namespace silicon_bands
