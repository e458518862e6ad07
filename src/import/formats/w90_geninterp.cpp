#include "import/formats/w90_geninterp.h"

#include <cmath>

#include "band/core/band_input.h"
#include "common/records.h"
#include "import/text/text_table.h"

namespace importer {

namespace {

common::Result<DensePath> pathOf(const common::RecordFile& f) {
    DensePath path;
    long index = 0;
    size_t firstLine = 0;  // line of the current k point's first band
    auto finish = [&]() -> common::Status {
        if (path.points.size() < 2) return {};
        const size_t want = path.points.front().levels.size(), got = path.points.back().levels.size();
        if (got != want)
            return at(f, firstLine, "k point " + std::to_string(path.points.size()) + " has " + std::to_string(got) +
                                     " bands, the first has " + std::to_string(want));
        return {};
    };
    for (size_t r = 1; r <= f.size(); ++r) {
        const std::string& rec = f.record(r);
        const size_t start = rec.find_first_not_of(" \t");
        if (start == std::string::npos || rec[start] == '#') continue;
        const std::vector<std::string> w = words(rec);
        if (w.size() == 5)
            return at(f, r, "energies without derivatives: run postw90 with geninterp_alsofirstder = true");
        if (w.size() != 8) return at(f, r, "expected 8 numbers (k point, kx, ky, kz, energy, dE/dkx, dE/dky, dE/dkz)");
        const auto idx = integer(w[0]);
        if (!idx) return at(f, r, "unreadable k point number");
        const auto values = numbersOn(f, r, std::vector<std::string>(w.begin() + 1, w.end()));
        if (!values) return values.failure();
        const std::vector<double>& v = *values;
        // The gradients go into fort.1 as they stand, each in an F10.5 field.
        for (size_t j = 4; j < 7; ++j)
            if (!common::readBack(v[j], band::kLevelWidth, band::kLevelDecimals))
                return at(f, r, "gradient " + w[j + 1] + " does not fit " + band::kLevelField + " of fort.1");
        const KVector k{v[0], v[1], v[2]};
        const KVector& last = path.points.empty() ? k : path.points.back().k;
        const bool same = !path.points.empty() && *idx == index && std::fabs(k[0] - last[0]) < 1e-9 &&
                          std::fabs(k[1] - last[1]) < 1e-9 && std::fabs(k[2] - last[2]) < 1e-9;
        if (!same) {
            if (auto s = finish(); !s) return s.failure();
            PathPoint& point = path.points.emplace_back();
            point.k = k;
            point.line = r;
            index = *idx;
            firstLine = r;
        }
        Level& level = path.points.back().levels.emplace_back();
        level.energy = v[3];
        level.slope = KVector{v[4], v[5], v[6]};
    }
    if (path.points.empty()) return common::Failure{f.name() + ": no data lines (is it a postw90 geninterp file?)"};
    if (auto s = finish(); !s) return s.failure();
    sortLevels(path);
    return path;
}

}  // namespace

common::Result<DensePath> parseGeninterp(const std::string& name, const std::string& text) {
    return pathOf(common::RecordFile::fromText(name, text));
}

common::Result<DensePath> readGeninterp(const std::string& path) {
    return loadText(path).and_then(pathOf);
}

}  // namespace importer
