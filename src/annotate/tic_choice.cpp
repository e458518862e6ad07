#include "annotate/settings.h"

#include <cmath>
#include <string>

#include "common/fortran_format.h"

namespace annotate {

TicRange labelledTics(float lo, float hi, int mostLabels) {
    const double span = static_cast<double>(hi) - lo;
    const double power = std::pow(10.0, std::floor(std::log10(span / mostLabels)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * power;
        if (span / step <= mostLabels * (1 + 1e-9)) break;
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

namespace annotate {

namespace {
// A new range holds at least two labelled tics and at most this many tics.
constexpr double kMostTicsAfterChange = 100;
}

TicRange ticsForRange(const TicRange& t, float lo, float hi, std::string& note) {
    note.clear();
    const double step = t.label_distance > 0 ? t.label_distance : t.distance;
    if (!(step > 0) || !(hi > lo)) return t;
    // the same grid of tics (labels on the same values) over the whole range
    TicRange r = t;
    const double first = std::ceil((lo - static_cast<double>(t.start)) / step - 1e-3);
    const double last = std::floor((hi - static_cast<double>(t.start)) / step + 1e-3);
    r.start = static_cast<float>(t.start + first * step);
    r.end = static_cast<float>(t.start + last * step);
    const bool fits = last - first >= 1 && (hi - lo) / t.distance <= kMostTicsAfterChange;
    if (fits) return r;
    r = labelledTics(lo, hi);
    if (!(t.label_distance > 0)) r.label_distance = 0;
    using common::fortran::general;
    note = " Tic distance " + general(t.distance) + " does not fit the range " + general(lo) + " ... " +
           general(hi) + ": tics every " + general(r.distance) +
           (r.label_distance > 0 ? ", labels every " + general(r.label_distance) : "") + ".";
    return r;
}

}  // namespace annotate
