#include "import/formats/procar.h"

#include <cctype>

#include "import/text/text_table.h"

namespace importer {

using common::Failure;
using common::RecordFile;
using common::Result;

namespace {

bool startsWith(const std::string& line, const std::string& what) {
    const size_t a = line.find_first_not_of(' ');
    return a != std::string::npos && line.compare(a, what.size(), what) == 0;
}

// The words of `text` with a minus sign that runs into the number before it
// set apart: "0.50000000-0.25000000" is two numbers.
std::vector<std::string> apart(std::string text) {
    for (size_t i = 1; i < text.size(); ++i)
        if (text[i] == '-' && (std::isdigit(static_cast<unsigned char>(text[i - 1])) || text[i - 1] == '.'))
            text.insert(i++, 1, ' ');
    return words(text);
}

// The counts of "# of k-points:  N  # of bands:  B  # of ions:  I".
struct Counts {
    size_t kpoints = 0, bands = 0, ions = 0;
};

Result<Counts> countsOn(const RecordFile& f, size_t n) {
    const std::string& line = f.record(n);
    Counts c;
    size_t* into[] = {&c.kpoints, &c.bands, &c.ions};
    const char* names[] = {"k-points:", "bands:", "ions:"};
    for (int i = 0; i < 3; ++i) {
        const auto w = wordsAfter(line, names[i]);
        if (!w || w->empty()) return at(f, n, std::string("expected '# of ") + names[i] + " N'");
        const auto v = numberOn(f, n, w->front());
        if (!v) return Failure{v.error()};
        const auto k = count(f, n, std::string("# of ") + names[i], *v, 1, 10000000);
        if (!k) return Failure{k.error()};
        *into[i] = *k;
    }
    return c;
}

struct Reader {
    const RecordFile& f;
    size_t n = 1;
    std::vector<std::string> columns;  // the orbital columns, without "ion" and "tot"

