#include "import/qe_pdos.h"

#include <cmath>

#include "common/error.h"
#include "import/text_table.h"

namespace importer {

using common::Failure;
using common::RecordFile;
using common::Result;

namespace {

// A projwfc.x table: the value columns named by the header, then the rows.
struct Table {
    RecordFile file;
    std::vector<std::string> names;  // "dos(E)", "ldosup(E)", ... (after the energy)
    std::vector<double> energy;
    std::vector<std::vector<double>> rows;  // values after the energy
    std::vector<size_t> lines;              // line of each row
};

Result<Table> readTable(const std::string& path) {
    auto loaded = loadText(path);
    if (!loaded) return Failure{loaded.error()};
    Table t{std::move(*loaded), {}, {}, {}, {}};
    const RecordFile& f = t.file;
    if (f.size() == 0 || blank(f.record(1))) return at(f, 1, "no header line (the file is empty)");
    const std::string& head = f.record(1);
    if (head.find('#') != head.find_first_not_of(" \t")) return at(f, 1, "no '#' header line: not a projwfc.x table");
    for (const std::string& w : words(head.substr(head.find('#') + 1))) {
        if (w == "ik") return at(f, 1, "k-resolved table (column ik): run projwfc.x without kresolveddos");
        if (w.find("(E)") != std::string::npos) t.names.push_back(w);
    }
    if (t.names.empty()) return at(f, 1, "no dos(E) columns named in the header");
    const size_t columns = 1 + t.names.size();
    for (size_t n = 2; n <= f.size(); ++n) {
        const std::string& line = f.record(n);
        if (blank(line) || line.find_first_not_of(" \t") == line.find('#')) continue;
        auto v = numbersOn(f, n);
        if (!v) return Failure{v.error()};
        if (v->size() != columns)
            return at(f, n, std::to_string(v->size()) + " numbers where the header names " + std::to_string(columns));
        if (!t.energy.empty() && v->front() <= t.energy.back()) return at(f, n, "energy does not ascend");
        t.energy.push_back(v->front());
        t.rows.emplace_back(v->begin() + 1, v->end());
        t.lines.push_back(n);
    }
    if (t.energy.size() < 2) return endsBefore(f, f.size() + 1, "a second energy");
    return t;
}

// The column(s) of a channel: base(E) alone, or baseup(E) and basedw(E).
Result<std::vector<double>> channel(const Table& t, const std::string& base, Spin spin) {
    auto find = [&](const std::string& name) -> std::optional<size_t> {
        for (size_t i = 0; i < t.names.size(); ++i)
            if (t.names[i] == name) return i;
        return std::nullopt;
    };
    std::vector<size_t> cols;
    if (auto one = find(base + "(E)")) {
        if (spin != Spin::Both)
            return at(t.file, 1, "no " + base + "up/" + base + "dw columns: the run is not spin polarised (leave out --spin)");
        cols = {*one};
    } else {
        auto up = find(base + "up(E)"), dw = find(base + "dw(E)");
        if (!up || !dw) return at(t.file, 1, "no " + base + "(E) column in the header");
        if (spin != Spin::Down) cols.push_back(*up);
        if (spin != Spin::Up) cols.push_back(*dw);
    }
    std::vector<double> y(t.rows.size(), 0.0);
    for (size_t i = 0; i < t.rows.size(); ++i)
        for (size_t c : cols) y[i] += t.rows[i][c];
    return y;
}

std::string baseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The text between `open` and `close` after position `from`, moving `from` past it.
std::optional<std::string> between(const std::string& s, size_t& from, char open, char close) {
    const size_t a = s.find(open, from);
    if (a == std::string::npos) return std::nullopt;
    const size_t b = s.find(close, a + 1);
    if (b == std::string::npos) return std::nullopt;
    from = b + 1;
    return s.substr(a + 1, b - a - 1);
}

}  // namespace

std::string qeProjectionName(const std::string& path) {
    const std::string name = baseName(path);
    size_t at = name.rfind("pdos_atm#");
    if (at == std::string::npos) return "";
    at += 9;
    const size_t paren = name.find('(', at);
    const std::string atom = name.substr(at, paren == std::string::npos ? 0 : paren - at);
    auto element = between(name, at, '(', ')');
    if (!element || name.compare(at, 5, "_wfc#") != 0) return "";
    auto orbital = between(name, at, '(', ')');
    if (!orbital || atom.empty()) return "";
    return *element + "(" + atom + ") " + *orbital;
}

Result<DosSource> readQePdos(const std::string& pdosTot, const std::vector<std::string>& projections, Spin spin,
                             std::optional<double> fermi) {
    DosSource src;
    const auto tot = readTable(pdosTot);
    if (!tot) return Failure{tot.error()};
    src.source = "Quantum ESPRESSO projwfc.x, " + pdosTot;
    src.energy = tot->energy;
    src.rows = {pdosTot, tot->lines};
    src.fermi = fermi;
    src.totals = true;
    auto dos = channel(*tot, "dos", spin);
    if (!dos) return Failure{dos.error()};
    src.dos = std::move(*dos);
    for (const std::string& path : projections) {
        const auto t = readTable(path);
        if (!t) return Failure{t.error()};
        if (t->energy.size() != tot->energy.size())
            return at(t->file, t->lines.back(), std::to_string(t->energy.size()) + " energies where " + pdosTot +
                                                    " has " + std::to_string(tot->energy.size()));
        for (size_t i = 0; i < t->energy.size(); ++i)
            if (std::fabs(t->energy[i] - tot->energy[i]) > 5e-4)
                return at(t->file, t->lines[i], "energy differs from the one on line " +
                                                    std::to_string(tot->lines[i]) + " of " + pdosTot);
        SourceProjection p;
        const std::string name = qeProjectionName(path);
        p.description = {name.empty() ? baseName(path) : name, baseName(path)};
        auto ldos = channel(*t, "ldos", spin);
        if (!ldos) return Failure{ldos.error()};
        p.curve = std::move(*ldos);
        p.rows = {path, t->lines};
        src.ao.push_back(std::move(p));
    }
    if (spin != Spin::Both) src.notes.push_back(std::string("spin channel: ") + (spin == Spin::Up ? "up" : "down"));
    return src;
}

}  // namespace importer
