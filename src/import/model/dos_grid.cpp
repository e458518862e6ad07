#include "import/model/dos_grid.h"

#include <algorithm>

namespace importer {


std::vector<double> runningIntegral(const std::vector<double>& e, const std::vector<double>& y) {
    std::vector<double> r(e.size(), 0.0);
    for (size_t i = 1; i < e.size(); ++i) r[i] = r[i - 1] + 0.5 * (e[i] - e[i - 1]) * (y[i] + y[i - 1]);
    return r;
}

std::vector<double> energyIntegral(const std::vector<double>& e, const std::vector<double>& n) {
    std::vector<double> en(e.size());
    for (size_t i = 0; i < e.size(); ++i) en[i] = e[i] * n[i];
    return runningIntegral(e, en);
}

std::vector<double> evenGrid(const std::vector<double>& e, int points) {
    std::vector<double> g(static_cast<size_t>(points));
    const double lo = e.front(), hi = e.back();
    for (int i = 0; i < points; ++i)
        g[static_cast<size_t>(i)] = points == 1 ? lo : lo + (hi - lo) * i / (points - 1);
    if (points > 1) g.back() = hi;
    return g;
}

double valueAt(const std::vector<double>& e, const std::vector<double>& y, double x) {
    if (x <= e.front() || e.size() < 2) return y.front();
    if (x >= e.back()) return y.back();
    // Within the grid: e[k-1] <= x < e[k]. A grid or an x that is not a
    // number fails both tests above; k is kept inside the grid all the same.
    const size_t found = static_cast<size_t>(std::upper_bound(e.begin(), e.end(), x) - e.begin());
    const size_t k = std::clamp<size_t>(found, 1, e.size() - 1);
    const double w = e[k] - e[k - 1];
    if (w <= 0) return y[k];
    const double t = (x - e[k - 1]) / w;
    return y[k - 1] + t * (y[k] - y[k - 1]);
}

std::vector<double> resampleIntegral(const std::vector<double>& e, const std::vector<double>& integral,
                                     const std::vector<double>& coarse) {
    std::vector<double> r(coarse.size());
    for (size_t i = 0; i < coarse.size(); ++i) r[i] = valueAt(e, integral, coarse[i]);
    return r;
}

std::vector<double> resampleCurve(const std::vector<double>& e, const std::vector<double>& y,
                                  const std::vector<double>& coarse) {
    const std::vector<double> in = runningIntegral(e, y);
    const size_t m = coarse.size();
    std::vector<double> r(m);
    if (m == 1) {
        r[0] = valueAt(e, y, coarse[0]);
        return r;
    }
    for (size_t i = 0; i < m; ++i) {
        const double lo = i == 0 ? coarse[0] : 0.5 * (coarse[i - 1] + coarse[i]);
        const double hi = i + 1 == m ? coarse[m - 1] : 0.5 * (coarse[i] + coarse[i + 1]);
        r[i] = hi > lo ? (valueAt(e, in, hi) - valueAt(e, in, lo)) / (hi - lo) : valueAt(e, y, coarse[i]);
    }
    return r;
}

}  // namespace importer
