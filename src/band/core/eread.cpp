#include "band/core/eread.h"

#include <array>
#include <cmath>

#include "common/fortran_format.h"

namespace band {

using namespace common;

std::string lineName(int label) { return " Line " + fortran::I(label, 2); }

namespace {

// The span of a line in each component: last minus first k point, doubled
// for a line that ends at a nonsymmorphic point.
std::array<double, 3> lineSpan(const BandInput& input, const std::vector<int>& kfile, int nkl, int end_ns) {
    const double scale = end_ns >= 1 ? 2.0 : 1.0;
    const auto& kend = input.block(kfile[static_cast<size_t>(nkl - 1)]).k;
    const auto& k1 = input.block(kfile[0]).k;
    std::array<double, 3> d{};
    for (size_t j = 0; j < 3; ++j) d[j] = (static_cast<double>(kend[j]) - static_cast<double>(k1[j])) * scale;
    return d;
}

}  // namespace

bool linePositions(const BandInput& input, const std::vector<int>& kfile, int nkl, int end_ns,
                   OneBased<double, kMaxLinePoints>& x) {
    const std::array<double, 3> d = lineSpan(input, kfile, nkl, end_ns);
    const auto& k1 = input.block(kfile[0]).k;
    bool spans = false;
    for (size_t j = 0; j < 3; ++j)
        if (std::fabs(d[j]) >= 0.003) spans = true;
    for (int i = 1; i <= nkl; ++i) {
        const KBlock& blk = input.block(kfile[static_cast<size_t>(i - 1)]);
        // The position along the line, from the last component that spans it.
        double at = 0.0;
        for (size_t j = 0; j < 3; ++j)
            if (std::fabs(d[j]) >= 0.003) at = std::fabs(0.5 * (static_cast<double>(blk.k[j]) - k1[j]) / d[j]);
        x[i] = at;
    }
    return spans;
}

Status eread(const BandInput& input, const std::vector<int>& kfile, int nbands, int nlower, int ninterp,
                  int nkl, int label, int end_ns, Report& report, LineConditions& out) {
    if (nbands != input.nbands || nlower < 0 || ninterp < 1 || nlower + ninterp > nbands || nkl < 1 ||
        nkl > kMaxLinePoints || static_cast<int>(kfile.size()) < nkl)
        return Failure{lineName(label) + ": band counts of fort.3 do not fit fort.1."};
    for (int i = 1; i <= nkl; ++i) {
        const int kf = kfile[static_cast<size_t>(i - 1)];
        if (kf < 1 || kf > input.nkpt || kf > static_cast<int>(input.blocks.size()))
            return Failure{lineName(label) + ", k point " + fortran::I(i, 2) + ": k point " + std::to_string(kf) +
                           " of fort.3 is not in fort.1 (1 ... " + std::to_string(input.nkpt) + ")."};
    }

    out.nk = nkl;
    out.ninterp = ninterp;
    const bool spans = linePositions(input, kfile, nkl, end_ns, out.x);
    const std::array<double, 3> d = lineSpan(input, kfile, nkl, end_ns);
    report.line();
    report.line(" k points of symmetry line: " + fortran::I(label, 2));
    for (int i = 1; i <= nkl; ++i) {
        const KBlock& blk = input.block(kfile[static_cast<size_t>(i - 1)]);
        report.line(" k point " + fortran::I(i, 3) + ": " + fortran::F(blk.k[0], 15, 10) + fortran::F(blk.k[1], 15, 10) +
                 fortran::F(blk.k[2], 15, 10));
        for (int m = 1; m <= ninterp; ++m) {
            const BandRecord& br = blk.bands[static_cast<size_t>(nlower + m - 1)];
            out(i, m) = br.energy;
            out(nkl + i, m) = 2.0 * (static_cast<double>(br.grad[0]) * d[0] + static_cast<double>(br.grad[1]) * d[1] +
                                     static_cast<double>(br.grad[2]) * d[2]);
        }
    }
    if (!spans) return Failure{lineName(label) + ": first and last k points differ by less than 0.003 in every component."};
    return {};
}

}  // namespace band
