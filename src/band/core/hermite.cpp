#include "band/core/hermite.h"

namespace band {

bool hermiteKnotsValid(std::span<const double> x) {
    if (x.size() < 2) return false;
    for (size_t i = 1; i < x.size(); ++i)
        if (!(x[i] > x[i - 1])) return false;  // also refuses NaN
    return true;
}

HermiteWeights hermiteWeights(std::span<const double> x, double at, bool slope) {
    // The interval [x[k], x[k+1]] holding `at`: the first or last one outside.
    size_t k = 0;
    while (k + 2 < x.size() && at > x[k + 1]) ++k;
    const double h = x[k + 1] - x[k];
    const double t = (at - x[k]) / h;
    const double t2 = t * t, t3 = t2 * t;
    HermiteWeights w;
    w.k = static_cast<int>(k);
    if (!slope) {
        w.h00 = 2.0 * t3 - 3.0 * t2 + 1.0;
        w.h10 = (t3 - 2.0 * t2 + t) * h;
        w.h01 = -2.0 * t3 + 3.0 * t2;
        w.h11 = (t3 - t2) * h;
    } else {  // d/dx = (1/h) d/dt
        w.h00 = (6.0 * t2 - 6.0 * t) / h;
        w.h10 = 3.0 * t2 - 4.0 * t + 1.0;
        w.h01 = (-6.0 * t2 + 6.0 * t) / h;
        w.h11 = 3.0 * t2 - 2.0 * t;
    }
    return w;
}

}  // namespace band
