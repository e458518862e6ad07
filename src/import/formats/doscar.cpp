#include "import/formats/doscar.h"

#include <algorithm>
#include <cmath>

#include "common/error.h"
#include "import/text/text_table.h"

namespace importer {

using common::Failure;
using common::RecordFile;
using common::Result;

namespace {

constexpr size_t kGridLine = 6;  // "Emax Emin NEDOS E_F weight"

std::string joined(const std::vector<std::string>& w) {
    std::string s;
    for (const std::string& x : w) s += (s.empty() ? "" : " ") + x;
    return s;
}

// Orbital names of a VASP ion block from its column count; `stride` is how
// many columns one orbital takes (spins, or 4 for non-collinear runs).
std::vector<std::string> vaspOrbitals(size_t columns, int spins, size_t& stride) {
    static const char* const byL[] = {"s", "p", "d", "f"};
    // VASP's order of the lm-decomposed columns (LORBIT=11): 1 s, 3 p, 5 d, 7 f
    static const char* const byLm[] = {"s",     "py",   "pz",   "px",  "dxy",  "dyz",  "dz2",  "dxz",
                                       "x2-y2", "fy3x2", "fxyz", "fyz2", "fz3", "fxz2", "fzx2", "fx3"};
    stride = static_cast<size_t>(spins);
    if (spins == 1 && (columns == 12 || columns == 36 || columns == 64)) stride = 4;
    const size_t orbitals = columns / stride;
    if (orbitals == 3 || orbitals == 4) return {std::begin(byL), std::begin(byL) + orbitals};
    if (orbitals == 9 || orbitals == 16) return {std::begin(byLm), std::begin(byLm) + orbitals};
    stride = 1;
    std::vector<std::string> names;
    for (size_t c = 1; c <= columns; ++c) names.push_back("column " + std::to_string(c));
    return names;
}

// The grid line of the header or of an ion block: its numbers before any ';'.
Result<std::vector<double>> gridLine(const RecordFile& f, size_t n) {
    const std::string& line = f.record(n);
    auto v = numbersOn(f, n, line.substr(0, line.find(';')));
    if (v && v->size() < 4) return at(f, n, "expected Emax Emin NEDOS E_F");
    return v;
}

using Rows = std::vector<std::vector<double>>;

// The rows of one block from line n on: NEDOS lines of the same column
// count on the grid of the total DOS (the first block sets it).
Result<Rows> block(const RecordFile& f, size_t& n, size_t nedos, size_t minColumns, const std::string& what,
                   std::vector<double>& energy) {
    Rows rows;
    for (size_t i = 0; i < nedos; ++i, ++n) {
        if (!f.has(n))
            return endsBefore(f, n, "row " + std::to_string(i + 1) + " of " + std::to_string(nedos) + " of the " + what);
        auto v = numbersOn(f, n);
        if (!v) return Failure{v.error()};
        if (v->size() < minColumns || (!rows.empty() && v->size() != rows.front().size()))
            return at(f, n, std::to_string(v->size()) + " numbers in a row of the " + what +
                                (rows.empty() ? "" : " of " + std::to_string(rows.front().size())));
        const double e = v->front();
        if (energy.size() == nedos) {
            if (std::fabs(e - energy[i]) > kGridTolerance) return at(f, n, "energy differs from the total DOS grid");
        } else if (!energy.empty() && e <= energy.back()) {
            return at(f, n, "energy does not ascend");
        }
        if (energy.size() < nedos) energy.push_back(e);
        rows.push_back(std::move(*v));
    }
    return rows;
}

}  // namespace

namespace {

const std::vector<std::string>& elementSymbols() {
    static const std::vector<std::string> symbols = words(
        "H He Li Be B C N O F Ne Na Mg Al Si P S Cl Ar K Ca Sc Ti V Cr Mn Fe Co Ni Cu Zn Ga Ge As Se Br Kr "
        "Rb Sr Y Zr Nb Mo Tc Ru Rh Pd Ag Cd In Sn Sb Te I Xe Cs Ba La Ce Pr Nd Pm Sm Eu Gd Tb Dy Ho Er Tm Yb "
        "Lu Hf Ta W Re Os Ir Pt Au Hg Tl Pb Bi Po At Rn");
    return symbols;
}

}  // namespace

std::string elementSymbol(int z) {
    const std::vector<std::string>& symbols = elementSymbols();
    if (z >= 1 && static_cast<size_t>(z) <= symbols.size()) return symbols[static_cast<size_t>(z - 1)];
    return "Z=" + std::to_string(z);
}

int atomicNumber(const std::string& symbol) {
    const std::vector<std::string>& symbols = elementSymbols();
    const auto it = std::find(symbols.begin(), symbols.end(), symbol);
    return it == symbols.end() ? 0 : static_cast<int>(it - symbols.begin()) + 1;
}

namespace {

Result<Doscar> doscarOf(const RecordFile& f) {
    Doscar d;
    d.path = f.name();
    if (f.size() < kGridLine) return endsBefore(f, f.size() + 1, "the grid line (Emax Emin NEDOS E_F weight)");
    const auto first = numbersOn(f, 1);
    if (!first) return Failure{first.error()};
    if (first->size() < 3) return at(f, 1, "expected the number of ions and the partial-DOS flag");
    const auto ions = count(f, 1, "ions", (*first)[0], 1, 100000);
    if (!ions) return Failure{ions.error()};
    d.ions = static_cast<int>(*ions);
    const auto g = gridLine(f, kGridLine);
    if (!g) return Failure{g.error()};
    const auto nedos = count(f, kGridLine, "NEDOS", (*g)[2], 2, 1000000);
    if (!nedos) return Failure{nedos.error()};
    d.fermi = (*g)[3];

    size_t n = kGridLine + 1;
    const auto total = block(f, n, *nedos, 3, "total DOS", d.energy);
    if (!total) return Failure{total.error()};
    for (size_t i = 0; i < *nedos; ++i) d.lines.push_back(kGridLine + 1 + i);
    const size_t cols = total->front().size();
    if (cols != 3 && cols != 5)
        return at(f, kGridLine + 1, std::to_string(cols) + " numbers in a total DOS row (3 or 5)");
    d.spins = cols == 5 ? 2 : 1;
    for (const auto& r : *total) {
        d.dos.push_back(d.spins == 2 ? r[1] + r[2] : r[1]);
        d.idos.push_back(d.spins == 2 ? r[3] + r[4] : r[2]);
        if (d.spins != 2) continue;
        d.up.dos.push_back(r[1]);
        d.down.dos.push_back(r[2]);
        d.up.idos.push_back(r[3]);
        d.down.idos.push_back(r[4]);
    }
    // Ion blocks follow when the run projected; an absent block set is no fault.
    while (f.has(n) && blank(f.record(n))) ++n;
    if (!f.has(n)) return d;
    for (int ion = 1; ion <= d.ions; ++ion) {
        if (!f.has(n)) return endsBefore(f, n, "the block of ion " + std::to_string(ion));
        const auto h = gridLine(f, n);
        if (!h) return Failure{h.error()};
        if ((*h)[2] != (*g)[2]) return at(f, n, "ion " + std::to_string(ion) + " block of another NEDOS");
        Doscar::Ion io;
        const std::string& head = f.record(n);
        const size_t semi = head.find(';');
        const size_t firstRow = ++n;
        const auto rows = block(f, n, *nedos, 2, "ion " + std::to_string(ion) + " block", d.energy);
        if (!rows) return Failure{rows.error()};
        for (size_t i = 0; i < *nedos; ++i) io.lines.push_back(firstRow + i);
        const size_t columns = rows->front().size() - 1;
        size_t stride = static_cast<size_t>(d.spins);
        if (semi != std::string::npos) {
            // "; Z= 14; 3s 3p_y 3p_z 3p_x"
            const std::string rest = head.substr(semi + 1);
            const size_t semi2 = rest.find(';');
            for (const std::string& w : words(rest.substr(0, semi2)))
                if (auto z = number(w)) io.z = static_cast<int>(*z);
            if (semi2 != std::string::npos) io.names = words(rest.substr(semi2 + 1));
            if (io.names.size() * stride != columns)
                return at(f, firstRow - 1, std::to_string(io.names.size()) + " orbitals named for " +
                                               std::to_string(columns) + " columns");
        } else {
            io.names = vaspOrbitals(columns, d.spins, stride);
        }
        io.orbitals = joined(io.names);
        // columns per orbital: its spins side by side (or total, mx, my, mz)
        io.up.assign(io.names.size(), {});
        if (stride == 2) io.down.assign(io.names.size(), {});
        io.total.assign(*nedos, 0.0);
        for (size_t i = 0; i < *nedos; ++i)
            for (size_t o = 0; o < io.names.size(); ++o) {
                const double up = (*rows)[i][1 + o * stride];
                io.up[o].push_back(up);
                io.total[i] += up;
                if (stride != 2) continue;
                io.down[o].push_back((*rows)[i][2 + o * stride]);
                io.total[i] += io.down[o].back();
            }
        d.ion.push_back(std::move(io));
    }
    return d;
}

}  // namespace

Result<Doscar> readDoscar(const std::string& path) { return loadText(path).and_then(doscarOf); }

common::Status doscarSpins(const Doscar& d, Spin spin, DosSource& src) {
    if (spin == Spin::Both) {
        if (d.spins == 2) src.notes.push_back("spin polarised: both channels summed");
        return {};
    }
    if (d.spins != 2)
        return at(d.path, d.lines.front(), "one spin channel (3 numbers a row): the run is not spin polarised "
                                           "(leave out --spin)");
    applySpin(src, spin, d.up.dos, d.down.dos, d.up.idos, d.down.idos);
    return {};
}

std::vector<Projected> ionProjections(const Doscar& d, Spin spin, const std::vector<std::string>& element,
                                      bool byOrbital) {
    std::vector<Projected> out;
    for (size_t a = 0; a < d.ion.size(); ++a) {
        const Doscar::Ion& io = d.ion[a];
        const std::string el = a < element.size() ? element[a] : io.z > 0 ? elementSymbol(io.z) : "";
        auto one = [&](const std::string& orbital, const std::string& name, auto pick) {
            Projected p;
            p.name = name;
            p.element = el;
            p.orbital = orbital;
            p.rows = {d.path, io.lines};
            p.up.assign(d.energy.size(), 0.0);
            if (spin == Spin::Mirror) p.down = p.up;
            for (size_t o = 0; o < io.names.size(); ++o) {
                if (!pick(o)) continue;
                for (size_t i = 0; i < d.energy.size(); ++i) {
                    const double up = io.up[o][i], down = io.down.empty() ? 0.0 : io.down[o][i];
                    if (spin == Spin::Mirror) {
                        p.up[i] += up;
                        p.down[i] += down;
                    } else {
                        p.up[i] += spin == Spin::Up ? up : spin == Spin::Down ? down : up + down;
                    }
                }
            }
            out.push_back(std::move(p));
        };
        if (byOrbital)
            for (size_t o = 0; o < io.names.size(); ++o)
                one(io.names[o], io.names[o], [o](size_t k) { return k == o; });
        else
            one("", "", [](size_t) { return true; });
    }
    return out;
}

Result<DosSource> vaspSource(const Doscar& d, const Choice& choice, std::optional<double> fermi,
                             const std::vector<std::string>& element) {
    DosSource src;
    src.source = "VASP DOSCAR, " + d.path;
    src.energy = d.energy;
    src.rows = {d.path, d.lines};
    src.fermi = fermi ? *fermi : d.fermi;
    src.totals = true;
    src.dos = d.dos;
    src.idos = d.idos;
    if (auto spins = doscarSpins(d, choice.spin, src); !spins) return Failure{spins.error()};
    if (d.ion.empty()) {
        if (!choice.chosen.empty() || choice.sum != SumBy::None)
            return Failure{d.path + ": no ion blocks (the run had no LORBIT); leave out --ions and --sum"};
        return src;
    }
    const bool byOrbital = choice.sum == SumBy::Orbital || choice.sum == SumBy::ElementOrbital;
    std::vector<Projected> ions = ionProjections(d, choice.spin, element, byOrbital);
    if (choice.sum == SumBy::None) {
        for (size_t a = 0; a < ions.size(); ++a) ions[a].name = "Ion " + std::to_string(a + 1) + ": " + d.ion[a].orbitals;
    }
    return addChosenProjections(ions, choice, d.path, src).transform([&] { return std::move(src); });
}

}  // namespace importer
