#include "band/core/interpolation.h"
#include "common/one_based.h"

#include <algorithm>
#include <cmath>

#include "band/core/bands_file.h"
#include "band/core/cosine_fit.h"
#include "band/core/hermite.h"
#include "band/core/ordering.h"
#include "band/core/eread.h"
#include "common/fortran_format.h"

namespace band {

using namespace common;

void applyBandOrder(const std::vector<std::vector<int>>& perms, int nlower, LineConditions& cond) {
    const int nk = cond.nk, ninterp = cond.ninterp;
    std::vector<double> value(static_cast<size_t>(ninterp) + 1), slope(static_cast<size_t>(ninterp) + 1);
    for (int i = 1; i <= nk; ++i) {
        for (int q = 1; q <= ninterp; ++q) {
            value[static_cast<size_t>(q)] = cond(i, q);
            slope[static_cast<size_t>(q)] = cond(nk + i, q);
        }
        for (int q = 1; q <= ninterp; ++q) {
            const auto from = static_cast<size_t>(levelOfBand(perms, nlower, i, q) - nlower);
            cond(i, q) = value[from];
            cond(nk + i, q) = slope[from];
        }
    }
}

namespace {


void leaveOut(Report& report, BfitSummary& s, int ordinal, int label) {
    if (label != 0)
        report.line(lineName(label) + " left out of fort.2.");
    else
        report.line(" Line block " + std::to_string(ordinal) + " of fort.3 left out of fort.2.");
    s.left_out.push_back(ordinal);
}

// The Hermite curves of every band of the line on its grid, into w.out:
// energies from cond, all slopes from `slopes` (band q at k point i at
// (q - 1) nk + i - 1), the k points taken in the order of their positions.
// False when two k points share a position.
bool hermiteLine(const LineConditions& cond, const std::vector<double>& slopes, int end_ns, FitWork& w) {
    const auto nk = static_cast<size_t>(cond.nk);
    std::array<size_t, kMaxLinePoints> by{};
    for (size_t i = 0; i < nk; ++i) by[i] = i;
    std::stable_sort(by.begin(), by.begin() + static_cast<std::ptrdiff_t>(nk),
                     [&](size_t a, size_t b) { return cond.x[a + 1] < cond.x[b + 1]; });
    std::array<double, kMaxLinePoints> x{}, e{}, d{};
    for (size_t i = 0; i < nk; ++i) x[i] = cond.x[by[i] + 1];
    const std::span<const double> xs(x.data(), nk), es(e.data(), nk), ds(d.data(), nk);
    if (!hermiteKnotsValid(xs)) return false;
    w.ninterp = cond.ninterp;
    w.npts = end_ns != 0 ? 26 : kGridPoints;
    OneBased<HermiteWeights, kGridPoints> at;
    for (int p = 1; p <= w.npts; ++p) at[p] = hermiteWeights(xs, gridX(p));
    for (int q = 1; q <= cond.ninterp; ++q) {
        const double* dq = slopes.data() + static_cast<size_t>(q - 1) * nk;
        for (size_t i = 0; i < nk; ++i) {
            e[i] = cond(static_cast<int>(by[i]) + 1, q);
            d[i] = dq[by[i]];
        }
        for (int p = 1; p <= w.npts; ++p) w.out(p, q) = hermiteApply(at[p], es, ds);
    }
    return true;
}

// The buffers one line's fit works in, kept from line to line.
struct FitScratch {
    LineConditions cond;
    FitWork work;
    std::vector<double> slopes;
};

// What the fit of one line gives: its block of fort.2 when it could be
// fitted (the messages of a failure are in the report), and whether the
// cosine series fell back on the Hermite curve.
struct LineFit {
    bool fitted = false;
    bool fell_back = false;
    std::string block;
};

// One line: reordered, fitted and checked. The cosine series that fails
// falls back on the Hermite curve.
LineFit fitLine(const SetupFile& counts, const SetupBlock& blk, const BandInput& input, FitKind kind,
                Report& report, FitScratch& scratch) {
    LineConditions& cond = scratch.cond;
    FitWork& work = scratch.work;
    std::vector<double>& slopes = scratch.slopes;
    LineFit fit;
    const int nbands = counts.nbands, nlower = counts.nlower, ninterp = counts.ninterp;
    const int nk = blk.nkl;
    const std::string name = lineName(blk.label);

    if (!headerInRange(blk)) {
        report.line(name + ": end-point values in its header (record " + std::to_string(blk.headerRecord) +
                 " of fort.3) out of range.");
        return fit;
    }
    for (int k = 1; k <= nk; ++k) {
        if (!isOrderRow(blk.order[static_cast<size_t>(k - 1)], nbands, nlower, ninterp)) {
            report.line(name + ", k point " + fortran::I(k, 2) + ": band order in fort.3 is not a permutation of bands " +
                     std::to_string(nlower + 1) + " ... " + std::to_string(nlower + ninterp) + ".");
            return fit;
        }
    }
    const std::vector<std::vector<int>> perms = tsort(blk, nbands);

    if (Status read = eread(input, blk.kfile, nbands, nlower, ninterp, nk, blk.label, blk.end_ns, report, cond);
        !read) {
        report.line(read.error());
        return fit;
    }

    // End-point slopes that are not used (left and right in display order).
    Drops drop{};
    if (blk.drop_sel == 0 || blk.drop_sel == 2) drop[nk] = true;
    if (blk.drop_sel == 0 || blk.drop_sel == 1) drop[1] = true;
    if (blk.end_ns != 0 && blk.ns_incl != 0) drop[nk] = true;
    if (blk.begin_ns != 0 && blk.ns_incl != 0) drop[1] = true;
    int ndropped = 0;
    for (int i = 1; i <= nk; ++i) ndropped += drop[i];
    const int n = 2 * nk - ndropped;

    applyBandOrder(perms, nlower, cond);
    // Every slope in band order, before the series drops any.
    slopes.resize(static_cast<size_t>(nk) * static_cast<size_t>(ninterp));
    for (int q = 1; q <= ninterp; ++q)
        for (int i = 1; i <= nk; ++i)
            slopes[static_cast<size_t>(q - 1) * static_cast<size_t>(nk) + static_cast<size_t>(i - 1)] =
                cond(nk + i, q);

    if (kind == FitKind::cosine) {
        // The used slopes move up behind the energies, in k point order.
        int row = nk;
        for (int i = 1; i <= nk; ++i) {
            if (drop[i]) continue;
            ++row;
            if (row != nk + i)
                for (int q = 1; q <= ninterp; ++q) cond(row, q) = cond(nk + i, q);
        }

        Status series = fitCosineSeries(cond, drop, n, blk.end_ns, ndropped, work);
        bool fitted = static_cast<bool>(series);
        if (!series) {
            report.line(series.error());
            // an input error is no reason for the other curve: the line is left out
            if (work.inversion.ok()) return fit;
        }
        // Every curve must pass through its energies.
        for (int q = 1; q <= ninterp && fitted; ++q) {
            for (int i = 1; i <= nk; ++i) {
                const double miss = valueAtPoint(work, q, i) - cond(i, q);
                if (!(std::fabs(miss) <= 0.001)) {
                    report.line(name + ": ill-conditioned fit, band " + std::to_string(nlower + q) +
                             " misses k point " + std::to_string(i) + " by more than 0.001 eV.");
                    fitted = false;
                    break;
                }
            }
        }
        if (!fitted) {
            report.line(name + " fitted through its energies and slopes instead.");
            fit.fell_back = true;
        }
    }
    if ((kind == FitKind::hermite || fit.fell_back) && !hermiteLine(cond, slopes, blk.end_ns, work)) {
        report.line(name + ": two of its k points lie at the same place on the line.");
        return fit;
    }

    // Every interpolated energy must fit its field: asterisks would leave a
    // fort.2 that cannot be read back.
    Result<std::string> block =
        formatBandLine(work.npts, ninterp, nlower + 1, [&work](int p, int q) { return work.out(p, q); });
    if (!block) {
        report.line(name + ": " + block.error() + ".");
        return fit;
    }
    fit.fitted = true;
    fit.block = std::move(*block);
    return fit;
}

}  // namespace

BfitSummary interpolate(const SetupFile& counts, const std::vector<SetupLine>& lines, const BandInput& input,
                        int nlines, Report& report, FitKind kind) {
    BfitSummary s;
    std::string blocks;
    FitScratch scratch;
    for (int l = 1; l <= nlines; ++l) {
        if (l > static_cast<int>(lines.size())) {
            report.line(" Line block " + std::to_string(l) + " of fort.3 is missing.");
            leaveOut(report, s, l, 0);
            continue;
        }
        const SetupLine& line = lines[static_cast<size_t>(l - 1)];
        if (!line.block) {
            report.line(" " + line.block.error());
            leaveOut(report, s, l, line.label);
            continue;
        }
        if (LineFit fit = fitLine(counts, *line.block, input, kind, report, scratch); fit.fitted) {
            blocks += fit.block;
            ++s.written;
            if (fit.fell_back) s.fallback.push_back(l);
        } else {
            leaveOut(report, s, l, line.label);
        }
    }
    // The count record gives the blocks written: the display takes block l
    // for the l-th line it draws, so a line left out must not be counted.
    s.fort2 = formatBandsCount(s.written) + blocks;
    return s;
}

Result<BfitSummary> bfit(int nlines, int nkpt, Report& report, const std::string& dir, FitKind kind) {
    const std::string base = dir.empty() || dir == "." ? std::string() : dir + "/";
    auto stop = [&](const std::string& why) {
        report.line(" " + why);
        report.line(" fort.2 is left as it was.");
        return Failure{why};
    };

    auto fort3 = RecordFile::load(base + "fort.3");
    if (!fort3) return stop(base + "fort.3: cannot be opened");
    Result<StoredLines> stored = readSetupLines(*fort3, nlines);
    if (!stored) return stop(stored.error());
    Result<BandInput> input = readBandInput(base + "fort.1", nkpt, stored->counts.nbands);
    if (!input) return stop(input.error());

    BfitSummary s = interpolate(stored->counts, stored->lines, *input, nlines, report, kind);
    if (Status written = writeFileAtomic(base + "fort.2", s.fort2); !written) return stop(written.error());
    return s;
}

}  // namespace band
