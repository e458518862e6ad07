#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "band/core/hermite.h"

using band::hermiteKnotsValid;
using band::hermiteSlope;
using band::hermiteValue;

// Through arbitrary data the curve takes each energy and slope at its k
// point, from either neighbouring interval; a cubic it reproduces
// everywhere, also beyond the end points.
TEST(Hermite, MeetsEnergiesAndSlopesAndIsExactOnACubic) {
    const std::vector<double> x{0.0, 0.03, 0.1, 0.17, 0.3, 0.5};
    const std::vector<double> e{-3.0, 1.5, 0.2, 7.0, -1.0, 2.5};
    const std::vector<double> d{4.0, 0.0, -11.0, 2.0, 30.0, -6.0};
    for (size_t i = 0; i < x.size(); ++i) {
        for (double eps : {0.0, -1e-12, 1e-12}) {
            EXPECT_NEAR(hermiteValue(x, e, d, x[i] + eps), e[i], 1e-9) << i;
            EXPECT_NEAR(hermiteSlope(x, e, d, x[i] + eps), d[i], 1e-6) << i;
        }
    }
    auto cubic = [](double t) { return 2.0 - 3.0 * t + 40.0 * t * t - 75.0 * t * t * t; };
    auto dcubic = [](double t) { return -3.0 + 80.0 * t - 225.0 * t * t; };
    std::vector<double> ce, cd;
    for (double t : x) {
        ce.push_back(cubic(t));
        cd.push_back(dcubic(t));
    }
    for (double t = -0.05; t <= 0.55; t += 0.01) {
        EXPECT_NEAR(hermiteValue(x, ce, cd, t), cubic(t), 1e-11) << t;
        EXPECT_NEAR(hermiteSlope(x, ce, cd, t), dcubic(t), 1e-9) << t;
    }
}

TEST(Hermite, KnotsMustRiseAlongTheLine) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<double>> bad{{}, {0.0}, {0.0, 0.0}, {0.0, 0.2, 0.1}, {0.0, nan, 0.5}};
    for (const auto& x : bad) EXPECT_FALSE(hermiteKnotsValid(x)) << x.size();
    EXPECT_TRUE(hermiteKnotsValid(std::vector<double>{0.0, 0.0001, 0.5}));
}
