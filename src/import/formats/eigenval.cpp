#include "import/formats/eigenval.h"

#include <cmath>

#include "common/records.h"
#include "import/text/text_table.h"

namespace importer {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// The next line at or after r that is not blank; f.size() + 1 when none.
size_t nextFilled(const common::RecordFile& f, size_t r) {
    while (r <= f.size() && blank(f.record(r))) ++r;
    return r;
}

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

// "k1 k2 k3 [!] NAME": the point and its name ("" without one).
common::Result<std::pair<KVector, std::string>> kpointLine(const common::RecordFile& f, size_t r) {
    std::string text = f.record(r);
    std::string name;
    const size_t bang = text.find('!');
    if (bang != std::string::npos) {
        const auto after = words(text.substr(bang + 1));
        if (!after.empty()) name = after.front();
        text = text.substr(0, bang);
    }
    std::vector<std::string> w = words(text);
    if (w.size() == 4 && name.empty() && !number(w[3])) {
        name = w[3];
        w.pop_back();
    }
    if (w.size() < 3) return at(f, r, "expected a k point (three numbers, then its name)");
    const auto k = numbersOn(f, r, std::vector<std::string>(w.begin(), w.begin() + 3));
    if (!k) return common::Failure{k.error()};
    return std::pair<KVector, std::string>{{(*k)[0], (*k)[1], (*k)[2]}, name};
}

common::Result<KpointsPath> kpointsOf(const common::RecordFile& f) {
    KpointsPath kp;
    kp.name = f.name();
    if (f.size() < 4) return endsBefore(f, f.size() + 1, "the first point of the path");
    // a mesh ("0", "Monkhorst-Pack") or a list of points is no path, whatever line 2 holds
    const std::vector<std::string> mode = words(f.record(3));
    if (mode.empty() || (mode[0][0] != 'L' && mode[0][0] != 'l'))
        return at(f, 3, "not a path: line mode ('Line-mode') expected, the band import needs a path");
    const std::vector<std::string> first = words(f.record(2));  // "40 ! intersections"
    if (first.empty()) return at(f, 2, "expected the number of points a segment");
    const auto n = numbersOn(f, 2, std::vector<std::string>{first.front()});
    if (!n) return common::Failure{n.error()};
    const auto per = count(f, 2, "points a segment", n->front(), 2, 100000);
    if (!per) return common::Failure{per.error()};
    kp.perSegment = static_cast<int>(*per);
    const std::vector<std::string> coord = words(f.record(4));
    const char c = coord.empty() ? ' ' : coord[0][0];
    if (c != 'R' && c != 'r' && c != 'C' && c != 'c' && c != 'K' && c != 'k')
        return at(f, 4, "expected 'Reciprocal' or 'Cartesian'");
    kp.fractional = c == 'R' || c == 'r';
    size_t r = 5;
    while ((r = nextFilled(f, r)) <= f.size()) {
        const auto start = kpointLine(f, r);
        if (!start) return common::Failure{start.error()};
        const size_t second = r + 1;
        if (second > f.size() || blank(f.record(second))) return endsBefore(f, second, "the end of the segment");
        const auto end = kpointLine(f, second);
        if (!end) return common::Failure{end.error()};
        kp.ends.push_back({start->first, end->first});
        kp.names.push_back({start->second, end->second});
        kp.line.push_back(r);
        r = second + 1;
    }
    if (kp.ends.empty()) return endsBefore(f, 5, "the first segment");
    return kp;
}

KVector cross(const KVector& a, const KVector& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

common::Result<Lattice> poscarOf(const common::RecordFile& f) {
    if (f.size() < 5) return endsBefore(f, f.size() + 1, "the three lattice vectors");
    const auto scale = numbersOn(f, 2);
    if (!scale) return common::Failure{scale.error()};
    if (scale->size() != 1 && scale->size() != 3) return at(f, 2, "expected the scale (one number or three)");
    Lattice a;
    for (size_t i = 0; i < 3; ++i) {
        const auto v = numbersOn(f, 3 + i);
        if (!v) return common::Failure{v.error()};
        if (v->size() != 3) return at(f, 3 + i, "expected a lattice vector (three numbers)");
        a[i] = {(*v)[0], (*v)[1], (*v)[2]};
    }
    double volume = dot(a[0], cross(a[1], a[2]));
    if (std::fabs(volume) < 1e-12) return at(f, 3, "the lattice vectors span no volume");
    std::array<double, 3> s{};
    if (scale->size() == 3) {
        s = {(*scale)[0], (*scale)[1], (*scale)[2]};
    } else {
        const double x = scale->front() > 0 ? scale->front() : std::cbrt(-scale->front() / std::fabs(volume));
        if (scale->front() == 0) return at(f, 2, "a scale of 0");
        s = {x, x, x};
    }
    for (auto& v : a)
        for (size_t j = 0; j < 3; ++j) v[j] *= s[j];
    volume = dot(a[0], cross(a[1], a[2]));
    Lattice b;
    for (size_t i = 0; i < 3; ++i) {
        b[i] = cross(a[(i + 1) % 3], a[(i + 2) % 3]);
        for (double& x : b[i]) x *= kTwoPi / volume;
    }
    return b;
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
    const KVector step{k[first + 1][0] - k[first][0], k[first + 1][1] - k[first][1], k[first + 1][2] - k[first][2]};
    if (std::sqrt(dot(step, step)) < 1e-6) return false;
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

// Where the path jumps: between segments (of `per` points) where one does
// not start at the end of the one before, nor one step further on it.
std::vector<bool> segmentJumps(const std::vector<KVector>& k, size_t per) {
    std::vector<bool> jump(k.size(), false);
    for (size_t end = per - 1; end + 1 < k.size(); end += per) {
        const KVector further{2 * k[end][0] - k[end - 1][0], 2 * k[end][1] - k[end - 1][1], 2 * k[end][2] - k[end - 1][2]};
        jump[end] = distance(k[end], k[end + 1]) > 1e-6 && distance(further, k[end + 1]) > 1e-5;
    }
    return jump;
}

// The file at `path` read by `of`.
template <class T>
common::Result<T> loaded(const std::string& path, common::Result<T> (*of)(const common::RecordFile&)) {
    auto f = loadText(path);
    if (!f) return common::Failure{f.error()};
    return of(*f);
}

}  // namespace

common::Result<Eigenval> readEigenval(const std::string& path) { return loaded(path, eigenvalOf); }

common::Result<KpointsPath> parseKpoints(const std::string& name, const std::string& text) {
    return kpointsOf(common::RecordFile::fromText(name, text));
}

common::Result<KpointsPath> readKpoints(const std::string& path) { return loaded(path, kpointsOf); }

common::Result<Lattice> readPoscarReciprocal(const std::string& path) { return loaded(path, poscarOf); }

common::Result<Lattice> readOutcarReciprocal(const std::string& path) {
    auto f = loadText(path);
    if (!f) return common::Failure{f.error()};
    std::optional<size_t> last;
    for (size_t r = 1; r <= f->size(); ++r)
        if (f->record(r).find("reciprocal lattice vectors") != std::string::npos) last = r;
    if (!last) return common::Failure{path + ": no 'reciprocal lattice vectors' (is it an OUTCAR?)"};
    Lattice b;
    for (size_t i = 0; i < 3; ++i) {
        const size_t r = *last + 1 + i;
        if (r > f->size()) return endsBefore(*f, r, "the reciprocal lattice vectors");
        const auto v = numbersOn(*f, r);
        if (!v) return common::Failure{v.error()};
        if (v->size() != 6) return at(*f, r, "expected a direct and a reciprocal lattice vector (six numbers)");
        b[i] = {(*v)[3] * kTwoPi, (*v)[4] * kTwoPi, (*v)[5] * kTwoPi};
    }
    return b;
}

common::Result<double> fermiFromOutcar(const std::string& path) {
    auto f = loadText(path);
    if (!f) return common::Failure{f.error()};
    std::optional<double> fermi;
    for (size_t r = 1; r <= f->size(); ++r) {
        const auto after = wordsAfter(f->record(r), "E-fermi :");
        if (!after) continue;
        const auto v = after->empty() ? std::nullopt : number(after->front());
        if (!v) return at(*f, r, "unreadable Fermi energy");
        fermi = *v;
    }
    if (!fermi) return common::Failure{path + ": no 'E-fermi :' line (is it an OUTCAR?)"};
    return *fermi;
}

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
    std::vector<KVector> fractions;
    for (size_t i : keep) fractions.push_back(run.k[i]);
    for (size_t i : keep) {
        const KVector& f = run.k[i];
        KVector k = f;
        if (lattice)
            for (size_t j = 0; j < 3; ++j) k[j] = f[0] * (*lattice)[0][j] + f[1] * (*lattice)[1][j] + f[2] * (*lattice)[2][j];
        path.k.push_back(k);
        path.line.push_back(run.line[i]);
        std::vector<double> e;
        std::vector<int> channel;
        for (size_t c = 0; c < static_cast<size_t>(run.spins); ++c) {
            if ((spin == Spin::Up && c == 1) || (spin == Spin::Down && c == 0)) continue;
            e.insert(e.end(), run.e[c][i].begin(), run.e[c][i].end());
            channel.insert(channel.end(), run.e[c][i].size(), static_cast<int>(c));
        }
        path.e.push_back(std::move(e));
        if (run.spins == 2 && spin == Spin::Both) path.channel.push_back(std::move(channel));
    }
    if (kpoints) {
        const KpointsPath& kp = *kpoints;
        const size_t per = static_cast<size_t>(kp.perSegment);
        if (kp.ends.size() * per != keep.size())
            return common::Failure{kp.name + ": " + std::to_string(kp.ends.size()) + " segments of " +
                                   std::to_string(per) + " points make " + std::to_string(kp.ends.size() * per) +
                                   " k points, " + name + " has " + std::to_string(keep.size()) + " on its path"};
        path.names.assign(keep.size(), "");
        for (size_t s = 0; s < kp.ends.size(); ++s)
            for (size_t side = 0; side < 2; ++side) {
                const size_t i = s * per + (side == 0 ? 0 : per - 1);
                const KVector& want = kp.ends[s][side];
                const KVector& got = run.k[keep[i]];
                if (kp.fractional && std::fabs(want[0] - got[0]) + std::fabs(want[1] - got[1]) + std::fabs(want[2] - got[2]) > 1e-4)
                    return at(kp.name, kp.line[s] + side,
                              "this point is not k point " + std::to_string(keep[i] + 1) + " of " + name +
                                  " (are they of the same run?)");
                path.names[i] = kp.names[s][side];
            }
    }
    if (const size_t per = kpoints ? static_cast<size_t>(kpoints->perSegment) : segmentLength(fractions); per > 0)
        path.jump = segmentJumps(fractions, per);
    sortLevels(path);
    return path;
}

}  // namespace importer
