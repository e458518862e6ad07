#include "import/tools/import_tool.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

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
    auto f = loadText(path);
    if (!f) return common::Failure{f.error()};
    const auto fermi = lastFermiLevel(*f, spin);
    if (!fermi) return common::Failure{fermi.error()};
    if (!*fermi) return common::Failure{path + ": no Fermi energy and no highest occupied level (is it the output of pw.x?)"};
    return **fermi;
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
    auto f = loadText(path);
    if (!f) return common::Failure{f.error()};
    const auto fermi = lastFermiLevel(*f, spin);
    if (!fermi) return common::Failure{fermi.error()};
    if (*fermi) return PwLevel{**fermi, ""};
    return valenceTop(*f);
}

std::vector<int> numberList(const std::string& option, const std::string& text) {
    auto bad = [&]() { return common::UsageError(option + " takes numbers such as 1,3,5-7, not '" + text + "'"); };
    auto whole = [&](const std::string& s) {
        const auto v = s.size() <= 6 && s.find_first_of("+-") == std::string::npos ? integer(s) : std::nullopt;
        if (!v || *v < 1) throw bad();
        return static_cast<int>(*v);
    };
    std::vector<int> out;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const size_t dash = item.find('-');
        if (dash == std::string::npos) {
            out.push_back(whole(item));
        } else {
            const int a = whole(item.substr(0, dash)), b = whole(item.substr(dash + 1));
            if (b < a || b - a > 1000) throw bad();
            for (int v = a; v <= b; ++v) out.push_back(v);
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    for (size_t i = 0; i < out.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (out[i] == out[j]) throw common::UsageError(option + " names " + std::to_string(out[i]) + " twice");
    return out;
}

std::string sourceNamed(const common::CommandLine& cl, const std::vector<std::string>& known) {
    std::string names;
    for (size_t i = 0; i < known.size(); ++i)
        names += (i == 0 ? "" : i + 1 == known.size() ? " or " : ", ") + known[i];
    if (cl.positional.empty()) throw common::UsageError("no source named (" + names + ")");
    const std::string& source = cl.positional.front();
    if (std::find(known.begin(), known.end(), source) == known.end())
        throw common::UsageError("unknown source '" + source + "' (" + names + ")");
    return source;
}

std::optional<double> givenFermi(const common::CommandLine& cl) {
    if (cl.has("--scf") && cl.has("--fermi"))
        throw common::UsageError("--scf and --fermi both give the Fermi energy: one only");
    if (!cl.has("--fermi")) return std::nullopt;
    const double fermi = cl.real("--fermi");
    if (std::fabs(fermi) > kLargestNumber)
        throw common::UsageError("--fermi " + cl.value("--fermi") + " is beyond 1e10 eV");
    return fermi;
}

common::Status writeWhole(const std::string& dir, const std::string& name, const std::string& text) {
    std::error_code ec;
    if (!dir.empty() && !std::filesystem::exists(dir, ec) && !std::filesystem::create_directories(dir, ec))
        return common::Failure{dir + ": cannot be created"};
    const std::string path = dir.empty() || dir == "." ? name : (dir.back() == '/' ? dir + name : dir + "/" + name);
    return common::writeFileAtomic(path, text);
}

int runProgram(const std::string& program, const std::string& usage, std::ostream& err,
               const std::function<common::Status()>& body) {
    try {
        if (common::Status done = body(); !done) {
            err << program << ": " << done.error() << "\n";
            return 1;
        }
        return 0;
    } catch (const common::UsageError& e) {
        err << program << ": " << e.what() << "\n" << usage;
        if (!usage.empty() && usage.back() != '\n') err << "\n";
        return 2;
    }
}

}  // namespace importer
