#include "import/formats/poscar.h"

#include <cmath>

#include "common/records.h"
#include "import/text/text_table.h"

namespace importer {

namespace {

constexpr size_t kSymbols = 6, kCounts = 7;  // after the title, the scale and three lattice vectors

common::Result<Lattice> latticeOf(const common::RecordFile& f) {
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
    KVector s{};
    if (scale->size() == 3) {
        s = {(*scale)[0], (*scale)[1], (*scale)[2]};
    } else {
        const double x = scale->front() > 0 ? scale->front() : std::cbrt(-scale->front() / std::fabs(volume));
        if (scale->front() == 0) return at(f, 2, "a scale of 0");
        s = {x, x, x};
    }
    for (auto& v : a)
        for (size_t j = 0; j < 3; ++j) v[j] *= s[j];
    return reciprocalOf(a);
}


common::Result<std::vector<std::string>> elementsOf(const common::RecordFile& f) {
    if (!f.has(kCounts)) return endsBefore(f, f.size() + 1, "the element symbols and counts (lines 6 and 7)");
    const std::vector<std::string> symbols = words(f.record(kSymbols));
    if (symbols.empty() || number(symbols.front()))
        return at(f, kSymbols, "no element symbols (a POSCAR of VASP 4 names none)");
    const auto counts = numbersOn(f, kCounts);
    if (!counts) return counts.failure();
    if (counts->size() != symbols.size())
        return at(f, kCounts, std::to_string(counts->size()) + " counts for " + std::to_string(symbols.size()) +
                                  " element symbols");
    std::vector<std::string> element;
    for (size_t k = 0; k < symbols.size(); ++k) {
        const auto n = count(f, kCounts, "the count of " + symbols[k], (*counts)[k], 1, 100000);
        if (!n) return n.failure();
        // "Fe_pv" or "Fe_pv/1a2b3c" of newer POTCARs: the element before the suffix
        const std::string symbol = symbols[k].substr(0, symbols[k].find_first_of("_/"));
        element.insert(element.end(), *n, symbol);
    }
    return element;
}

}  // namespace

common::Result<Poscar> readPoscar(const std::string& path) {
    return loadText(path).transform([](const common::RecordFile& f) { return Poscar{latticeOf(f), elementsOf(f)}; });
}

common::Result<std::vector<std::string>> poscarElements(const std::string& path, int ions) {
    return readPoscar(path).and_then([&](const Poscar& p) { return p.elements; }).and_then(
        [&](std::vector<std::string> element) -> common::Result<std::vector<std::string>> {
            if (element.size() == static_cast<size_t>(ions)) return element;
            return at(path, kCounts, std::to_string(element.size()) + " ions where the DOSCAR has " + std::to_string(ions));
        });
}

}  // namespace importer
