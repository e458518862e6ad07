#include "import/formats/w90_band.h"

#include <cctype>

#include <cmath>
#include <filesystem>

#include "common/records.h"
#include "import/text/text_table.h"

namespace importer {

namespace {

const std::string kSuffix = "_band.dat";

common::Result<std::vector<KVector>> kpointsOf(const common::RecordFile& f) {
    if (f.size() < 1) return endsBefore(f, 1, "the number of k points");
    const auto n = numbersOn(f, 1);
    if (!n) return common::Failure{n.error()};
    if (n->size() != 1) return at(f, 1, "expected the number of k points");
    const auto nk = count(f, 1, "number of k points", n->front(), 2, 1000000);
    if (!nk) return common::Failure{nk.error()};
    std::vector<KVector> k;
    for (size_t r = 2; r <= *nk + 1; ++r) {
        if (r > f.size()) return endsBefore(f, r, "k point " + std::to_string(r - 1) + " of " + std::to_string(*nk));
        const auto v = numbersOn(f, r);
        if (!v) return common::Failure{v.error()};
        if (v->size() != 4) return at(f, r, "expected k1 k2 k3 weight");
        k.push_back({(*v)[0], (*v)[1], (*v)[2]});
    }
    return k;
}

// The points of the path at the k points `k`, with their levels from the
// band file (one band after the other, a blank line after each) and the
// line of each in the first band.
common::Result<std::vector<PathPoint>> pointsOf(const common::RecordFile& f, const std::vector<KVector>& k) {
    const size_t nk = k.size();
    std::vector<PathPoint> points(nk);
    for (size_t i = 0; i < nk; ++i) points[i].k = k[i];
    std::vector<double> x;  // the distances of the first band
    size_t point = 0, band = 0;
    for (size_t r = 1; r <= f.size(); ++r) {
        if (blank(f.record(r))) {
            if (point != 0 && point != nk)
                return at(f, r, "band " + std::to_string(band + 1) + " has " + std::to_string(point) + " k points, the .kpt file " +
                                    std::to_string(nk));
            if (point == nk) ++band;
            point = 0;
            continue;
        }
        const auto v = numbersOn(f, r);
        if (!v) return v.failure();
        if (v->size() != 2) return at(f, r, "expected x E");
        if (point == nk) return at(f, r, "more than the " + std::to_string(nk) + " k points of the .kpt file in band " + std::to_string(band + 1) + " (no blank line after it?)");
        if (band == 0) {
            x.push_back((*v)[0]);
            points[point].line = r;
        }
        else if (std::fabs(x[point] - (*v)[0]) > 1e-4) return at(f, r, "x differs from band 1's at k point " + std::to_string(point + 1));
        points[point++].levels.emplace_back().energy = (*v)[1];
    }
    if (point != 0 && point != nk) return endsBefore(f, f.size() + 1, "band " + std::to_string(band + 1) + " has all its k points");
    if (points.front().levels.empty()) return common::Failure{f.name() + ": no bands"};
    return points;
}

common::Status nameThePoints(const common::RecordFile& f, DensePath& path) {
    for (size_t r = 1; r <= f.size(); ++r) {
        if (blank(f.record(r))) continue;
        const std::vector<std::string> w = words(f.record(r));
        const auto index = w.size() == 6 ? integer(w[1]) : std::nullopt;
        if (!index) return at(f, r, "expected NAME index x k1 k2 k3");
        if (*index < 1 || static_cast<size_t>(*index) > path.points.size())
            return at(f, r, "k point " + w[1] + " is not one of the " + std::to_string(path.points.size()));
        PathPoint& point = path.points[static_cast<size_t>(*index - 1)];
        point.name = w[0];
        point.high = true;
    }
    return {};
}

common::Result<Lattice> latticeOf(const common::RecordFile& f) {
    for (size_t r = 1; r <= f.size(); ++r) {
        if (f.record(r).find("Reciprocal-Space Vectors") == std::string::npos) continue;
        Lattice b;
        for (size_t i = 0; i < 3; ++i) {
            const size_t line = r + 1 + i;
            if (line > f.size()) return endsBefore(f, line, "the reciprocal lattice vectors");
            const std::vector<std::string> w = words(f.record(line));
            if (w.size() != 4 || w[0] != "b_" + std::to_string(i + 1)) return at(f, line, "expected b_" + std::to_string(i + 1) + " x y z");
            const auto v = numbersOn(f, line, std::vector<std::string>(w.begin() + 1, w.end()));
            if (!v) return common::Failure{v.error()};
            b[i] = {(*v)[0], (*v)[1], (*v)[2]};
        }
        return b;
    }
    return common::Failure{f.name() + ": no 'Reciprocal-Space Vectors' (is it a wannier90 output?)"};
}

}  // namespace

bool isW90BandFile(const std::string& path) {
    return path.size() >= kSuffix.size() && path.compare(path.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
}

namespace {

common::Result<DensePath> pathOf(const common::RecordFile& band, const common::RecordFile& kpt,
                                 const std::optional<common::RecordFile>& labelinfo,
                                 const std::optional<common::RecordFile>& wout) {
    auto points = kpointsOf(kpt).and_then([&](const std::vector<KVector>& k) { return pointsOf(band, k); });
    if (!points) return points.failure();
    DensePath path;
    path.points = std::move(*points);
    path.units = KUnits::fractions;
    if (wout) {
        const auto b = latticeOf(*wout);
        if (!b) return b.failure();
        path.reciprocal = *b;
        path.units = KUnits::inverseAngstrom;
        for (PathPoint& p : path.points) p.k = cartesian(p.k, *b);
    }
    if (labelinfo)
        if (auto s = nameThePoints(*labelinfo, path); !s) return s.failure();
    sortLevels(path);
    return path;
}

std::optional<common::RecordFile> recordsOf(const std::optional<NamedText>& t) {
    if (!t) return std::nullopt;
    return common::RecordFile::fromText(t->name, t->text);
}

}  // namespace

common::Result<DensePath> parseW90Band(const NamedText& band, const NamedText& kpt, const std::optional<NamedText>& labelinfo,
                                       const std::optional<NamedText>& wout) {
    return pathOf(common::RecordFile::fromText(band.name, band.text), common::RecordFile::fromText(kpt.name, kpt.text),
                  recordsOf(labelinfo), recordsOf(wout));
}

common::Result<W90Band> readW90Band(const std::string& path) {
    const std::string seed = path.substr(0, path.size() - kSuffix.size());
    const auto band = loadText(path);
    if (!band) return band.failure();
    const auto kpt = loadText(seed + "_band.kpt");
    if (!kpt) return common::Failure{kpt.error() + " (wannier90 writes it beside " + path + ")"};
    std::string read = kpt->name();
    // a file beside the band file that may be missing
    auto beside = [&](const std::string& name) -> common::Result<std::optional<common::RecordFile>> {
        if (!std::filesystem::exists(name)) return std::optional<common::RecordFile>{};
        read += ", " + name;
        return loadText(name).transform([](common::RecordFile f) { return std::optional<common::RecordFile>{std::move(f)}; });
    };
    const auto labels = beside(seed + "_band.labelinfo.dat");
    if (!labels) return labels.failure();
    const auto wout = beside(seed + ".wout");
    if (!wout) return wout.failure();
    return pathOf(*band, *kpt, *labels, *wout).transform([&](DensePath p) {
        return W90Band{std::move(p), read, labels->has_value()};
    });
}

namespace {

// The number after `key` on a line of `f` (the key compared in lower case,
// after it '=', ':' or blanks); nothing when no line has the key.
common::Result<std::optional<W90Fermi>> keyedNumber(const common::RecordFile& f, const std::string& key) {
    for (size_t n = 1; n <= f.size(); ++n) {
        std::string line = f.record(n).substr(0, f.record(n).find_first_of("!#"));
        for (char& c : line) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const size_t at = line.find(key);
        if (at == std::string::npos) continue;
        // the whole keyword: not fermi_energy_min, nor part of a longer word
        const size_t end = at + key.size();
        auto wordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
        if ((at > 0 && wordChar(line[at - 1])) || (end < line.size() && wordChar(line[end]))) continue;
        const std::vector<std::string> w = words(line.substr(at + key.size()), "=:|");
        const std::optional<double> e = w.empty() ? std::nullopt : number(w.front());
        if (!e) return importer::at(f, n, "unreadable Fermi energy");
        return std::optional<W90Fermi>{W90Fermi{*e, f.name()}};
    }
    return std::optional<W90Fermi>{};
}

}  // namespace

common::Result<std::optional<W90Fermi>> w90Fermi(const std::string& seed) {
    for (const auto& [file, key] : {std::pair<std::string, std::string>{seed + ".win", "fermi_energy"},
                                    {seed + ".wout", "fermi energy (ev)"}}) {
        if (!std::filesystem::is_regular_file(file)) continue;
        const auto f = loadText(file);
        if (!f) return f.failure();
        auto found = keyedNumber(*f, key);
        if (!found || *found) return found;
    }
    return std::optional<W90Fermi>{};
}

}  // namespace importer
