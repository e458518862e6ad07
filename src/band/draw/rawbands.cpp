#include "band/draw/rawbands.h"

#include <vector>

#include "common/fortran_format.h"
#include "common/plot.h"

namespace band {

using namespace common;

namespace {
// A line of one k point has no length: give its window a width all the same.
float windowLength(const LineTables& t) { return t.line_length > 0 ? t.line_length : 1.0f; }
}  // namespace

void tlraw(Plot& plot, const LineTables& t, const RawView& v) {
    plot.sci(1);
    plot.sch(1.0f);
    plot.scf(1);
    plot.swin(0.0f, 1.0f, 0.0f, 1.0f);
    plot.svp(0.0f, 1.0f, 0.0f, 1.0f);
    plot.text(0.01f, v.y0 - 0.01f, fortran::F(v.lower, 7, 2));
    plot.text(0.01f, v.y0 + v.h - 0.01f, fortran::F(v.upper, 7, 2));
    plot.swin(0.0f, windowLength(t), v.lower, v.upper);
    plot.svp(v.x0, v.x0 + v.w, v.y0, v.y0 + v.h);

    const int lo = v.nlower + 1, hi = v.nlower + v.ninterp;
    auto reaches = [&](int b, bool above) {
        for (int k = 1; k <= v.nkl; ++k)
            if (above ? t.energy_cur(b, k) >= v.lower : t.energy_cur(b, k) <= v.upper) return true;
        return false;
    };
    int first = lo;
    while (first <= hi && !reaches(first, true)) ++first;
    int last = hi;
    while (last >= lo && !reaches(last, false)) --last;

    std::vector<float> x(static_cast<size_t>(v.nkl)), y(static_cast<size_t>(v.nkl));
    for (int b = first; b <= last; ++b) {
        for (int k = 1; k <= v.nkl; ++k) {
            x[k - 1] = t.kdist[k];
            y[static_cast<size_t>(k - 1)] = t.energy_cur(b, k);
        }
        plot.line(v.nkl, x.data(), y.data());
        plot.pt(v.nkl, x.data(), y.data(), 4);
        const float e = t.energy_cur(b, v.kstep < 0 ? v.nkl : 1);
        plot.text(0.0f, e + 0.01f * (v.upper - v.lower), fortran::I(b, 4));
    }
    plot.scf(kTextFont);  // the band numbers' font is theirs alone
}

}  // namespace band
