#include "import/w90_geninterp.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "common/records.h"

namespace importer {

using namespace common;
using namespace band;

namespace {

common::Result<DensePath> pathOf(const RecordFile& f) {
    auto at = [&](size_t line, const std::string& what) {
        return common::Failure{f.name() + ", line " + std::to_string(line) + ": " + what};
    };
    DensePath path;
    long index = 0;
    size_t firstLine = 0;  // line of the current k point's first band
    auto finish = [&]() -> common::Status {
        if (path.e.size() < 2) return {};
        const size_t want = path.e.front().size(), got = path.e.back().size();
        if (got != want)
            return at(firstLine, "k point " + std::to_string(path.e.size()) + " has " + std::to_string(got) +
                                     " bands, the first has " + std::to_string(want));
        return {};
    };
    for (size_t r = 1; r <= f.size(); ++r) {
        const std::string& rec = f.record(r);
        const size_t start = rec.find_first_not_of(" \t");
        if (start == std::string::npos || rec[start] == '#') continue;
        std::istringstream in(rec);
        std::vector<std::string> w;
        for (std::string s; in >> s;) w.push_back(s);
        if (w.size() == 5)
            return at(r, "energies without derivatives: run postw90 with geninterp_alsofirstder = true");
        if (w.size() != 8) return at(r, "expected 8 numbers (k point, kx, ky, kz, energy, dE/dkx, dE/dky, dE/dkz)");
        char* end = nullptr;
        const long idx = std::strtol(w[0].c_str(), &end, 10);
        if (*end != '\0') return at(r, "unreadable k point number");
        double v[7];
        for (size_t j = 0; j < 7; ++j) {
            // Fortran may write a three-digit exponent without its E: 0.1234-100.
            v[j] = std::strtod(w[j + 1].c_str(), &end);
            if (*end != '\0' || !std::isfinite(v[j])) {
                if (end != w[j + 1].c_str() && (*end == '-' || *end == '+') && std::strtol(end, nullptr, 10) <= -100) {
                    v[j] = 0.0;
                    continue;
                }
                return at(r, "unreadable number '" + w[j + 1] + "'");
            }
        }
        const KVector k{v[0], v[1], v[2]};
        const bool same = !path.k.empty() && idx == index && std::fabs(k[0] - path.k.back()[0]) < 1e-9 &&
                          std::fabs(k[1] - path.k.back()[1]) < 1e-9 && std::fabs(k[2] - path.k.back()[2]) < 1e-9;
        if (!same) {
            if (auto s = finish(); !s) return common::Failure{s.error()};
            path.k.push_back(k);
            path.e.emplace_back();
            path.grad.emplace_back();
            index = idx;
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
    return pathOf(RecordFile::fromText(name, text));
}

common::Result<DensePath> readGeninterp(const std::string& path) {
    auto f = RecordFile::load(path);
    if (!f) return common::Failure{path + ": cannot be opened"};
    return pathOf(*f);
}

}  // namespace importer
