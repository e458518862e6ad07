#include "import/formats/lobster.h"

#include <algorithm>
#include <cmath>

#include "common/error.h"
#include "import/text/text_table.h"

namespace importer {

using common::RecordFile;

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

// Whether the line's first word is a number (the line is not cut whole).
bool numeric(const std::string& line) {
    const size_t a = line.find_first_not_of(" \t\r");
    if (a == std::string::npos) return false;
    const size_t b = line.find_first_of(" \t\r", a);
    return number(line.substr(a, b == std::string::npos ? std::string::npos : b - a)).has_value();
}

// The longest interaction label ("No.12:Fe1[3dxy]->Fe2[3dxy](2.48)" and
// the like are a few dozen characters): a longer line is no label.
constexpr size_t kLongestLabel = 200;

// "No.1:Fe1[3s]->Fe2[3s](2.48)" without its orbitals: "No.1:Fe1->Fe2(2.48)".
std::string withoutOrbitals(std::string label) {
    for (size_t a = label.find('['); a != std::string::npos; a = label.find('[', a)) {
        const size_t b = label.find(']', a);
        if (b == std::string::npos) break;
        label.erase(a, b - a + 1);
    }
    return label;
}

void addTo(std::vector<double>& to, const std::vector<double>& from) {
    if (to.empty()) to.assign(from.size(), 0.0);
    for (size_t i = 0; i < from.size(); ++i) to[i] += from[i];
}

// The bonds and the orbital pairs of the interactions read.
void groupBonds(Coxxcar& c) {
    std::vector<Coxxcar::Interaction> summed;  // bonds made of their pairs only
    for (size_t k = 0; k < c.labels.size(); ++k) {
        const std::string& label = c.labels[k];
        Coxxcar::Interaction one{label, c.value[k], c.integral[k], 0};
        if (label.find('[') == std::string::npos) {
            c.bonds.push_back(std::move(one));
            continue;
        }
        c.pairs.push_back(one);
        const std::string bond = withoutOrbitals(label);
        auto own = std::find_if(c.bonds.begin(), c.bonds.end(), [&](const auto& b) { return b.label == bond; });
        if (own != c.bonds.end()) {
            ++own->pairs;
            continue;
        }
        auto made = std::find_if(summed.begin(), summed.end(), [&](const auto& b) { return b.label == bond; });
        if (made == summed.end()) {
            summed.push_back({bond, {}, {}, 0});
            made = summed.end() - 1;
        }
        addTo(made->value, one.value);
        addTo(made->integral, one.integral);
        ++made->pairs;
    }
    c.bonds.insert(c.bonds.end(), summed.begin(), summed.end());
}

common::Result<Coxxcar> coxxcarOf(const RecordFile& f) {
    const std::string& path = f.name();
    Coxxcar c;
    c.path = path;
    const size_t slash = path.rfind('/');
    const std::string name = upper(slash == std::string::npos ? path : path.substr(slash + 1));
    c.kind = name.find("COHP") != std::string::npos ? "COHP" : name.find("COBI") != std::string::npos ? "COBI" : "COOP";

    // The count line follows the title line (older files have none).
    size_t n = 1;
    if (f.has(n) && !numeric(f.record(n))) ++n;
    if (!f.has(n)) return endsBefore(f, n, "the line of counts");
    const auto h = numbersOn(f, n);
    if (!h) return common::Failure{h.error()};
    if (h->size() < 6) return at(f, n, "expected interactions+1, spins, NEDOS, Emin, Emax, E_F");
    const auto columns = count(f, n, "interactions+1", (*h)[0], 1, 100000);
    const auto spins = count(f, n, "spins", (*h)[1], 1, 2);
    const auto nedos = count(f, n, "NEDOS", (*h)[2], 2, 1000000);
    for (const auto* k : {&columns, &spins, &nedos})
        if (!*k) return common::Failure{k->error()};
    c.spins = static_cast<int>(*spins);
    c.fermi = (*h)[5];
    const size_t countLine = n++;

    // Labels: "Average" and one per interaction; the rows start after them.
    std::vector<std::string> labels;
    while (f.has(n) && !numeric(f.record(n))) {
        if (f.record(n).size() > kLongestLabel)
            return at(f, n, "a line of " + std::to_string(f.record(n).size()) + " characters where an interaction label "
                            "stands (at most " + std::to_string(kLongestLabel) + ")");
        labels.push_back(trimmed(f.record(n++)));
    }
    const size_t interactions = *columns - 1;
    // "Average" leads the labels; files without it give the interactions only.
    const bool average = !labels.empty() && labels.front().rfind("Average", 0) == 0;
    if (average && labels.size() == *columns) labels.erase(labels.begin());
    if (labels.size() != interactions || (!labels.empty() && labels.front().rfind("Average", 0) == 0))
        return at(f, countLine, std::to_string(labels.size()) + " interaction labels where the counts announce " +
                                    std::to_string(interactions));
    c.labels = labels;

    const size_t perSpin = 2 * *columns;
    const size_t width = 1 + perSpin * static_cast<size_t>(c.spins);
    // The rows grow with the file: NEDOS is only what the header claims.
    c.value.assign(interactions, {});
    c.integral.assign(interactions, {});
    for (size_t i = 0; i < *nedos; ++i, ++n) {
        if (!f.has(n) || blank(f.record(n)))
            return endsBefore(f, n, "row " + std::to_string(i + 1) + " of " + std::to_string(*nedos));
        const auto v = numbersOn(f, n);
        if (!v) return common::Failure{v.error()};
        if (v->size() != width)
            return at(f, n, std::to_string(v->size()) + " numbers where the counts announce " + std::to_string(width));
        if (!c.energy.empty() && (*v)[0] <= c.energy.back()) return at(f, n, "energy does not ascend");
        c.energy.push_back((*v)[0]);
        c.lines.push_back(n);
        for (size_t k = 0; k < interactions; ++k) {
            double value = 0, integral = 0;
            for (int s = 0; s < c.spins; ++s) {
                const size_t col = 1 + static_cast<size_t>(s) * perSpin + 2 * (k + 1);
                value += (*v)[col];
                integral += (*v)[col + 1];
            }
            c.value[k].push_back(value);
            c.integral[k].push_back(integral);
        }
    }
    groupBonds(c);
    return c;
}

}  // namespace

