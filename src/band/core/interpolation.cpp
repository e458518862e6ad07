#include "band/core/interpolation.h"

#include <cmath>

#include "band/core/bands_file.h"
#include "band/core/cosine_fit.h"
#include "band/core/ordering.h"
#include "band/core/eread.h"
#include "common/fortran_format.h"

namespace band {

using namespace common;

bool readSetupLines(const RecordFile& fort3, int nlines, SetupFile& counts, std::vector<SetupLine>& lines,
                    std::string& error) {
    lines.clear();
    size_t r = 2;
    bool first = true;
    while (first || static_cast<int>(lines.size()) < nlines) {
        SetupFile part;
        if (!parseSetup(fort3, 0, part, error, r)) return false;
        if (first) {
            counts = part;
            counts.blocks.clear();
            first = false;
        }
        if (static_cast<int>(lines.size()) >= nlines) break;
        for (SetupBlock& b : part.blocks) {
            if (static_cast<int>(lines.size()) == nlines) break;
            SetupLine line;
            line.readable = true;
            line.label = b.label;
            line.block = std::move(b);
            lines.push_back(std::move(line));
        }
        if (static_cast<int>(lines.size()) == nlines) break;

        // The blocks stopped at record h: the end of the file or a damaged block.
        size_t h = r;
        if (!part.blocks.empty()) {
            const SetupBlock& last = part.blocks.back();
            h = last.headerRecord + static_cast<size_t>(blockRecords(last.nkl, counts.nbands));
        }
        if (part.error.empty()) {
            while (static_cast<int>(lines.size()) < nlines) {
                SetupLine line;
                line.error = fort3.where(h, "file ends before the block of this line");
                lines.push_back(std::move(line));
            }
            break;
        }
        SetupLine line;
        line.error = part.error;
        const std::string header = fort3.has(h) ? fort3.record(h) : std::string();
        FieldCursor c(header);
        auto label = c.I(3);
        auto nkl = c.I(3);
        if (label && nkl) line.label = static_cast<int>(*label);
        lines.push_back(std::move(line));
        if (label && nkl && *nkl >= 1 && *nkl <= kMaxLinePoints)
            r = h + static_cast<size_t>(blockRecords(static_cast<int>(*nkl), counts.nbands));
        else
            r = h + 1;
    }
    return true;
}

namespace {

std::string lineName(int label) { return " Line " + fortran::I(label, 2); }

void leaveOut(Report& report, BfitSummary& s, int ordinal, int label) {
    if (label != 0)
        report.line(lineName(label) + " left out of fort.2.");
    else
        report.line(" Line block " + std::to_string(ordinal) + " of fort.3 left out of fort.2.");
    s.left_out.push_back(ordinal);
}

// One line: reordered, fitted and checked; true with the block appended to out.
bool fitLine(const SetupFile& counts, const SetupBlock& blk, const BandInput& input, Report& report,
             LineConditions& cond, FitWork& work, std::string& out) {
    const int nbands = counts.nbands, nlower = counts.nlower, ninterp = counts.ninterp;
    const int nk = blk.nkl;
    const std::string name = lineName(blk.label);

    if (!headerInRange(blk)) {
        report.line(name + ": end-point values in its header (record " + std::to_string(blk.headerRecord) +
                 " of fort.3) out of range.");
        return false;
    }
    for (int k = 1; k <= nk; ++k) {
        if (!isOrderRow(blk.order[static_cast<size_t>(k - 1)], nbands, nlower, ninterp)) {
            report.line(name + ", k point " + fortran::I(k, 2) + ": band order in fort.3 is not a permutation of bands " +
                     std::to_string(nlower + 1) + " ... " + std::to_string(nlower + ninterp) + ".");
            return false;
        }
    }
    const std::vector<std::vector<int>> perms = tsort(blk, nbands);

    EreadResult rd = eread(input, blk.kfile, nbands, nlower, ninterp, nk, blk.label, blk.end_ns, report, cond);
    switch (rd.status) {
        case EreadStatus::ok:
            break;
        case EreadStatus::bad_counts:
            report.line(name + ": band counts of fort.3 do not fit fort.1.");
            return false;
        case EreadStatus::bad_kfile:
            report.line(name + ", k point " + fortran::I(rd.position, 2) + ": k point " + std::to_string(rd.kfile) +
                     " of fort.3 is not in fort.1 (1 ... " + std::to_string(input.nkpt) + ").");
            return false;
        case EreadStatus::short_line:
            report.line(name + ": first and last k points differ by less than 0.003 in every component.");
            return false;
    }

    // End-point slopes that are not used (left and right in display order).
    std::array<int, kMaxLinePoints + 1> drop{};
    if (blk.drop_sel == 0 || blk.drop_sel == 2) drop[static_cast<size_t>(nk)] = 1;
    if (blk.drop_sel == 0 || blk.drop_sel == 1) drop[1] = 1;
    if (blk.end_ns != 0 && blk.ns_incl != 0) drop[static_cast<size_t>(nk)] = 1;
    if (blk.begin_ns != 0 && blk.ns_incl != 0) drop[1] = 1;
    int ndropped = 0;
    for (int i = 1; i <= nk; ++i) ndropped += drop[static_cast<size_t>(i)];
    const int n = 2 * nk - ndropped;

    // Band order: column q takes the level that carries band q at this k point.
    std::vector<double> value(static_cast<size_t>(ninterp) + 1), slope(static_cast<size_t>(ninterp) + 1);
    for (int i = 1; i <= nk; ++i) {
        const std::vector<int>& pi = perms[static_cast<size_t>(i - 1)];
        if (pi[0] == 0) continue;
        for (int q = 1; q <= ninterp; ++q) {
            value[static_cast<size_t>(q)] = cond(i, q);
            slope[static_cast<size_t>(q)] = cond(nk + i, q);
        }
        for (int q = 1; q <= ninterp; ++q) {
            const auto from = static_cast<size_t>(pi[static_cast<size_t>(q - 1)] - nlower);
            cond(i, q) = value[from];
            cond(nk + i, q) = slope[from];
        }
    }
    // The used slopes move up behind the energies, in k point order.
    int row = nk;
    for (int i = 1; i <= nk; ++i) {
        if (drop[static_cast<size_t>(i)] == 1) continue;
        ++row;
        if (row != nk + i)
            for (int q = 1; q <= ninterp; ++q) cond(row, q) = cond(nk + i, q);
    }

    switch (dos(cond, drop, n, blk.end_ns, ndropped, work)) {
        case FitStatus::ok:
            break;
        case FitStatus::drop_mismatch:
            report.line("  Input error: Wrong number of derivatives dropped.");
            return false;
        case FitStatus::singular:
            for (const std::string& l : inversionMessage(work.inversion)) report.line(l);
            return false;
    }

    // Every curve must pass through its energies.
    for (int q = 1; q <= ninterp; ++q) {
        for (int i = 1; i <= nk; ++i) {
            const double miss = valueAtPoint(work, q, i) - cond(i, q);
            if (!(std::fabs(miss) <= 0.001)) {
                report.line(name + ": ill-conditioned fit, band " + std::to_string(nlower + q) + " misses k point " +
                         std::to_string(i) + " by more than 0.001 eV.");
                return false;
            }
        }
    }

    // Every interpolated energy must fit its field: asterisks would leave a
    // fort.2 that cannot be read back.
    Result<std::string> block =
        formatBandLine(work.npts, ninterp, nlower + 1, [&work](int p, int q) { return work.out(p, q); });
    if (!block) {
        report.line(name + ": " + block.error() + ".");
        return false;
    }
    out += *block;
    return true;
}

}  // namespace

BfitSummary interpolate(const SetupFile& counts, const std::vector<SetupLine>& lines, const BandInput& input,
                        int nlines, Report& report) {
    BfitSummary s;
    s.complete = true;
    std::string blocks;
    LineConditions cond;
    FitWork work;
    for (int l = 1; l <= nlines; ++l) {
        if (l > static_cast<int>(lines.size())) {
            report.line(" Line block " + std::to_string(l) + " of fort.3 is missing.");
            leaveOut(report, s, l, 0);
            continue;
        }
        const SetupLine& line = lines[static_cast<size_t>(l - 1)];
        if (!line.readable) {
            report.line(" " + line.error);
            leaveOut(report, s, l, line.label);
            continue;
        }
        if (fitLine(counts, line.block, input, report, cond, work, blocks))
            ++s.written;
        else
            leaveOut(report, s, l, line.label);
    }
    // The count record keeps the number of lines asked for, also when some
    // were left out: the display draws the blocks that exist.
    s.fort2 = formatBandsCount(nlines) + blocks;
    return s;
}

BfitSummary bfit(int nlines, int nkpt, Report& report, const std::string& dir) {
    BfitSummary s;
    const std::string base = dir.empty() || dir == "." ? std::string() : dir + "/";
    auto stop = [&](const std::string& why) {
        s.error = why;
        report.line(" " + why);
        report.line(" fort.2 is left as it was.");
        return s;
    };

    auto fort3 = RecordFile::load(base + "fort.3");
    if (!fort3) return stop(base + "fort.3: cannot be opened");
    SetupFile counts;
    std::vector<SetupLine> lines;
    std::string error;
    if (!readSetupLines(*fort3, nlines, counts, lines, error)) return stop(error);

    BandInput input;
    if (!readBandInput(base + "fort.1", nkpt, counts.nbands, input, error)) return stop(error);

    s = interpolate(counts, lines, input, nlines, report);
    if (!writeFileAtomic(base + "fort.2", s.fort2, error)) {
        s.complete = false;
        return stop(error);
    }
    return s;
}

}  // namespace band
