#include "import/formats/vasprun.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cctype>
#include <fstream>
#include <numbers>

#include <pugixml.hpp>

#include "common/records.h"
#include "import/text/text_table.h"

namespace importer {

namespace {

using common::Failure;
using pugi::xml_node;

constexpr size_t kMostPoints = 1000000;  // as EIGENVAL's NKPTS
constexpr size_t kMostLevels = 100000;   // as EIGENVAL's NBANDS
constexpr size_t kLeastBytesPerTag = 10;  // "<r> 1 </r>": two tags in 32 bytes and more
constexpr size_t kFreeTags = 1000000;     // below this any file is parsed

// The lines of the text, found by counting line feeds from the last place
// asked for (the readers ask in file order, so the text is passed once).
class LineCounter {
public:
    explicit LineCounter(const std::string& text) : text_(text) {}
    size_t at(ptrdiff_t offset) {
        const size_t to = offset < 0 ? 0 : std::min(static_cast<size_t>(offset), text_.size());
        if (to < from_) from_ = 0, line_ = 1;
        line_ += static_cast<size_t>(std::count(text_.begin() + static_cast<long>(from_), text_.begin() + static_cast<long>(to), '\n'));
        from_ = to;
        return line_;
    }

private:
    const std::string& text_;
    size_t from_ = 0, line_ = 1;
};

// What the readers of one file share: its name and its lines.
struct Reading {
    std::string name;
    LineCounter lines;
    size_t line(const xml_node& n) { return lines.at(n.offset_debug()); }
    Failure at(const xml_node& n, const std::string& what) { return importer::at(name, line(n), what); }
    Failure missing(const xml_node& parent, const std::string& child) {
        return at(parent, "<" + std::string(parent.name()) + "> has no " + child);
    }
};

// The child element `tag` whose attribute `attr` is `value`.
xml_node childWith(const xml_node& n, const char* tag, const char* attr, const char* value) {
    return n.find_child_by_attribute(tag, attr, value);
}

// The numbers of a row (<v>, <r>, <i>), `want` of them when want > 0.
common::Result<std::vector<double>> rowOf(Reading& in, const xml_node& row, size_t want, const std::string& what) {
    const auto v = numbers(row.child_value());
    if (!v) return in.at(row, what + ": not a row of numbers");
    if (want > 0 && v->size() != want)
        return in.at(row, what + ": " + std::to_string(v->size()) + " numbers, expected " + std::to_string(want));
    return *v;
}

// The element children named `tag`.
std::vector<xml_node> childrenNamed(const xml_node& n, const char* tag) {
    std::vector<xml_node> all;
    for (xml_node c : n.children(tag)) all.push_back(c);
    return all;
}

// The k points, their weights and the lines of their <v>.
common::Status readKpoints(Reading& in, const xml_node& kpoints, Eigenval& run) {
    const xml_node list = childWith(kpoints, "varray", "name", "kpointlist");
    if (!list) return in.missing(kpoints, "<varray name=\"kpointlist\">");
    const xml_node weights = childWith(kpoints, "varray", "name", "weights");
    if (!weights) return in.missing(kpoints, "<varray name=\"weights\">");
    for (xml_node v : list.children("v")) {
        if (run.k.size() == kMostPoints) return in.at(v, "more than " + std::to_string(kMostPoints) + " k points");
        const auto k = rowOf(in, v, 3, "k point " + std::to_string(run.k.size() + 1));
        if (!k) return k.failure();
        run.k.push_back({(*k)[0], (*k)[1], (*k)[2]});
        run.line.push_back(in.line(v));
    }
    if (run.k.empty()) return in.at(list, "<varray name=\"kpointlist\"> holds no k point");
    for (xml_node v : weights.children("v")) {
        if (run.weight.size() == run.k.size()) return in.at(v, "more weights than the " + std::to_string(run.k.size()) + " k points");
        const auto w = rowOf(in, v, 1, "weight " + std::to_string(run.weight.size() + 1));
        if (!w) return w.failure();
        run.weight.push_back(w->front());
    }
    if (run.weight.size() != run.k.size())
        return in.at(weights, std::to_string(run.weight.size()) + " weights for " + std::to_string(run.k.size()) + " k points");
    return {};
}

// A line-mode run's segments: "divisions" points each, cut from the list.
std::optional<KpointsPath> segmentsOf(const std::string& name, const xml_node& kpoints, const Eigenval& run) {
    const xml_node gen = kpoints.child("generation");
    if (std::strcmp(gen.attribute("param").value(), "listgenerated") != 0) return std::nullopt;
    const std::vector<std::string> w = words(childWith(gen, "i", "name", "divisions").child_value());
    const auto div = w.size() == 1 ? integer(w.front()) : std::nullopt;
    if (!div || *div < 2 || run.k.size() % static_cast<size_t>(*div) != 0) return std::nullopt;
    KpointsPath kp;
    kp.name = name;
    kp.perSegment = static_cast<int>(*div);
    for (size_t first = 0; first < run.k.size(); first += static_cast<size_t>(*div)) {
        kp.ends.push_back({run.k[first], run.k[first + static_cast<size_t>(*div) - 1]});
        kp.names.push_back({"", ""});
        kp.line.push_back(run.line[first]);
    }
    return kp;
}

// The sets of an <array>'s outer <set> (spins, ions), each checked to hold rows.
common::Result<std::vector<xml_node>> innerSets(Reading& in, const xml_node& array, const std::string& what) {
    const xml_node outer = array.child("set");
    if (!outer) return in.missing(array, "<set>");
    std::vector<xml_node> sets = childrenNamed(outer, "set");
    if (sets.empty()) return in.at(outer, what + ": no <set>");
    return sets;
}

// The levels of <eigenvalues>: per spin, per k point, a row "E occ" a band.
// The sets of spin set `c` of `what` (<eigenvalues>, <projected>), one a
// k point of the <kpoints> list of `nk`.
common::Result<std::vector<xml_node>> pointSets(Reading& in, const xml_node& spin, size_t c, const std::string& what,
                                                size_t nk) {
    std::vector<xml_node> points = childrenNamed(spin, "set");
    if (points.size() != nk)
        return in.at(spin, what + ": spin " + std::to_string(c + 1) + " has " + std::to_string(points.size()) +
                               " k points, <kpoints> lists " + std::to_string(nk));
    return points;
}

common::Status readLevels(Reading& in, const xml_node& eigenvalues, Eigenval& run) {
    const xml_node array = eigenvalues.child("array");
    if (!array) return in.missing(eigenvalues, "<array>");
    const auto spins = innerSets(in, array, "<eigenvalues>");
    if (!spins) return spins.failure();
    if (spins->size() > 2) return in.at(spins->at(2), "<eigenvalues>: more than two spin channels");
    run.spins = static_cast<int>(spins->size());
    size_t nbands = 0;
    for (size_t c = 0; c < spins->size(); ++c) {
        const auto sets = pointSets(in, (*spins)[c], c, "<eigenvalues>", run.k.size());
        if (!sets) return sets.failure();
        const std::vector<xml_node>& points = *sets;
        for (size_t i = 0; i < points.size(); ++i) {
            std::vector<double>& e = run.e[c].emplace_back();
            for (xml_node r : points[i].children("r")) {
                if (e.size() == kMostLevels) return in.at(r, "more than " + std::to_string(kMostLevels) + " bands");
                const auto row = rowOf(in, r, 0, "<eigenvalues>");
                if (!row) return row.failure();
                if (row->empty()) return in.at(r, "<eigenvalues>: an empty row");
                e.push_back(row->front());
            }
            if (e.empty()) return in.at(points[i], "<eigenvalues>: k point " + std::to_string(i + 1) + " has no levels");
            if (nbands == 0) nbands = e.size();
            if (e.size() != nbands)
                return in.at(points[i], "<eigenvalues>: k point " + std::to_string(i + 1) + " of spin " + std::to_string(c + 1) +
                                            " has " + std::to_string(e.size()) + " levels, not " + std::to_string(nbands));
        }
    }
    return {};
}

// VASP's field names of the lm-decomposed columns, as the DOSCAR reader names them.
std::string orbitalName(const std::string& field) {
    const std::vector<std::string> w = words(field);
    const std::string name = w.empty() ? field : w.front();
    return name == "dx2" ? "x2-y2" : name;
}

// The rows of one spin set: `columns` numbers each, on the grid `energy`
// (filled by the first set read).
common::Result<std::vector<std::vector<double>>> gridRows(Reading& in, const xml_node& set, size_t columns,
                                                          std::vector<double>& energy, std::vector<size_t>* lines,
                                                          const std::string& what) {
    std::vector<std::vector<double>> rows;
    const bool first = energy.empty();
    for (xml_node r : set.children("r")) {
        auto row = rowOf(in, r, columns, what);
        if (!row) return row.failure();
        if (first) {
            if (!energy.empty() && !((*row)[0] > energy.back())) return in.at(r, what + ": energies not ascending");
            energy.push_back((*row)[0]);
        } else if (rows.size() >= energy.size() || std::fabs((*row)[0] - energy[rows.size()]) > kGridTolerance) {
            return in.at(r, what + ": not the energies of the total DOS");
        }
        if (lines) lines->push_back(in.line(r));
        rows.push_back(std::move(*row));
    }
    if (rows.empty() || rows.size() != energy.size())
        return in.at(set, what + ": " + std::to_string(rows.size()) + " rows, the total DOS has " + std::to_string(energy.size()));
    return rows;
}

// <dos>: the totals per spin and, with <partial>, the ions' orbitals.
common::Result<Doscar> readDos(Reading& in, const xml_node& dos, double fermi) {
    Doscar d;
    d.path = in.name;
    d.fermi = fermi;
    const xml_node total = dos.child("total").child("array");
    if (!total) return in.missing(dos, "<total><array>");
    const auto spins = innerSets(in, total, "<total>");
    if (!spins) return spins.failure();
    if (spins->size() > 2) return in.at(spins->at(2), "<total>: more than two spin channels");
    d.spins = static_cast<int>(spins->size());
    for (size_t c = 0; c < spins->size(); ++c) {
        const auto rows = gridRows(in, (*spins)[c], 3, d.energy, c == 0 ? &d.lines : nullptr,
                                   "<total> spin " + std::to_string(c + 1));
        if (!rows) return rows.failure();
        Doscar::Channel& ch = c == 0 ? d.up : d.down;
        for (const std::vector<double>& r : *rows) ch.dos.push_back(r[1]), ch.idos.push_back(r[2]);
    }
    for (size_t i = 0; i < d.energy.size(); ++i) {
        d.dos.push_back(d.up.dos[i] + (d.spins == 2 ? d.down.dos[i] : 0.0));
        d.idos.push_back(d.up.idos[i] + (d.spins == 2 ? d.down.idos[i] : 0.0));
    }
    if (d.spins == 1) d.up = {};
    const xml_node partial = dos.child("partial").child("array");
    if (!partial) return d;
    std::vector<std::string> names;
    for (xml_node f : partial.children("field")) names.push_back(orbitalName(f.child_value()));
    if (names.size() < 2) return in.at(partial, "<partial>: no orbital <field>");
    names.erase(names.begin());  // the energy
    const auto ions = innerSets(in, partial, "<partial>");
    if (!ions) return ions.failure();
    for (size_t a = 0; a < ions->size(); ++a) {
        Doscar::Ion io;
        io.names = names;
        for (const std::string& n : names) io.orbitals += (io.orbitals.empty() ? "" : " ") + n;
        io.total.assign(d.energy.size(), 0.0);
        const std::vector<xml_node> channels = childrenNamed((*ions)[a], "set");
        if (channels.size() != static_cast<size_t>(d.spins))
            return in.at((*ions)[a], "<partial>: ion " + std::to_string(a + 1) + " has " + std::to_string(channels.size()) +
                                         " spin sets, the total DOS " + std::to_string(d.spins));
        for (size_t c = 0; c < channels.size(); ++c) {
            const auto rows = gridRows(in, channels[c], names.size() + 1, d.energy, c == 0 ? &io.lines : nullptr,
                                       "<partial> ion " + std::to_string(a + 1) + " spin " + std::to_string(c + 1));
            if (!rows) return rows.failure();
            std::vector<std::vector<double>>& side = c == 0 ? io.up : io.down;
            side.assign(names.size(), {});
            for (size_t i = 0; i < rows->size(); ++i)
                for (size_t o = 0; o < names.size(); ++o) {
                    side[o].push_back((*rows)[i][1 + o]);
                    io.total[i] += (*rows)[i][1 + o];
                }
        }
        d.ion.push_back(std::move(io));
    }
    d.ions = static_cast<int>(d.ion.size());
    return d;
}

// The weights of one band set of <projected>: a row per ion, a number per
// field, into `w`; `where` names the set in a failure.
common::Status projectedRows(Reading& in, const xml_node& band, size_t ions, size_t fields, std::vector<float>& w,
                             const std::string& where) {
    w.reserve(ions * fields);
    size_t ion = 0;
    for (xml_node r : band.children("r")) {
        auto what = [&] { return "<projected>, " + where + ", ion " + std::to_string(ion + 1); };
        if (ion == ions) return in.at(r, "<projected>, " + where + ": more ions than the " + std::to_string(ions) + " of <atominfo>");
        const auto row = numbers(r.child_value());
        if (!row) return in.at(r, what() + ": not a row of numbers");
        if (row->size() != fields)
            return in.at(r, what() + ": " + std::to_string(row->size()) + " numbers, expected " + std::to_string(fields) +
                                " (one for each <field>)");
        for (double v : *row) {
            if (v < 0) return in.at(r, what() + ": negative weight " + plain(v, 4));
            w.push_back(static_cast<float>(v));
        }
        ++ion;
    }
    if (ion != ions)
        return in.at(band, "<projected>, " + where + ": " + std::to_string(ion) + (ion == 1 ? " ion" : " ions") +
                               ", <atominfo> lists " + std::to_string(ions));
    return {};
}

// <projected>: per spin, k point and band the weights of every ion on the
// orbitals its <field>s name, in the counts of the levels and the ions.
common::Result<LevelProjections> readProjected(Reading& in, const xml_node& projected, const Eigenval& levels,
                                               const std::vector<std::string>& elements) {
    const xml_node array = projected.child("array");
    if (!array) return in.missing(projected, "<array>");
    std::vector<std::string> fields;
    for (xml_node f : array.children("field")) fields.push_back(orbitalName(f.child_value()));
    if (fields.empty()) return in.at(array, "<projected>: no orbital <field>");
    if (elements.empty()) return in.at(projected, "<projected>: <atominfo> lists no ions");
    const auto spins = innerSets(in, array, "<projected>");
    if (!spins) return spins.failure();
    if (spins->size() != static_cast<size_t>(levels.spins))
        return in.at(array.child("set"), "<projected>: " + std::to_string(spins->size()) + " spin sets, <eigenvalues> has " +
                                             std::to_string(levels.spins));
    LevelProjections p;
    p.file = in.name;
    p.channels = levels.spins;
    const size_t bands = levels.e[0].front().size();
    for (size_t c = 0; c < spins->size(); ++c) {
        const auto sets = pointSets(in, (*spins)[c], c, "<projected>", levels.k.size());
        if (!sets) return sets.failure();
        const std::vector<xml_node>& points = *sets;
        for (size_t i = 0; i < points.size(); ++i) {
            ProjectedPoint& point = p.points.emplace_back();
            point.k = levels.k[i];
            point.line = in.line(points[i]);
            const std::vector<xml_node> sets = childrenNamed(points[i], "set");
            const std::string place = "spin " + std::to_string(c + 1) + ", k point " + std::to_string(i + 1);
            if (sets.size() != bands)
                return in.at(points[i], "<projected>, " + place + ": " + std::to_string(sets.size()) + " bands, <eigenvalues> has " +
                                            std::to_string(bands));
            for (size_t b = 0; b < bands; ++b) {
                point.energy.emplace_back();  // the levels are those of <eigenvalues>
                point.levelLine.push_back(in.line(sets[b]));
                if (auto s = projectedRows(in, sets[b], elements.size(), fields.size(), point.w.emplace_back(),
                                           place + ", band " + std::to_string(b + 1));
                    !s)
                    return s.failure();
            }
        }
    }
    for (size_t a = 0; a < elements.size(); ++a)
        for (const std::string& f : fields) p.states.push_back(AtomicState{static_cast<int>(a + 1), elements[a], f});
    return p;
}

// The element of each ion (<atominfo>, array "atoms": rows "<c>Si</c><c>1</c>").
std::vector<std::string> elementsOf(const xml_node& atominfo) {
    std::vector<std::string> elements;
    for (xml_node rc : childWith(atominfo, "array", "name", "atoms").child("set").children("rc")) {
        const std::vector<std::string> w = words(rc.child("c").child_value());
        elements.push_back(w.empty() ? "" : w.front());
    }
    return elements;
}

// The reciprocal lattice of the final structure (else the last one given).
common::Result<std::optional<Lattice>> latticeOf(Reading& in, const xml_node& modeling) {
    xml_node structure = childWith(modeling, "structure", "name", "finalpos");
    if (!structure)
        for (xml_node s : modeling.children("structure")) structure = s;
    const xml_node rec = childWith(structure.child("crystal"), "varray", "name", "rec_basis");
    if (!rec) return std::optional<Lattice>{};
    Lattice b{};
    size_t n = 0;
    for (xml_node v : rec.children("v")) {
        if (n == 3) return in.at(v, "<varray name=\"rec_basis\">: more than 3 vectors");
        const auto row = rowOf(in, v, 3, "<varray name=\"rec_basis\">");
        if (!row) return row.failure();
        for (size_t j = 0; j < 3; ++j) b[n][j] = 2 * std::numbers::pi * (*row)[j];
        ++n;
    }
    if (n != 3) return in.at(rec, "<varray name=\"rec_basis\">: " + std::to_string(n) + " vectors, not 3");
    return std::optional<Lattice>{b};
}

common::Result<Vasprun> readTree(Reading& in, const xml_node& modeling, bool withProjections) {
    Vasprun run;
    run.path = in.name;
    // the last calculation holds the levels of the run's last step
    xml_node calc;
    for (xml_node c : modeling.children("calculation")) calc = c;
    if (!calc) return in.missing(modeling, "<calculation> (the run stopped before its first step?)");
    run.elements = elementsOf(modeling.child("atominfo"));
    const auto lattice = latticeOf(in, modeling);
    if (!lattice) return lattice.failure();
    run.reciprocal = *lattice;
    const xml_node dos = calc.child("dos");
    if (const xml_node ef = childWith(dos, "i", "name", "efermi")) {
        const auto e = rowOf(in, ef, 1, "<i name=\"efermi\">");
        if (!e) return e.failure();
        run.fermi = e->front();
    }
    if (const xml_node eigenvalues = calc.child("eigenvalues")) {
        const xml_node kpoints = modeling.child("kpoints");
        if (!kpoints) return in.missing(modeling, "<kpoints>");
        Eigenval levels;
        if (auto s = readKpoints(in, kpoints, levels); !s) return s.failure();
        if (auto s = readLevels(in, eigenvalues, levels); !s) return s.failure();
        run.segments = segmentsOf(in.name, kpoints, levels);
        const xml_node gen = kpoints.child("generation");
        const std::string param = gen.attribute("param").value();
        if (param == "Monkhorst-Pack" || param == "Gamma" || param == "Auto") {
            run.mesh = "<generation param=\"" + param + "\">";
            run.meshLine = in.line(gen);
        }
        run.levels = std::move(levels);
        if (const xml_node projected = calc.child("projected"); projected && withProjections) {
            auto p = readProjected(in, projected, *run.levels, run.elements);
            if (!p) return p.failure();
            run.projections = std::move(*p);
        }
    }
    if (dos.child("total")) {
        auto d = readDos(in, dos, run.fermi.value_or(0.0));
        if (!d) return d.failure();
        run.dos = std::move(*d);
    }
    return run;
}

}  // namespace

common::Result<Vasprun> parseVasprun(const std::string& name, std::string text, bool withProjections) {
    // The tree takes some 60 bytes an element. A run's rows hold at least
    // ten characters a tag, so that the tree stays within a few times the
    // file; text packed with tags beyond that is refused before it is parsed.
    const size_t tags = static_cast<size_t>(std::count(text.begin(), text.end(), '<'));
    if (tags > text.size() / kLeastBytesPerTag + kFreeTags)
        return Failure{name + ": " + std::to_string(tags) + " tags in " + std::to_string(text.size()) +
                       " bytes, more than a vasprun.xml holds"};
    pugi::xml_document doc;
    // in place: the tree points into `text`, which outlives it here
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(text.data(), text.size(), pugi::parse_minimal, pugi::encoding_utf8);
    Reading in{name, LineCounter(text)};
    if (!parsed) {
        const size_t line = in.lines.at(parsed.offset);
        const bool cut = parsed.offset >= static_cast<ptrdiff_t>(text.size()) - 1 ||
                         parsed.status == pugi::status_end_element_mismatch;
        return at(name, line, std::string(cut ? "the XML is cut short (" : "not well-formed XML (") + parsed.description() +
                                  (cut ? "; did the run stop?)" : ")"));
    }
    const xml_node modeling = doc.child("modeling");
    if (!modeling) return Failure{name + ": not a vasprun.xml (no <modeling>)"};
    return readTree(in, modeling, withProjections);
}

common::Result<Vasprun> readVasprun(const std::string& path, bool withProjections) {
    auto text = common::readWholeFile(path);
    if (!text) return Failure{path + ": cannot be opened"};
    return parseVasprun(path, std::move(*text), withProjections);
}

bool isVasprun(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char c = 0;
    while (in.get(c) && (std::isspace(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80)) {
    }
    return in && c == '<';
}

}  // namespace importer