common::Result<Coxxcar> readCoxxcar(const std::string& path) { return loadText(path).and_then(coxxcarOf); }

common::Result<DosSource> lobsterSource(const Coxxcar& c, const std::vector<int>& which, bool orbitals,
                                        const Doscar* doscar, const Choice& atoms) {
    DosSource src;
    src.source = "LOBSTER " + c.kind + "CAR, " + c.path;
    src.energy = c.energy;
    src.rows = {c.path, c.lines};
    src.fermi = c.fermi;
    src.relative = true;
    const bool cohp = c.kind == "COHP";
    const double sign = cohp ? -1.0 : 1.0;
    const std::string word = cohp ? "-COHP" : c.kind;
    const std::vector<Coxxcar::Interaction>& list = orbitals ? c.pairs : c.bonds;
    const std::string unit = orbitals ? "orbital pair" : "bond";
    if (orbitals && list.empty())
        return common::Failure{c.path + ": no orbital pairs (the file is not orbital-wise); leave out --orbitals"};
    std::vector<int> chosen = which;
    for (size_t k = 1; which.empty() && k <= std::min<size_t>(5, list.size()); ++k) chosen.push_back(static_cast<int>(k));
    for (int k : chosen) {
        if (k > static_cast<int>(list.size()))
            return common::Failure{c.path + ": there is no " + unit + " " + std::to_string(k) + " (the file has " +
                                   std::to_string(list.size()) + ")"};
        const Coxxcar::Interaction& b = list[static_cast<size_t>(k - 1)];
        SourceProjection p;
        p.description = {word + " " + b.label, c.kind + "CAR " + unit + " " + std::to_string(k) +
                                                   (cohp ? ", sign reversed: bonding to the right" : "")};
        if (b.pairs > 0) p.description.push_back("the sum of its " + std::to_string(b.pairs) + " orbital pairs");
        for (double v : b.value) p.curve.push_back(sign * v);
        for (double v : b.integral) p.integral.push_back(sign * v);
        p.rows = {c.path, c.lines};
        src.coop.push_back(std::move(p));
    }
    if (list.size() > chosen.size())
        src.notes.push_back(std::to_string(list.size()) + " " + unit + "s in the file, " +
                            std::to_string(chosen.size()) + " written (choose up to five with --interactions)");
    if (!orbitals && !c.pairs.empty())
        src.notes.push_back("orbital-wise file: " + std::to_string(c.bonds.size()) + " bonds of " +
                            std::to_string(c.pairs.size()) + " orbital pairs, each pair summed into its bond "
                            "(--orbitals writes the pairs)");
    if (c.spins == 2) src.notes.push_back(std::string("spin polarised: both channels summed") +
                                          (doscar && atoms.spin != Spin::Both ? " in the " + c.kind : ""));
    if (doscar) {
        if (doscar->energy.size() != c.energy.size())
            return common::Failure{doscar->path + ": " + std::to_string(doscar->energy.size()) + " energies where " +
                                   c.path + " has " + std::to_string(c.energy.size())};
        for (size_t i = 0; i < c.energy.size(); ++i)
            if (std::fabs(doscar->energy[i] - c.energy[i]) > kGridTolerance)
                return common::Failure{doscar->path + ": energy " + std::to_string(i + 1) + " differs from " + c.path};
        src.totals = true;
        src.rows = {doscar->path, doscar->lines};
        src.dos = doscar->dos;
        src.idos = doscar->idos;
        if (atoms.spin != Spin::Both)
            if (auto spins = doscarSpins(*doscar, atoms.spin, src); !spins) return common::Failure{spins.error()};
        const bool byOrbital = atoms.sum == SumBy::Orbital || atoms.sum == SumBy::ElementOrbital;
        std::vector<Projected> all = ionProjections(*doscar, atoms.spin, {}, byOrbital);
        if (atoms.sum == SumBy::None)
            for (size_t a = 0; a < all.size(); ++a) {
                const Doscar::Ion& io = doscar->ion[a];
                const std::string n = std::to_string(a + 1);
                all[a].name = (io.z > 0 ? elementSymbol(io.z) + n : "Atom " + n) + ": " + io.orbitals;
            }
        if (auto added = addChosenProjections(all, atoms, doscar->path, src); !added) return added.failure();
    }
    return src;
}

}  // namespace importer
