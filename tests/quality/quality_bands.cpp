// How close the interpolated bands come to exact bands (scripts/quality).
//
//   quality_bands TRUTH NAME=DIR ...
//
// TRUTH holds the exact bands per symmetry line: a header "line L first last
// npts", then npts rows of the position x and the energies in ascending
// order. Each DIR holds fort.1, fort.14, fort.3 and the fort.2 of one fit,
// named NAME in the table. A natural cubic spline through the energies of
// fort.1 (first DIR's set-up and band order) is the last column. Errors are
// taken between the curves sorted at each point and the exact bands; one
// Markdown table in meV, per line and overall.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "band/core/interpolation.h"
#include "band/core/ordering.h"
#include "band/core/eread.h"
#include "common/records.h"

using namespace common;
using namespace band;

namespace {

using Curves = std::vector<std::vector<double>>;  // [point][band]

struct ExactLine {
    int npts = 0;
    Curves e;
};

struct Error {
    double sum = 0, worst = 0;
    long n = 0;
    void add(const Error& o) {
        sum += o.sum;
        worst = std::max(worst, o.worst);
        n += o.n;
    }
    std::string cells() const {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%8.2f | %8.2f", n ? 1000.0 * std::sqrt(sum / static_cast<double>(n)) : 0.0,
                      1000.0 * worst);
        return buf;
    }
};

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "quality_bands: %s\n", why.c_str());
    std::exit(1);
}

std::vector<ExactLine> readTruth(const std::string& path) {
    std::ifstream in(path);
    if (!in) fail(path + ": cannot be opened");
    std::vector<ExactLine> lines;
    std::string text;
    for (int record = 1; std::getline(in, text); ++record) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream s(text);
        if (text.rfind("line", 0) == 0) {
            std::string word;
            int label = 0, first = 0, last = 0;
            lines.emplace_back();
            if (!(s >> word >> label >> first >> last >> lines.back().npts))
                fail(path + ", line " + std::to_string(record) + ": unreadable line header");
            continue;
        }
        if (lines.empty()) fail(path + ", line " + std::to_string(record) + ": energies before a line header");
        double x = 0, e = 0;
        s >> x;
        lines.back().e.emplace_back();
        while (s >> e) lines.back().e.back().push_back(e);
    }
    for (const ExactLine& l : lines)
        if (static_cast<int>(l.e.size()) != l.npts) fail(path + ": a line holds other than its npts rows");
    return lines;
}

// The blocks of one fort.2 as [line][point][band].
std::vector<Curves> readBands(const std::string& path) {
    auto f = RecordFile::load(path);
    if (!f) fail(path + ": cannot be opened");
    auto count = f->has(1) ? FieldCursor(f->record(1)).I(2) : std::nullopt;
    if (!count) fail(f->where(1, "unreadable line count"));
    std::vector<Curves> lines;
    size_t r = 2;
    for (long l = 0; l < *count; ++l) {
        if (!f->has(r)) fail(f->where(r, "missing line header"));
        FieldCursor h(f->record(r++));
        auto npts = h.I(3), nb = h.I(4);
        if (!npts || !nb) fail(f->where(r - 1, "unreadable line header"));
        Curves c(static_cast<size_t>(*npts), std::vector<double>(static_cast<size_t>(*nb)));
        for (long b = 0; b < *nb; ++b)
            for (long p = 0; p < *npts; ++p, ++r) {
                auto e = f->has(r) ? FieldCursor(f->record(r)).F(10, 5) : std::nullopt;
                if (!e) fail(f->where(r, "unreadable energy"));
                c[static_cast<size_t>(p)][static_cast<size_t>(b)] = *e;
            }
        lines.push_back(std::move(c));
    }
    return lines;
}

// The natural cubic spline through (x_i, y_i), at `at`.
double spline(const std::vector<double>& x, const std::vector<double>& y, double at) {
    const size_t n = x.size();
    if (n == 2) return y[0] + (y[1] - y[0]) * (at - x[0]) / (x[1] - x[0]);
    // second derivatives m, zero at both ends: tridiagonal, forward sweep
    std::vector<double> m(n, 0.0), c(n, 0.0), d(n, 0.0);
    for (size_t i = 1; i + 1 < n; ++i) {
        const double h0 = x[i] - x[i - 1], h1 = x[i + 1] - x[i];
        const double a = h0 / 6.0, b = (h0 + h1) / 3.0, cc = h1 / 6.0;
        const double r = (y[i + 1] - y[i]) / h1 - (y[i] - y[i - 1]) / h0;
        const double den = b - a * c[i - 1];
        c[i] = cc / den;
        d[i] = (r - a * d[i - 1]) / den;
    }
    for (size_t i = n - 2; i >= 1; --i) m[i] = d[i] - c[i] * m[i + 1];
    size_t k = 0;
    while (k + 2 < n && at > x[k + 1]) ++k;
    const double h = x[k + 1] - x[k], t = at - x[k], u = x[k + 1] - at;
    return m[k] * u * u * u / (6 * h) + m[k + 1] * t * t * t / (6 * h) + (y[k] / h - m[k] * h / 6) * u +
           (y[k + 1] / h - m[k + 1] * h / 6) * t;
}

