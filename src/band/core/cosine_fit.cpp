#include "band/core/cosine_fit.h"
#include "common/one_based.h"

#include <cmath>

namespace band {

using namespace common;

namespace fit {
double a(const TermTable& omega, double x, int m) {
    return std::cos(omega[m] * x);
}
double da(const TermTable& omega, double x, int m) {
    const double om = omega[m];
    return -om * std::sin(om * x);
}
}  // namespace fit

Status fitCosineSeries(const LineConditions& cond, const Drops& drop, int n, int end_ns, int ndropped,
                       FitWork& w) {
    const int nk = cond.nk;
    const int nb = cond.ninterp;
    w.ninterp = nb;
    w.npts = kGridPoints;
    w.inversion = InvResult{};

    // Cumulative drop counts: values are never dropped.
    for (int i = 1; i <= nk; ++i) w.P[0][i] = 0;
    w.P[1][1] = drop[1];
    for (int i = 2; i <= nk; ++i)
        w.P[1][i] = w.P[1][i - 1] + drop[i];
    if (w.P[1][nk] != ndropped || n != 2 * nk - ndropped) return Failure{"  Input error: Wrong number of derivatives dropped."};

    const double period = end_ns != 0 ? static_cast<double>(end_ns) : 1.0;
    for (int m = 1; m <= kTerms; ++m) w.omega[m] = (m * kTwoPi) / period;

    // Basis matrix: one column per condition.
    for (int i = 1; i <= nk; ++i) {
        for (int o = 0; o <= 1; ++o) {
            if (o == 1 && drop[i]) continue;
            const int j = nk * o + i - w.P[static_cast<size_t>(o)][static_cast<size_t>(i)];
            for (int m = 1; m <= kTerms; ++m)
                w.U[m][j] =
                    o == 0 ? fit::a(w.omega, cond.x[i], m)
                           : fit::da(w.omega, cond.x[i], m);
        }
    }

    for (int m = 1; m <= kTerms; ++m) {
        double y = -(m * 1.2);
        if (!(y >= -13.0)) y = -13.0;
        w.g[m] = std::exp(y);
    }

    // Gram matrix C(i, j) = sum_m g_m U(m, i) U(m, j), summed from the last term.
    for (int i = 1; i <= n; ++i) {
        for (int j = i; j <= n; ++j) {
            double c = 0.0;
            for (int m = kTerms; m >= 1; --m)
                c = w.U[m][j] * w.U[m][i] *
                        w.g[m] +
                    c;
            w.C(i, j) = c;
            w.C(j, i) = c;
        }
    }
    w.inversion = inv(w.C, w.Cwork, w.w, n);
    if (!w.inversion.ok()) {
        const std::vector<std::string> lines = inversionMessage(w.inversion);
        std::string text = lines.front();
        for (size_t i = 1; i < lines.size(); ++i) text += "\n" + lines[i];
        return Failure{text};
    }
    const SquareMatrix& Ci = w.C;

    double s = 0.0;
    for (int i = 1; i <= nk; ++i)
        for (int j = 1; j <= nk; ++j) s += Ci(i, j);

    for (int b = 1; b <= nb; ++b) {
        double t = 0.0;
        for (int i = 1; i <= nk; ++i)
            for (int j = 1; j <= n; ++j) t += Ci(i, j) * cond(j, b);
        const double c0 = t / s;
        w.c0[static_cast<size_t>(b)] = c0;
        for (int i = 1; i <= n; ++i) {
            double e = 0.0;
            for (int j = 1; j <= n; ++j) e += (cond(j, b) - (j <= nk ? c0 : 0.0)) * Ci(i, j);
            w.e[i] = e;
        }
        for (int m = 1; m <= kTerms; ++m) {
            double l = 0.0;
            for (int j = 1; j <= n; ++j) l += w.U[m][j] * w.e[j];
            w.lam(m, b) = l * w.g[m];
        }
    }

    // Every point of every band starts at c0 and takes the terms from the last
    // one down; the cosines of the grid are the same for all bands.
    if (end_ns != 0) w.npts = 26;
    OneBased<TermTable, kGridPoints> cs;
    for (int p = 1; p <= w.npts; ++p)
        for (int m = kTerms; m >= 1; --m) cs[p][m] = fit::a(w.omega, gridX(p), m);
    for (int b = 1; b <= nb; ++b) {
        for (int p = 1; p <= w.npts; ++p) {
            double v = w.c0[static_cast<size_t>(b)];
            for (int m = kTerms; m >= 1; --m) v = v + w.lam(m, b) * cs[p][m];
            w.out(p, b) = v;
        }
    }
    return {};
}

double valueAtPoint(const FitWork& w, int b, int i) {
    double v = w.c0[static_cast<size_t>(b)];
    for (int m = kTerms; m >= 1; --m) v = v + w.lam(m, b) * w.U[m][i];
    return v;
}

}  // namespace band