    size_t filled() { return n = nextFilled(f, n); }
    bool more() { return filled() <= f.size(); }
    Failure expected(const std::string& what) {
        return n > f.size() ? endsBefore(f, n, what) : at(f, n, "expected " + what);
    }
};

// "ion  s  py ... tot": the orbital columns; the same in every table.
common::Status header(Reader& r) {
    if (!r.more() || !startsWith(r.f.record(r.n), "ion")) return r.expected("the header 'ion  s ... tot'");
    std::vector<std::string> w = words(r.f.record(r.n));
    if (w.size() < 3 || w.back() != "tot") return at(r.f, r.n, "expected the header 'ion  s ... tot'");
    w = std::vector<std::string>(w.begin() + 1, w.end() - 1);
    if (r.columns.empty()) r.columns = w;
    if (w != r.columns) return at(r.f, r.n, "these columns differ from the first table's");
    ++r.n;
    return {};
}

// One band: "band b # energy E # occ. o", the table of its ions, their
// weights into `point`.
common::Status band(Reader& r, size_t b, size_t ions, ProjectedPoint& point) {
    if (!r.more() || !startsWith(r.f.record(r.n), "band")) return r.expected("band " + std::to_string(b));
    const std::string& line = r.f.record(r.n);
    const auto number = integer(words(line).size() > 1 ? words(line)[1] : "");
    if (!number || static_cast<size_t>(*number) != b) return at(r.f, r.n, "expected band " + std::to_string(b));
    const auto e = wordsAfter(line, "energy");
    if (!e || e->empty()) return at(r.f, r.n, "expected '# energy E'");
    const auto energy = numberOn(r.f, r.n, e->front());
    if (!energy) return energy.failure();
    point.energy.push_back(*energy);
    point.levelLine.push_back(r.n);
    ++r.n;
    if (auto h = header(r); !h) return h;
    std::vector<float>& w = point.w.emplace_back();
    const size_t cols = r.columns.size();
    for (size_t ion = 1; ion <= ions; ++ion, ++r.n) {
        if (r.n > r.f.size()) return r.expected("ion " + std::to_string(ion));
        const auto v = numbersOn(r.f, r.n, apart(r.f.record(r.n)));
        if (!v) return v.failure();
        if (v->size() != cols + 2 || (*v)[0] != static_cast<double>(ion))
            return at(r.f, r.n, "expected ion " + std::to_string(ion) + " and " + std::to_string(cols + 1) + " weights");
        for (size_t c = 1; c <= cols; ++c) {
            if ((*v)[c] < 0) return at(r.f, r.n, "negative weight " + plain((*v)[c], 3));
            w.push_back(static_cast<float>((*v)[c]));
        }
    }
    if (r.n > r.f.size() || !startsWith(r.f.record(r.n), "tot"))
        return r.expected("the row 'tot' after " + std::to_string(ions) + " ions");
    ++r.n;
    if (r.more() && !startsWith(r.f.record(r.n), "band") && !startsWith(r.f.record(r.n), "k-point") &&
        !startsWith(r.f.record(r.n), "#"))
        return at(r.f, r.n, "a second table for band " + std::to_string(b) +
                                ": a non-collinear run or phases (LORBIT 12), not read; write the PROCAR with LORBIT 11");
    return {};
}

// One channel's k points after its counts line.
common::Status channel(Reader& r, const Counts& c, LevelProjections& p) {
    for (size_t k = 1; k <= c.kpoints; ++k) {
        if (!r.more() || !startsWith(r.f.record(r.n), "k-point")) return r.expected("k-point " + std::to_string(k));
        const std::string& line = r.f.record(r.n);
        const size_t colon = line.find(':'), weight = line.find("weight");
        if (colon == std::string::npos) return at(r.f, r.n, "expected 'k-point n : k1 k2 k3 weight = w'");
        const auto v = numbersOn(r.f, r.n, apart(line.substr(colon + 1, weight == std::string::npos ? std::string::npos : weight - colon - 1)));
        if (!v) return v.failure();
        if (v->size() != 3) return at(r.f, r.n, "expected the three coordinates of k-point " + std::to_string(k));
        ProjectedPoint& point = p.points.emplace_back();
        point.k = {(*v)[0], (*v)[1], (*v)[2]};
        point.line = r.n++;
        for (size_t b = 1; b <= c.bands; ++b)
            if (auto s = band(r, b, c.ions, point); !s) return s;
    }
    return {};
}

Result<LevelProjections> procarOf(RecordFile f) {
    LevelProjections p;
    p.file = f.name();
    if (f.size() == 0 || !startsWith(f.record(1), "PROCAR")) return at(f, 1, "expected the title 'PROCAR ...': not a PROCAR");
    Reader r{f, 2, {}};
    std::optional<Counts> first;
    for (int spin = 0; spin < 2 && r.more(); ++spin) {
        if (!startsWith(f.record(r.n), "# of k-points")) return r.expected("'# of k-points: ...'");
        const auto c = countsOn(f, r.n);
        if (!c) return Failure{c.error()};
        if (first && (c->kpoints != first->kpoints || c->bands != first->bands || c->ions != first->ions))
            return at(f, r.n, "the spin-down counts differ from the spin-up ones");
        first = *c;
        const size_t counted = r.n++;
        if (auto s = channel(r, *c, p); !s) return s.failure();
        if (r.more() && startsWith(f.record(r.n), "k-point"))
            return at(f, r.n, "more k points than the " + std::to_string(c->kpoints) + " of line " + std::to_string(counted));
        p.channels = spin + 1;
    }
    if (!first) return endsBefore(f, r.n, "'# of k-points: ...'");
    if (r.more()) return at(f, r.n, "more than two spin channels");
    for (size_t ion = 1; ion <= first->ions; ++ion)
        for (const std::string& c : r.columns) p.states.push_back(AtomicState{static_cast<int>(ion), "", c});
    return p;
}

}  // namespace

Result<LevelProjections> readProcar(const std::string& path) { return loadText(path).and_then(procarOf); }

Result<LevelProjections> parseProcar(const std::string& name, const std::string& text) {
    return procarOf(RecordFile::fromText(name, text));
}

}  // namespace importer
