// The piecewise cubic Hermite curve of one band along a symmetry line: on
// every interval between neighbouring k points the cubic that takes the
// energies and the slopes dE/dx of both ends. It follows a band whose slope
// at a line end is not zero and needs no matrix. Double precision; pure
// functions.
#pragma once

#include <span>

namespace band {

// Where position `at` falls among the k points and the weights of the two
// end energies and end slopes of its interval:
// E(at) = h00 e[k] + h10 d[k] + h01 e[k+1] + h11 d[k+1]
// (the slope weights carry the interval length).
struct HermiteWeights {
    int k = 0;
    double h00 = 1.0, h10 = 0.0, h01 = 0.0, h11 = 0.0;
};

// At least two positions, each larger than the one before.
bool hermiteKnotsValid(std::span<const double> x);

// Weights of the value (slope = false) or of the slope dE/dx (slope = true)
// at `at`; outside x[0] ... x[n-1] the end interval's cubic goes on. x must
// pass hermiteKnotsValid.
HermiteWeights hermiteWeights(std::span<const double> x, double at, bool slope = false);

// The curve through energies e and slopes d at the positions the weights
// were made for.
inline double hermiteApply(const HermiteWeights& w, std::span<const double> e, std::span<const double> d) {
    const auto k = static_cast<size_t>(w.k);
    return w.h00 * e[k] + w.h10 * d[k] + w.h01 * e[k + 1] + w.h11 * d[k + 1];
}

inline double hermiteValue(std::span<const double> x, std::span<const double> e, std::span<const double> d,
                           double at) {
    return hermiteApply(hermiteWeights(x, at), e, d);
}

inline double hermiteSlope(std::span<const double> x, std::span<const double> e, std::span<const double> d,
                           double at) {
    return hermiteApply(hermiteWeights(x, at, true), e, d);
}

}  // namespace band
