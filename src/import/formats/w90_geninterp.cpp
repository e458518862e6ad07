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
        if (path.e.size() < 2) return {};
        const size_t want = path.e.front().size(), got = path.e.back().size();
        if (got != want)
            return at(f, firstLine, "k point " + std::to_string(path.e.size()) + " has " + std::to_string(got) +
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
        if (!values) return common::Failure{values.error()};
        const std::vector<double>& v = *values;
        // The gradients go into fort.1 as they stand, each in an F10.5 field.
        for (size_t j = 4; j < 7; ++j)
            if (!common::readBack(v[j], band::kLevelWidth, band::kLevelDecimals))
                return at(f, r, "gradient " + w[j + 1] + " does not fit " + band::kLevelField + " of fort.1");
        const KVector k{v[0], v[1], v[2]};
        const bool same = !path.k.empty() && *idx == index && std::fabs(k[0] - path.k.back()[0]) < 1e-9 &&
                          std::fabs(k[1] - path.k.back()[1]) < 1e-9 && std::fabs(k[2] - path.k.back()[2]) < 1e-9;
        if (!same) {
            if (auto s = finish(); !s) return common::Failure{s.error()};
            path.k.push_back(k);
            path.e.emplace_back();
            path.grad.emplace_back();
            path.line.push_back(r);
            index = *idx;
            firstLine = r;
        }
        path.e.back().push_back(v[3]);
        path.grad.back().push_back({v[4], v[5], v[6]});
    }
    if (path.k.empty()) return common::Failure{f.name() + ": no data lines (is it a postw90 geninterp file?)"};
    if (auto s = finish(); !s) return common::Failure{s.error()};
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
