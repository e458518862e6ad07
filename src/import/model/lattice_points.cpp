#include "import/model/lattice_points.h"

#include "import/model/k_vector.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace importer {

namespace {

using Vec = KVector;
using Matrix = importer::Lattice;  // by rows

// Coordinates agree within this, in 2 pi / alat (Quantum ESPRESSO writes six decimals).
constexpr double kTolerance = 1e-4;
constexpr double kRoot3 = std::numbers::sqrt3;

// The point groups: the cubic one, and those about the z axis of the
// layered lattices.
enum class Holohedry { cubic, hexagonal, tetragonal };

// m-3m: every signed permutation of the axes; 4/mmm: those that keep z.
// 6/mmm: the turns by 60 degrees about z, each with or without the mirror
// y -> -y, each with or without z -> -z.
std::vector<Matrix> pointGroup(Holohedry holohedry) {
    std::vector<Matrix> group;
    if (holohedry == Holohedry::hexagonal) {
        for (int turn = 0; turn < 6; ++turn) {
            const double c = std::cos(turn * std::numbers::pi / 3), s = std::sin(turn * std::numbers::pi / 3);
            for (double flip : {1.0, -1.0})
                for (double up : {1.0, -1.0})
                    group.push_back({Vec{c, -s * flip, 0}, Vec{s, c * flip, 0}, Vec{0, 0, up}});
        }
        return group;
    }
    std::array<int, 3> axes{0, 1, 2};
    do {
        if (holohedry == Holohedry::tetragonal && axes[2] != 2) continue;
        for (int signs = 0; signs < 8; ++signs) {
            Matrix m{};
            for (int i = 0; i < 3; ++i) m[i][axes[i]] = (signs >> i & 1) ? -1.0 : 1.0;
            group.push_back(m);
        }
    } while (std::next_permutation(axes.begin(), axes.end()));
    return group;
}

struct StandardPoint {
    const char* name;
    Vec k;            // 2 pi / a
    bool raised;      // lifted to kz = h, the height of A or Z
};

struct KnownLattice {
    const char* name;
    Holohedry holohedry;
    // Direct lattice vectors in units of a; a layered lattice's third one,
    // (0, 0, c/a), follows from the height h = a / (2c).
    Matrix direct;
    std::vector<StandardPoint> points;
    bool layered() const { return holohedry != Holohedry::cubic; }
};

// In the order they are tried. The direct vectors are pw.x's (ibrav 2, 3,
// 1, 4, 6), and the hexagonal lattice once more turned by 90 degrees.
const std::vector<KnownLattice>& lattices() {
    static const std::vector<KnownLattice> table = {
        {"face-centred cubic", Holohedry::cubic, {Vec{-0.5, 0, 0.5}, Vec{0, 0.5, 0.5}, Vec{-0.5, 0.5, 0}},
         {{"Gamma", {0, 0, 0}, false}, {"X", {0, 1, 0}, false}, {"L", {0.5, 0.5, 0.5}, false},
          {"W", {0.5, 1, 0}, false}, {"K", {0.75, 0.75, 0}, false}, {"U", {0.25, 1, 0.25}, false}}},
        {"body-centred cubic", Holohedry::cubic, {Vec{0.5, 0.5, 0.5}, Vec{-0.5, 0.5, 0.5}, Vec{-0.5, -0.5, 0.5}},
         {{"Gamma", {0, 0, 0}, false}, {"H", {0, 1, 0}, false}, {"N", {0.5, 0.5, 0}, false},
          {"P", {0.5, 0.5, 0.5}, false}}},
        {"simple cubic", Holohedry::cubic, {Vec{1, 0, 0}, Vec{0, 1, 0}, Vec{0, 0, 1}},
         {{"Gamma", {0, 0, 0}, false}, {"X", {0, 0.5, 0}, false}, {"M", {0.5, 0.5, 0}, false},
          {"R", {0.5, 0.5, 0.5}, false}}},
        {"hexagonal", Holohedry::hexagonal, {Vec{1, 0, 0}, Vec{-0.5, kRoot3 / 2, 0}, Vec{}},
         {{"Gamma", {0, 0, 0}, false}, {"M", {0.5, 0.5 / kRoot3, 0}, false}, {"K", {1 / 3.0, 1 / kRoot3, 0}, false},
          {"A", {0, 0, 0}, true}, {"L", {0.5, 0.5 / kRoot3, 0}, true}, {"H", {1 / 3.0, 1 / kRoot3, 0}, true}}},
        {"hexagonal", Holohedry::hexagonal, {Vec{0, 1, 0}, Vec{-kRoot3 / 2, -0.5, 0}, Vec{}},
         {{"Gamma", {0, 0, 0}, false}, {"M", {0.5 / kRoot3, 0.5, 0}, false}, {"K", {1 / kRoot3, 1 / 3.0, 0}, false},
          {"A", {0, 0, 0}, true}, {"L", {0.5 / kRoot3, 0.5, 0}, true}, {"H", {1 / kRoot3, 1 / 3.0, 0}, true}}},
        {"simple tetragonal", Holohedry::tetragonal, {Vec{1, 0, 0}, Vec{0, 1, 0}, Vec{}},
         {{"Gamma", {0, 0, 0}, false}, {"X", {0, 0.5, 0}, false}, {"M", {0.5, 0.5, 0}, false},
          {"Z", {0, 0, 0}, true}, {"R", {0, 0.5, 0}, true}, {"A", {0.5, 0.5, 0}, true}}},
    };
    return table;
}

// The height h of A and Z: the one |kz| of all points off the plane kz = 0;
// nullopt when they disagree. With every point in the plane no point is A
// or Z, and any height serves.
std::optional<double> heightOf(const std::vector<Vec>& points) {
    std::optional<double> h;
    for (const Vec& p : points) {
        const double z = std::abs(p[2]);
        if (z < kTolerance) continue;
        if (!h) h = z;
        else if (std::abs(z - *h) > kTolerance) return std::nullopt;
    }
    return h.value_or(0.5);
}

// A lattice made concrete for one height: what the points are matched against.
struct Setting {
    std::vector<Matrix> group;
    Matrix direct;
    std::vector<std::pair<const char*, Vec>> points;
};

Setting settle(const KnownLattice& lattice, double h) {
    Setting s{pointGroup(lattice.holohedry), lattice.direct, {}};
    if (lattice.layered()) s.direct[2] = {0, 0, 1 / (2 * h)};
    for (const StandardPoint& p : lattice.points)
        s.points.emplace_back(p.name, Vec{p.k[0], p.k[1], p.raised ? h : p.k[2]});
    return s;
}

// A reciprocal lattice vector has whole-number components along the direct
// vectors (b_i . a_j = 2 pi delta_ij), so no search over shifts is needed.
bool isReciprocalVector(const Vec& d, const Matrix& direct) {
    return std::all_of(direct.begin(), direct.end(), [&](const Vec& a) {
        const double n = dot(a, d);
        return std::abs(n - std::round(n)) <= kTolerance * norm(a);
    });
}

// The name of the standard point with an image nearest to k (the first of
// the table among equally near ones); nullptr when k is none of them.
const char* nameOf(const Vec& k, const Setting& s) {
    const char* name = nullptr;
    double nearest = std::numeric_limits<double>::infinity();
    for (const auto& [standard, point] : s.points)
        for (const Matrix& g : s.group) {
            const Vec shift = minus(k, times(g, point));
            if (!isReciprocalVector(shift, s.direct)) continue;
            if (norm(shift) < nearest - kTolerance) {
                nearest = norm(shift);
                name = standard;
            }
        }
    return name;
}

}  // namespace

std::optional<PointNames> nameHighSymmetryPoints(const std::vector<std::array<double, 3>>& points) {
    if (points.empty()) return std::nullopt;
    const std::optional<double> h = heightOf(points);
    for (const KnownLattice& lattice : lattices()) {
        if (lattice.layered() && !h) continue;
        const Setting setting = settle(lattice, h.value_or(0));  // a cubic lattice has no height
        PointNames named{lattice.name, {}};
        for (const Vec& k : points) {
            const char* name = nameOf(k, setting);
            if (!name) break;
            named.names.emplace_back(name);
        }
        if (named.names.size() == points.size()) return named;
    }
    return std::nullopt;
}

}  // namespace importer
