// The bundled silicon band input, read once for the tests that fit it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "band/core/band_input.h"
#include "band/core/setup_file.h"

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

}  // namespace silicon_bands
