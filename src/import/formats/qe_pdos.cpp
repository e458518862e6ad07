#include "import/formats/qe_pdos.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "common/error.h"
#include "import/text/text_table.h"
#include "import/formats/doscar.h"  // atomicNumber

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

Result<Table> tableOf(RecordFile file) {
    Table t{std::move(file), {}, {}, {}, {}};
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

Result<Table> readTable(const std::string& path) { return loadText(path).and_then(tableOf); }

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

// The element of a species label: "Fe" of "Fe1" or "Fe_up".
std::string elementOf(const std::string& label) {
    size_t n = 0;
    while (n < label.size() && n < 2 && std::isalpha(static_cast<unsigned char>(label[n]))) ++n;
    if (n == 2 && atomicNumber(label.substr(0, 2)) == 0) n = 1;
    return label.substr(0, n);
}

// The outermost shell of angular momentum l (s, p, d, f) that an atom of
// number z holds in its valence: its period for s and p, one less for d,
// two less for f; 0 when unknown.
int valenceShell(int z, char l) {
    static const int kPeriodEnds[] = {2, 10, 18, 36, 54, 86, 118};
    int period = 0;
    while (period < 7 && z > kPeriodEnds[period]) ++period;
    if (z < 1 || period == 7) return 0;
    ++period;
    return l == 's' || l == 'p' ? period : l == 'd' ? period - 1 : l == 'f' ? period - 2 : 0;
}

// The names of the files given and of the projwfc.x files beside them: an
// atom's other wave functions tell which shell each one is.
std::vector<PdosName> siblings(const std::vector<std::string>& paths) {
    std::vector<PdosName> all;
    std::vector<std::string> folders;
    for (const std::string& p : paths) {
        if (auto n = parsePdosName(p)) all.push_back(*n);
        const std::string folder = std::filesystem::path(p).parent_path().string();
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    for (const std::string& folder : folders) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? "." : folder, ec))
            if (auto n = parsePdosName(entry.path().filename().string())) all.push_back(*n);
    }
    return all;
}

}  // namespace

std::optional<PdosName> parsePdosName(const std::string& path) {
    const std::string name = baseName(path);
    size_t at = name.rfind("pdos_atm#");
    if (at == std::string::npos) return std::nullopt;
    PdosName n;
    n.prefix = name.substr(0, at);
    at += 9;
    const size_t paren = name.find('(', at);
    const auto atom = integer(name.substr(at, paren == std::string::npos ? 0 : paren - at));
    auto element = between(name, at, '(', ')');
    if (!atom || *atom < 1 || *atom > 1000000 || !element || name.compare(at, 5, "_wfc#") != 0) return std::nullopt;
    at += 5;
    const size_t paren2 = name.find('(', at);
    const auto wfc = integer(name.substr(at, paren2 == std::string::npos ? 0 : paren2 - at));
    auto orbital = between(name, at, '(', ')');
    if (!wfc || *wfc < 1 || *wfc > 1000000 || !orbital || orbital->empty()) return std::nullopt;
    n.atom = static_cast<int>(*atom);
    n.element = *element;
    n.wfc = static_cast<int>(*wfc);
    n.orbital = *orbital;
    return n;
}

std::string qeProjectionName(const std::string& path) {
    const auto n = parsePdosName(path);
    return n ? n->element + "(" + std::to_string(n->atom) + ") " + n->orbital : "";
}

std::string shellOf(const PdosName& n, const std::vector<PdosName>& all) {
    if (n.orbital.size() != 1) return n.orbital;  // j-resolved ("p_j1.5") or unknown: as the file names it
    std::vector<int> same;  // the wave functions of this atom with this l, in the pseudopotential's order
    for (const PdosName& m : all)
        if (m.prefix == n.prefix && m.atom == n.atom && m.orbital == n.orbital &&
            std::find(same.begin(), same.end(), m.wfc) == same.end())
            same.push_back(m.wfc);
    if (same.size() < 2) return n.orbital;
    std::sort(same.begin(), same.end());
    const size_t below = static_cast<size_t>(same.end() - std::find(same.begin(), same.end(), n.wfc)) - 1;
    const int valence = valenceShell(atomicNumber(elementOf(n.element)), n.orbital[0]);
    const int shell = valence - static_cast<int>(below);
    const int lowest = static_cast<int>(std::string("spdf").find(n.orbital[0])) + 1;  // 1s, 2p, 3d, 4f
    if (valence == 0 || shell < lowest)
        return n.orbital + " (wfc " + std::to_string(n.wfc) + ")";
    return std::to_string(shell) + n.orbital;
}

Result<DosSource> readQePdos(const std::string& pdosTot, const std::vector<std::string>& projections,
                             const Choice& choice, std::optional<double> fermi) {
    DosSource src;
    const auto tot = readTable(pdosTot);
    if (!tot) return Failure{tot.error()};
    src.source = "Quantum ESPRESSO projwfc.x, " + pdosTot;
    src.energy = tot->energy;
    src.rows = {pdosTot, tot->lines};
    src.fermi = fermi;
    src.totals = true;
    const Spin spin = choice.spin;
    if (spin == Spin::Mirror) {
        auto up = channel(*tot, "dos", Spin::Up), down = channel(*tot, "dos", Spin::Down);
        if (!up) return Failure{up.error()};
        applySpin(src, spin, *up, *down, {}, {});
    } else {
        auto dos = channel(*tot, "dos", spin);
        if (!dos) return Failure{dos.error()};
        src.dos = std::move(*dos);
        if (spin != Spin::Both) src.notes.push_back(std::string("spin channel: ") + (spin == Spin::Up ? "up" : "down"));
    }
    // Without a sum only the files that fit are read.
    const size_t fit = spin == Spin::Mirror ? (5 - src.ao.size()) / 2 : 5;
    const size_t reading = choice.sum == SumBy::None ? std::min(fit, projections.size()) : projections.size();
    const std::vector<PdosName> names = siblings(projections);
    std::vector<Projected> all;
    for (size_t k = 0; k < projections.size(); ++k) {
        const std::string& path = projections[k];
        Projected p;
        const auto n = parsePdosName(path);
        p.orbital = n ? shellOf(*n, names) : "";
        p.element = n ? elementOf(n->element) : "";
        p.name = n ? n->element + "(" + std::to_string(n->atom) + ") " + p.orbital : baseName(path);
        if (n) p.more = {baseName(path)};
        if (k >= reading) {  // named in the summary, not read
            all.push_back(std::move(p));
            continue;
        }
        const auto t = readTable(path);
        if (!t) return Failure{t.error()};
        if (t->energy.size() != tot->energy.size())
            return at(t->file, t->lines.back(), std::to_string(t->energy.size()) + " energies where " + pdosTot +
                                                    " has " + std::to_string(tot->energy.size()));
        for (size_t i = 0; i < t->energy.size(); ++i)
            if (std::fabs(t->energy[i] - tot->energy[i]) > kGridTolerance)
                return at(t->file, t->lines[i], "energy differs from the one on line " +
                                                    std::to_string(tot->lines[i]) + " of " + pdosTot);
        auto ldos = channel(*t, "ldos", spin == Spin::Mirror ? Spin::Up : spin);
        if (!ldos) return Failure{ldos.error()};
        p.up = std::move(*ldos);
        if (spin == Spin::Mirror) p.down = *channel(*t, "ldos", Spin::Down);
        p.rows = {path, t->lines};
        all.push_back(std::move(p));
    }
    return addChosenProjections(all, choice, pdosTot, src).transform([&] { return std::move(src); });
}

}  // namespace importer