// Splines of every band of the set-up's lines in dir, on each line's grid.
std::vector<Curves> splineBands(const std::string& dir, const std::vector<ExactLine>& truth) {
    Result<BandCounts> sizes = readCounts(dir + "/fort.14");
    if (!sizes) fail(sizes.error());
    auto f3 = RecordFile::load(dir + "/fort.3");
    if (!f3) fail(dir + "/fort.3: cannot be opened");
    Result<band::StoredLines> stored = band::readSetupLines(*f3, static_cast<int>(truth.size()));
    if (!stored) fail(stored.error());
    const SetupFile& counts = stored->counts;
    const std::vector<band::SetupLine>& lines = stored->lines;
    Result<BandInput> read = readBandInput(dir + "/fort.1", sizes->nkpt, counts.nbands);
    if (!read) fail(read.error());
    const BandInput& input = *read;
    Report con;
    std::vector<Curves> out;
    for (size_t l = 0; l < lines.size(); ++l) {
        if (!lines[l].block) fail(lines[l].block.error());
        const SetupBlock& blk = *lines[l].block;
        band::LineConditions cond;
        if (!band::eread(input, blk.kfile, counts.nbands, counts.nlower, counts.ninterp, blk.nkl, blk.label,
                         blk.end_ns, con, cond))
            fail("line " + std::to_string(l + 1) + " of fort.3 does not fit fort.1");
        band::applyBandOrder(band::tsort(blk, counts.nbands), counts.nlower, cond);
        const std::vector<double> x(cond.x.begin() + 1, cond.x.begin() + 1 + blk.nkl);
        Curves c(static_cast<size_t>(truth[l].npts), std::vector<double>(static_cast<size_t>(counts.ninterp)));
        for (int q = 1; q <= counts.ninterp; ++q) {
            std::vector<double> y;
            for (int i = 1; i <= blk.nkl; ++i) y.push_back(cond(i, q));
            for (int p = 1; p <= truth[l].npts; ++p)
                c[static_cast<size_t>(p - 1)][static_cast<size_t>(q - 1)] = spline(x, y, band::gridX(p));
        }
        out.push_back(std::move(c));
    }
    return out;
}

Error compare(Curves c, const ExactLine& exact) {
    Error e;
    if (c.size() != exact.e.size()) fail("a line of fort.2 holds other than the exact line's points");
    for (size_t p = 0; p < c.size(); ++p) {
        std::sort(c[p].begin(), c[p].end());
        if (c[p].size() != exact.e[p].size()) fail("fort.2 holds other than the exact number of bands");
        for (size_t b = 0; b < c[p].size(); ++b) {
            const double d = std::fabs(c[p][b] - exact.e[p][b]);
            e.sum += d * d;
            e.worst = std::max(e.worst, d);
            ++e.n;
        }
    }
    return e;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: quality_bands TRUTH NAME=DIR ...\n");
        return 2;
    }
    const std::vector<ExactLine> truth = readTruth(argv[1]);
    std::vector<std::string> names;
    std::vector<std::vector<Curves>> fits;
    std::string firstDir;
    for (int a = 2; a < argc; ++a) {
        const std::string arg = argv[a];
        const size_t eq = arg.find('=');
        if (eq == std::string::npos) fail("'" + arg + "' is not NAME=DIR");
        names.push_back(arg.substr(0, eq));
        const std::string dir = arg.substr(eq + 1);
        if (firstDir.empty()) firstDir = dir;
        fits.push_back(readBands(dir + "/fort.2"));
        if (fits.back().size() != truth.size()) fail(dir + "/fort.2 holds other than the exact lines");
    }
    names.push_back("spline");
    fits.push_back(splineBands(firstDir, truth));

    std::printf("| line |");
    for (const std::string& n : names) std::printf(" %s rms | %s max |", n.c_str(), n.c_str());
    std::printf("\n|---|");
    for (size_t i = 0; i < names.size(); ++i) std::printf("---:|---:|");
    std::printf("\n");
    std::vector<Error> all(names.size());
    for (size_t l = 0; l < truth.size(); ++l) {
        std::printf("| %zu |", l + 1);
        for (size_t f = 0; f < fits.size(); ++f) {
            const Error e = compare(fits[f][l], truth[l]);
            all[f].add(e);
            std::printf(" %s |", e.cells().c_str());
        }
        std::printf("\n");
    }
    std::printf("| all |");
    for (const Error& e : all) std::printf(" %s |", e.cells().c_str());
    std::printf("\n");
    return 0;
}
