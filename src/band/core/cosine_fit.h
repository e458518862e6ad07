// The cosine-series fit of the bands of one symmetry line. Every band is
// E(x) = c0 + sum_m lambda_m cos(omega_m x), m = 1..20: the series of least
// roughness sum lambda_m^2 / g_m that meets the energies at the k points and
// the slopes that are used, with the constant term unweighted. Computed in
// double precision throughout.
#pragma once

#include <array>
#include <vector>

#include "band/core/state.h"
#include "band/core/matrix.h"
#include "common/error.h"
#include "common/one_based.h"

namespace band {

constexpr int kTerms = 20;                       // cosine terms of the series
constexpr int kMaxConditions = 2 * kMaxLinePoints;  // value and slope per k point
constexpr double kTwoPi = 6.2831855;

using TermTable = common::OneBased<double, kTerms>;  // index 1..20

namespace fit {
// cos(omega_m x), the value of term m.
double a(const TermTable& omega, double x, int m);
// -omega_m sin(omega_m x), the slope of term m.
double da(const TermTable& omega, double x, int m);
}  // namespace fit

// The conditions of one line: the positions x(1..nk) of its k points and per
// interpolated band (columns 1..ninterp) the energies in rows 1..nk and the
// slopes dE/dx in rows nk+1 .. 2 nk (after packing: the used slopes in rows
// nk+1 .. n).
struct LineConditions {
    int nk = 0;
    int ninterp = 0;
    common::OneBased<double, kMaxLinePoints> x;
    std::vector<double> ed = std::vector<double>(static_cast<size_t>(kMaxConditions) * kMaxBands, 0.0);

    double& operator()(int row, int col) { return ed[index(row, col)]; }
    double operator()(int row, int col) const { return ed[index(row, col)]; }

private:
    static size_t index(int row, int col) {
        return static_cast<size_t>(col - 1) * kMaxConditions + static_cast<size_t>(row - 1);
    }
};

// The work arrays of the fit, made once per interpolation pass.
struct FitWork {
    std::array<common::OneBased<int, kMaxLinePoints>, 2> P{};  // cumulative drop counts (values, slopes)
    SquareMatrix C, Cwork;                                 // Gram matrix, then its inverse
    MatrixVector e{}, w{};
    TermTable g{}, omega{};
    common::OneBased<common::OneBased<double, kMaxConditions>, kTerms> U;  // U(m, j)
    std::vector<double> c0 = std::vector<double>(kMaxBands + 1, 0.0);
    std::vector<double> lambda = std::vector<double>(static_cast<size_t>(kTerms + 1) * (kMaxBands + 1), 0.0);
    std::vector<double> table = std::vector<double>(static_cast<size_t>(kGridPoints) * (kMaxBands + 1), 0.0);
    int npts = kGridPoints;
    int ninterp = 0;
    InvResult inversion;

    double& lam(int m, int b) { return lambda[static_cast<size_t>(b) * (kTerms + 1) + static_cast<size_t>(m)]; }
    double lam(int m, int b) const { return lambda[static_cast<size_t>(b) * (kTerms + 1) + static_cast<size_t>(m)]; }
    // Interpolated energy of band b at grid point p = 1..npts (x = (p-1)/100).
    double& out(int p, int b) { return table[static_cast<size_t>(b - 1) * kGridPoints + static_cast<size_t>(p - 1)]; }
    double out(int p, int b) const { return table[static_cast<size_t>(b - 1) * kGridPoints + static_cast<size_t>(p - 1)]; }
};

// The grid position of point p.
inline double gridX(int p) { return (p - 1) / 100.0; }

// Per k point 1 ... nk: its slope is not used.
using Drops = common::OneBased<bool, kMaxLinePoints>;

// Fits all bands of one line. The conditions hold the used slopes packed
// (n = 2 nk - dropped rows). On success w.c0, w.lambda and
// w.out(1..npts, 1..ninterp) hold the fit, with npts 51, or 26 when end_ns is
// nonzero. The failure gives the console lines: the inversion's (then
// w.inversion says why) or an input error (a drop count that does not fit).
common::Status fitCosineSeries(const LineConditions& cond, const Drops& drop, int n, int end_ns, int ndropped,
                       FitWork& w);

// The fitted series of band b at its k point i (from the basis values).
double valueAtPoint(const FitWork& w, int b, int i);

}  // namespace band
