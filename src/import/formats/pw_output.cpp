#include "import/formats/pw_output.h"

#include <cmath>
#include <optional>
#include <vector>

#include "common/records.h"
#include "import/text/text_table.h"

namespace importer {

namespace {

// The number after one of pw.x's markers of the Fermi level on `line`;
// nullopt when none is there, a failure when it is unreadable.
std::optional<common::Result<double>> levelOn(const common::RecordFile& f, size_t r, Spin spin) {
    static const char* const kMarkers[] = {
        "the Fermi energy is",
        "highest occupied, lowest unoccupied level (ev):",
        "highest occupied level (ev):",
    };
    const std::string& line = f.record(r);
    if (auto two = wordsAfter(line, "the spin up/dw Fermi energies are")) {
        const auto up = two->size() >= 2 ? number((*two)[0]) : std::nullopt;
        const auto down = two->size() >= 2 ? number((*two)[1]) : std::nullopt;
        if (!up || !down) return common::Result<double>(at(f, r, "unreadable Fermi energy"));
        if (spin == Spin::Both || spin == Spin::Mirror)
            return common::Result<double>(at(f, r, "two Fermi energies, spin up and down; give one with --fermi"));
        return common::Result<double>(spin == Spin::Up ? *up : *down);
    }
    for (const char* m : kMarkers) {
        if (auto after = wordsAfter(line, m)) {
            const auto v = after->empty() ? std::nullopt : number(after->front());
            if (!v) return common::Result<double>(at(f, r, "unreadable Fermi energy"));
            return common::Result<double>(*v);
        }
    }
    return std::nullopt;
}

// The last Fermi level the file prints; none when it prints none.
common::Result<std::optional<double>> lastFermiLevel(const common::RecordFile& f, Spin spin) {
    std::optional<double> fermi;
    for (size_t r = 1; r <= f.size(); ++r) {
        if (auto level = levelOn(f, r, spin)) {
            if (!*level) return common::Failure{level->error()};
            fermi = **level;
        }
    }
    return fermi;
}

}  // namespace

common::Result<double> fermiFromPwOutput(const std::string& path, Spin spin) {
    return loadText(path)
        .and_then([&](const common::RecordFile& f) { return lastFermiLevel(f, spin); })
        .and_then([&](std::optional<double> fermi) -> common::Result<double> {
            if (fermi) return *fermi;
            return common::Failure{path + ": no Fermi energy and no highest occupied level (is it the output of pw.x?)"};
        });
}

namespace {

// The count after `marker` ("number of electrons       =     8.00"); nullopt
// when the line does not hold it.
std::optional<double> valueAfter(const std::string& line, const std::string& marker) {
    const auto after = wordsAfter(line, marker);
    if (!after || after->empty()) return std::nullopt;
    return number(after->front() == "=" && after->size() > 1 ? (*after)[1] : after->front());
}

// The top of the valence band from the last listing of eigenvalues.
common::Result<PwLevel> valenceTop(const common::RecordFile& f) {
    std::optional<double> electrons, bands;
    bool noncollinear = false;
    double top = 0;
    size_t points = 0;  // k points listed since the last "End of" line
    for (size_t r = 1; r <= f.size(); ++r) {
        const std::string& line = f.record(r);
        if (auto v = valueAfter(line, "number of electrons")) electrons = v;
        if (auto v = valueAfter(line, "number of Kohn-Sham states=")) bands = v;
        if (line.find("Noncollinear calculation") != std::string::npos) noncollinear = true;
        if (line.find("SPIN UP") != std::string::npos)
            return at(f, r, "a spin-polarised run without a Fermi level: give it with --fermi");
        if (line.find("End of self-consistent calculation") != std::string::npos ||
            line.find("End of band structure calculation") != std::string::npos) {
            points = 0;
        }
        if (line.find("bands (ev)") == std::string::npos) continue;
        if (!electrons || !bands) return at(f, r, "eigenvalues before the number of electrons and of bands");
        const double occupied = noncollinear ? *electrons : *electrons / 2;
        if (occupied < 1 || occupied != std::floor(occupied) || occupied > *bands)
            return at(f, r, plain(*electrons, 2) + " electrons in " + plain(*bands, 0) +
                                " bands fill no whole band: give the Fermi energy with --fermi");
        const size_t n = static_cast<size_t>(occupied);
        std::vector<double> e;
        size_t k = r + 1;
        for (; f.has(k) && e.size() < n; ++k) {
            if (blank(f.record(k))) continue;
            const auto v = numbers(f.record(k), {9});
            if (!v) return at(f, k, "unreadable eigenvalues");
            e.insert(e.end(), v->begin(), v->end());
        }
        if (e.size() < n) return endsBefore(f, k, "band " + std::to_string(n) + " of the k point on line " + std::to_string(r));
        if (points == 0 || e[n - 1] > top) top = e[n - 1];
        ++points;
    }
    if (points == 0) return common::Failure{f.name() + ": no Fermi energy, no highest occupied level and no eigenvalues "
                                                 "(is it the output of pw.x?)"};
    return PwLevel{top, "no Fermi level in " + f.name() + ": the top of the valence band, " + plain(top, 4) +
                             " eV, the highest of band " + plain(noncollinear ? *electrons : *electrons / 2, 0) +
                             " at " + std::to_string(points) + " k points"};
}

}  // namespace

common::Result<PwLevel> referenceFromPwOutput(const std::string& path, Spin spin) {
    return loadText(path).and_then([&](const common::RecordFile& f) {
        return lastFermiLevel(f, spin).and_then([&](std::optional<double> fermi) {
            return fermi ? common::Result<PwLevel>(PwLevel{*fermi, ""}) : valenceTop(f);
        });
    });
}

}  // namespace importer
