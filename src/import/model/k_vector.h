// The one vector of the importers and its algebra: a point of k space
// (Cartesian, or fractions of the reciprocal lattice vectors) or a lattice
// vector; a lattice as its three vectors, rows b1, b2, b3.
#pragma once

#include <array>
#include <cmath>

namespace importer {

using KVector = std::array<double, 3>;
using Lattice = std::array<KVector, 3>;

inline double dot(const KVector& a, const KVector& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline KVector minus(const KVector& a, const KVector& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

inline KVector cross(const KVector& a, const KVector& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

inline double norm(const KVector& a) { return std::sqrt(dot(a, a)); }

// |a - b|
inline double distance(const KVector& a, const KVector& b) { return norm(minus(a, b)); }

// m v, m by rows.
inline KVector times(const Lattice& m, const KVector& v) { return {dot(m[0], v), dot(m[1], v), dot(m[2], v)}; }

// f1 b1 + f2 b2 + f3 b3: fractions of the vectors of `b` as a Cartesian vector.
inline KVector cartesian(const KVector& f, const Lattice& b) {
    KVector k{};
    for (size_t j = 0; j < 3; ++j) k[j] = f[0] * b[0][j] + f[1] * b[1][j] + f[2] * b[2][j];
    return k;
}

// The reciprocal lattice vectors (2 pi included) of the lattice vectors `a`,
// which must span a volume.
inline Lattice reciprocalOf(const Lattice& a) {
    constexpr double kTwoPi = 6.283185307179586;
    const double volume = dot(a[0], cross(a[1], a[2]));
    Lattice b;
    for (size_t i = 0; i < 3; ++i) {
        b[i] = cross(a[(i + 1) % 3], a[(i + 2) % 3]);
        for (double& x : b[i]) x *= kTwoPi / volume;
    }
    return b;
}

}  // namespace importer
