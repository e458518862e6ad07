#include "band/core/character.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "band/core/cosine_fit.h"
#include "band/core/eread.h"
#include "band/core/hermite.h"
#include "band/core/ordering.h"
#include "common/fortran_format.h"

namespace band {

using namespace common;

namespace {

const char* const kCharacterFile = "fort.16";
constexpr size_t kNameWidth = 80;

std::string count(long n, const char* what) { return std::to_string(n) + " " + what; }

// A weight as the file writes it: F8.5.
std::string weightField(double v) { return fortran::F(v, kWeightWidth, kWeightDecimals); }

bool isWeight(double v) { return v >= 0.0 && v <= 1.0; }

// Records 2 ... G+1: the group names.
bool readNames(RecordReader& in, int groups, std::vector<std::string>& names) {
    for (int g = 1; g <= groups; ++g) {
        const std::string* r = in.next();
        if (!r) return false;
        std::string name = fortran::trimRight(fortran::A(*r, static_cast<int>(kNameWidth)));
        if (name.find_first_not_of(' ') == std::string::npos) return in.fail("group " + std::to_string(g) + " has no name");
        names.push_back(std::move(name));
    }
    return true;
}

// One level's record: G weights, each 0 ... 1.
bool readWeights(RecordReader& in, int groups, std::vector<float>& w) {
    const std::string* r = in.next();
    if (!r) return false;
    FieldCursor c(*r);
    for (int g = 1; g <= groups; ++g) {
        const double v = in.get(c.F(kWeightWidth, kWeightDecimals), "weight of group " + std::to_string(g));
        if (!in.ok()) return false;
        if (!isWeight(v)) return in.fail("weight " + weightField(v).substr(weightField(v).find_first_not_of(' ')) +
                                         " of group " + std::to_string(g) + " outside 0 ... 1");
        w.push_back(static_cast<float>(v));
    }
    return true;
}

// Whether the interpolation can take a line of the stored set-up: what
// fitLine and eread check before they fit it.
bool joinable(const SetupFile& counts, const SetupBlock& blk, const BandInput& input) {
    if (!headerInRange(blk) || counts.nbands != input.nbands || blk.nkl < 2 || blk.nkl > kMaxLinePoints ||
        static_cast<int>(blk.kfile.size()) < blk.nkl || static_cast<int>(blk.order.size()) < blk.nkl)
        return false;
    for (int k = 1; k <= blk.nkl; ++k) {
        const int kf = blk.kfile[static_cast<size_t>(k - 1)];
        if (kf < 1 || kf > static_cast<int>(input.blocks.size())) return false;
        if (!isOrderRow(blk.order[static_cast<size_t>(k - 1)], counts.nbands, counts.nlower, counts.ninterp))
            return false;
    }
    return true;
}

// The weights of every band of one line on its grid; nullopt when its k
// points cannot be placed.
std::optional<LineCharacter> lineCharacter(const SetupFile& counts, const SetupBlock& blk, const BandInput& input,
                                           const CharacterFile& weights) {
    OneBased<double, kMaxLinePoints> at;
    if (!linePositions(input, blk.kfile, blk.nkl, blk.end_ns, at)) return std::nullopt;
    const std::vector<std::vector<int>> perms = tsort(blk, counts.nbands);
    const int nk = blk.nkl, groups = weights.groups();
    LineCharacter line{blk.end_ns != 0 ? 26 : kGridPoints, counts.ninterp, groups, {}};
    line.w.resize(static_cast<size_t>(line.npts) * static_cast<size_t>(line.nbands) * static_cast<size_t>(groups));
    std::vector<double> x(static_cast<size_t>(nk)), v(static_cast<size_t>(nk));
    for (int i = 1; i <= nk; ++i) x[static_cast<size_t>(i - 1)] = at[i];
    for (int q = 1; q <= line.nbands; ++q)
        for (int g = 1; g <= groups; ++g) {
            for (int i = 1; i <= nk; ++i)
                v[static_cast<size_t>(i - 1)] = weights.weight(blk.kfile[static_cast<size_t>(i - 1)],
                                                               levelOfBand(perms, counts.nlower, i, q), g);
            const std::optional<std::vector<double>> grid = weightsOnGrid(x, v, line.npts);
            if (!grid) return std::nullopt;
            for (int p = 1; p <= line.npts; ++p)
                line.w[(static_cast<size_t>(q - 1) * static_cast<size_t>(line.npts) + static_cast<size_t>(p - 1)) *
                           static_cast<size_t>(groups) +
                       static_cast<size_t>(g - 1)] = static_cast<float>((*grid)[static_cast<size_t>(p - 1)]);
        }
    return line;
}

}  // namespace

Result<CharacterFile> parseCharacter(const RecordFile& file, int nkpt, int nbands) {
    RecordReader in(file);
    auto done = [&]() -> Result<CharacterFile> { return Failure{in.error()}; };
    auto refuse = [&](const std::string& what) {
        in.fail(what);
        return done();
    };
    const std::string* r = in.next();
    if (!r) return done();
    FieldCursor c(*r);
    const auto k = c.I(6), b = c.I(6), g = c.I(6);
    if (!k || !b || !g) return refuse("unreadable counts record");
    if (*k != nkpt || *b != nbands)
        return refuse(count(*k, "k points and ") + count(*b, "bands; fort.14 has ") + std::to_string(nkpt) + " and " +
                      std::to_string(nbands));
    if (*g < 1 || *g > kMaxGroups)
        return refuse("number of groups " + std::to_string(*g) + " outside 1 ... " + std::to_string(kMaxGroups));
    CharacterFile cf;
    cf.nkpt = nkpt;
    cf.nbands = nbands;
    if (!readNames(in, static_cast<int>(*g), cf.names)) return done();
    cf.w.reserve(static_cast<size_t>(nkpt) * static_cast<size_t>(nbands) * static_cast<size_t>(*g));
    for (long level = 0; level < static_cast<long>(nkpt) * nbands; ++level)
        if (!readWeights(in, cf.groups(), cf.w)) return done();
    while (const std::string* more = in.next())
        if (more->find_first_not_of(' ') != std::string::npos)
            return refuse("more records than " + count(nkpt, "k points of ") + count(nbands, "levels hold"));
    return cf;
}

Result<std::string> formatCharacter(const CharacterFile& c) {
    const int groups = c.groups();
    if (groups < 1 || groups > kMaxGroups)
        return Failure{std::string(kCharacterFile) + ": " + count(groups, "groups") + "; 1 ... " +
                       std::to_string(kMaxGroups) + " fit"};
    if (c.w.size() != static_cast<size_t>(c.nkpt) * static_cast<size_t>(c.nbands) * static_cast<size_t>(groups))
        return Failure{std::string(kCharacterFile) + ": " + count(static_cast<long>(c.w.size()), "weights for ") +
                       count(c.nkpt, "k points of ") + count(c.nbands, "levels in ") + count(groups, "groups")};
    std::string s = fortran::I(c.nkpt, 6) + fortran::I(c.nbands, 6) + fortran::I(groups, 6) + "\n";
    for (const std::string& name : c.names) {
        if (name.size() > kNameWidth || name.find_first_not_of(' ') == std::string::npos)
            return Failure{std::string(kCharacterFile) + ": group name '" + name + "' blank or longer than 80 characters"};
        s += name + "\n";
    }
    for (int n = 1; n <= c.nkpt; ++n)
        for (int b = 1; b <= c.nbands; ++b) {
            for (int g = 1; g <= groups; ++g) {
                const float v = c.weight(n, b, g);
                if (!isWeight(v))
                    return Failure{std::string(kCharacterFile) + ", k point " + std::to_string(n) + ", band " +
                                   std::to_string(b) + ": weight of group " + std::to_string(g) + " outside 0 ... 1"};
                s += weightField(v);
            }
            s += "\n";
        }
    return s;
}

std::optional<std::vector<double>> weightsOnGrid(const std::vector<double>& x, const std::vector<double>& v,
                                                 int npts) {
    const size_t n = x.size();
    std::vector<size_t> by(n);
    std::iota(by.begin(), by.end(), size_t{0});
    std::stable_sort(by.begin(), by.end(), [&](size_t a, size_t b) { return x[a] < x[b]; });
    std::vector<double> xs(n), vs(n), d(n, 0.0);
    for (size_t i = 0; i < n; ++i) {
        xs[i] = x[by[i]];
        vs[i] = v[by[i]];
    }
    if (!hermiteKnotsValid(xs)) return std::nullopt;
    // Fritsch and Carlson: the slope 0 at a turning point, elsewhere the
    // weighted harmonic mean of the neighbouring secants; the ends take
    // their interval's secant.
    std::vector<double> secant(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) secant[i] = (vs[i + 1] - vs[i]) / (xs[i + 1] - xs[i]);
    d[0] = secant[0];
    d[n - 1] = secant[n - 2];
    for (size_t i = 1; i + 1 < n; ++i) {
        const double s0 = secant[i - 1], s1 = secant[i];
        if (s0 * s1 <= 0.0) continue;
        const double h0 = xs[i] - xs[i - 1], h1 = xs[i + 1] - xs[i];
        const double w0 = 2.0 * h1 + h0, w1 = h1 + 2.0 * h0;
        d[i] = (w0 + w1) / (w0 / s0 + w1 / s1);
    }
    std::vector<double> out(static_cast<size_t>(npts));
    for (int p = 1; p <= npts; ++p) {
        const double at = std::clamp(gridX(p), xs.front(), xs.back());
        out[static_cast<size_t>(p - 1)] = std::clamp(hermiteApply(hermiteWeights(xs, at), vs, d), 0.0, 1.0);
    }
    return out;
}

BandCharacter characterOfLines(const StoredLines& stored, const BandInput& input, const CharacterFile& weights) {
    BandCharacter c;
    c.names = weights.names;
    for (const SetupLine& line : stored.lines) {
        if (!line.block || !joinable(stored.counts, *line.block, input)) continue;
        if (std::optional<LineCharacter> l = lineCharacter(stored.counts, *line.block, input, weights))
            c.lines.push_back(std::move(*l));
    }
    return c;
}

Result<BandCharacter> loadBandCharacter(int nlines, const std::string& dir) {
    const std::string base = dir.empty() || dir == "." ? std::string() : dir + "/";
    const std::optional<RecordFile> file = RecordFile::load(base + kCharacterFile);
    if (!file) {
        if (!std::filesystem::exists(base + kCharacterFile)) return BandCharacter{};
        return Failure{base + kCharacterFile + ": cannot be opened"};
    }
    return readCounts(base + "fort.14")
        .and_then([&](const BandCounts& n) { return parseCharacter(*file, n.nkpt, n.nbands); })
        .and_then([&](const CharacterFile& weights) -> Result<BandCharacter> {
            const std::optional<RecordFile> fort3 = RecordFile::load(base + "fort.3");
            if (!fort3) return Failure{base + "fort.3: cannot be opened"};
            Result<StoredLines> stored = readSetupLines(*fort3, nlines);
            if (!stored) return stored.failure();
            return readBandInput(base + "fort.1", weights.nkpt, stored->counts.nbands)
                .transform([&](const BandInput& input) { return characterOfLines(*stored, input, weights); });
        });
}

}  // namespace band
