#include "annotate/settings.h"

#include <cmath>

namespace annotate {

namespace {
constexpr double kMostLabels = 12;
}

TicRange labelledTics(float lo, float hi) {
    const double span = static_cast<double>(hi) - lo;
    const double power = std::pow(10.0, std::floor(std::log10(span / kMostLabels)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * power;
        if (span / step <= kMostLabels * (1 + 1e-9)) break;
    }
    const bool five = std::lround(step / power) == 5;
    TicRange t;
    t.label_distance = static_cast<float>(step);
    t.distance = static_cast<float>(five ? step / 5 : step / 2);
    // a bound a rounding (of a float) away from a label still has it
    t.start = static_cast<float>(std::ceil(lo / step - 1e-3) * step);
    t.end = static_cast<float>(std::floor(hi / step + 1e-3) * step);
    if (t.end < t.start) t.end = t.start;
    return t;
}

}  // namespace annotate
