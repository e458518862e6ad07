#include "import/formats/eigenval.h"

#include <cmath>

#include "common/records.h"
#include "import/text/text_table.h"

namespace importer {

namespace {

common::Result<Eigenval> eigenvalOf(const common::RecordFile& f) {
    Eigenval run;
    const auto head = f.size() < 1 ? std::nullopt : numbers(f.record(1));
    if (!head || head->size() != 4)
        return at(f, 1, "not a VASP EIGENVAL: expected 4 numbers (ions, ions, loops, ISPIN)");
    if (f.size() < 6) return endsBefore(f, f.size() + 1, "the line with the counts of k points and bands");
    const auto spins = count(f, 1, "ISPIN", head->back(), 1, 2);
    if (!spins) return common::Failure{spins.error()};
    run.spins = static_cast<int>(*spins);
    const auto counts = numbersOn(f, 6);
    if (!counts) return common::Failure{counts.error()};
    if (counts->size() != 3) return at(f, 6, "expected 3 numbers (electrons, k points, bands)");
    const auto nk = count(f, 6, "NKPTS", (*counts)[1], 1, 1000000);
    if (!nk) return common::Failure{nk.error()};
    const auto nb = count(f, 6, "NBANDS", (*counts)[2], 1, 100000);
    if (!nb) return common::Failure{nb.error()};
    // "n E" or "n E occ"; two channels: "n E_up E_down" or "n E_up E_down occ_up occ_down"
    const size_t shortRow = run.spins == 1 ? 2 : 3, longRow = run.spins == 1 ? 3 : 5;
    size_t r = 7;
    for (size_t i = 0; i < *nk; ++i) {
        r = nextFilled(f, r);
        if (r > f.size()) return endsBefore(f, r, "k point " + std::to_string(i + 1) + " of " + std::to_string(*nk));
        const auto kw = numbersOn(f, r);
        if (!kw) return common::Failure{kw.error()};
        if (kw->size() != 4) return at(f, r, "expected k point " + std::to_string(i + 1) + " as 4 numbers (k1 k2 k3 weight)");
        run.k.push_back({(*kw)[0], (*kw)[1], (*kw)[2]});
        run.weight.push_back((*kw)[3]);
        run.line.push_back(r);
        for (int c = 0; c < run.spins; ++c) run.e[static_cast<size_t>(c)].emplace_back();
        for (size_t b = 1; b <= *nb; ++b) {
            ++r;
            if (r > f.size() || blank(f.record(r)))
                return endsBefore(f, r, "band " + std::to_string(b) + " of k point " + std::to_string(i + 1));
            const auto row = numbersOn(f, r);
            if (!row) return common::Failure{row.error()};
            if (row->size() != shortRow && row->size() != longRow)
                return at(f, r, "expected " + std::to_string(shortRow) + " or " + std::to_string(longRow) +
                                    " numbers (band, energy" + (run.spins == 2 ? " up, energy down" : "") +
                                    ", occupation)");
            if ((*row)[0] != static_cast<double>(b)) return at(f, r, "expected band " + std::to_string(b));
            for (int c = 0; c < run.spins; ++c) run.e[static_cast<size_t>(c)].back().push_back((*row)[1 + c]);
        }
        ++r;
    }
    if (size_t extra = nextFilled(f, r); extra <= f.size())
        return at(f, extra, "more lines than the " + std::to_string(*nk) + " k points line 6 announces");
    return run;
}

// The points of the path (`keep`, indices into run) all weigh the same in a
// line-mode run; a self-consistent mesh weighs its points by their stars.
std::optional<common::Failure> meshInstead(const std::string& name, const Eigenval& run, const std::vector<size_t>& keep) {
    const double w0 = run.weight[keep.front()];
    for (size_t i : keep)
        if (std::fabs(run.weight[i] - w0) > 1e-6 * std::fabs(w0))
            return at(name, run.line[i],
                      "k point " + std::to_string(i + 1) + " weighs " + plain(run.weight[i], 7) + ", k point " +
                          std::to_string(keep.front() + 1) + " " + plain(w0, 7) +
                          ": a mesh, not a path (the band import needs a run with a line-mode KPOINTS)");
    return std::nullopt;
}

// True when the points first .. first + n - 1 lie evenly spaced on a line.
bool evenlySpaced(const std::vector<KVector>& k, size_t first, size_t n) {
    const KVector step = minus(k[first + 1], k[first]);
    if (norm(step) < 1e-6) return false;
    for (size_t i = first + 1; i + 1 < first + n; ++i)
        for (size_t j = 0; j < 3; ++j)
            if (std::fabs(k[i + 1][j] - k[i][j] - step[j]) > 1e-5) return false;
    return true;
}

// The points a segment of a line-mode run without its KPOINTS: the longest
// segments, all of one length, that cut the points into evenly spaced
// lines; 0 when only pairs do.
size_t segmentLength(const std::vector<KVector>& k) {
    for (size_t per = k.size(); per >= 3; --per) {
        if (k.size() % per != 0) continue;
        bool lines = true;
        for (size_t first = 0; lines && first < k.size(); first += per) lines = evenlySpaced(k, first, per);
        if (lines) return per;
    }
    return 0;
}

// Marks where the path jumps: between segments (of `per` points, whose
// fractions are `k`) where one does not start at the end of the one
// before, nor one step further on it.
void markJumps(const std::vector<KVector>& k, size_t per, DensePath& path) {
    for (size_t end = per - 1; end + 1 < k.size(); end += per) {
        const KVector further{2 * k[end][0] - k[end - 1][0], 2 * k[end][1] - k[end - 1][1], 2 * k[end][2] - k[end - 1][2]};
        path.points[end].jumpsAfter = distance(k[end], k[end + 1]) > 1e-6 && distance(further, k[end + 1]) > 1e-5;
    }
}

}  // namespace

common::Result<Eigenval> readEigenval(const std::string& path) { return loadText(path).and_then(eigenvalOf); }

common::Result<DensePath> vaspPath(const std::string& name, const Eigenval& run, const std::optional<KpointsPath>& kpoints,
                                   const std::optional<Lattice>& lattice, Spin spin) {
    if (spin != Spin::Both && run.spins == 1)
        return common::Failure{name + ": one spin channel (ISPIN = 1): --spin does not apply"};
    // a hybrid run: the path is the points of weight 0 after the mesh
    std::vector<size_t> keep;
    for (size_t i = 0; i < run.k.size(); ++i)
        if (run.weight[i] == 0) keep.push_back(i);
    if (keep.empty() || keep.size() == run.k.size()) {
        keep.resize(run.k.size());
        for (size_t i = 0; i < keep.size(); ++i) keep[i] = i;
        if (auto mesh = meshInstead(name, run, keep)) return *mesh;
    }
    DensePath path;
    path.reciprocal = lattice;
    path.units = lattice ? KUnits::inverseAngstrom : KUnits::fractions;
    std::vector<KVector> fractions;
    for (size_t i : keep) fractions.push_back(run.k[i]);
    const bool both = run.spins == 2 && spin == Spin::Both;
    for (size_t i : keep) {
        PathPoint& point = path.points.emplace_back();
        point.k = lattice ? cartesian(run.k[i], *lattice) : run.k[i];
        point.line = run.line[i];
        for (size_t c = 0; c < static_cast<size_t>(run.spins); ++c) {
            if ((spin == Spin::Up && c == 1) || (spin == Spin::Down && c == 0)) continue;
            for (double e : run.e[c][i]) {
                Level& level = point.levels.emplace_back();
                level.energy = e;
                level.number = static_cast<int>(point.levels.size() - (c == 1 && both ? run.e[0][i].size() : 0));
                level.channel = both ? static_cast<int>(c) : 0;
            }
        }
    }
    if (kpoints) {
        const KpointsPath& kp = *kpoints;
        const size_t per = static_cast<size_t>(kp.perSegment);
        if (kp.ends.size() * per != keep.size())
            return common::Failure{kp.name + ": " + std::to_string(kp.ends.size()) + " segments of " +
                                   std::to_string(per) + " points make " + std::to_string(kp.ends.size() * per) +
                                   " k points, " + name + " has " + std::to_string(keep.size()) + " on its path"};
        for (size_t s = 0; s < kp.ends.size(); ++s)
            for (size_t side = 0; side < 2; ++side) {
                const size_t i = s * per + (side == 0 ? 0 : per - 1);
                const KVector& want = kp.ends[s][side];
                const KVector& got = run.k[keep[i]];
                if (kp.fractional && std::fabs(want[0] - got[0]) + std::fabs(want[1] - got[1]) + std::fabs(want[2] - got[2]) > 1e-4)
                    return at(kp.name, kp.line[s] + side,
                              "this point is not k point " + std::to_string(keep[i] + 1) + " of " + name +
                                  " (are they of the same run?)");
                path.points[i].name = kp.names[s][side];
            }
    }
    if (const size_t per = kpoints ? static_cast<size_t>(kpoints->perSegment) : segmentLength(fractions); per > 0)
        markJumps(fractions, per, path);
    sortLevels(path);
    return path;
}

}  // namespace importer
