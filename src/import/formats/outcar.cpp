#include "import/formats/outcar.h"

#include <optional>

#include "common/records.h"
#include "import/text/text_table.h"

namespace importer {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// The last reciprocal lattice vectors the run printed, in 1/Angstrom.
common::Result<Lattice> lastReciprocalLattice(const common::RecordFile& f) {
    std::optional<size_t> last;
    for (size_t r = 1; r <= f.size(); ++r)
        if (f.record(r).find("reciprocal lattice vectors") != std::string::npos) last = r;
    if (!last) return common::Failure{f.name() + ": no 'reciprocal lattice vectors' (is it an OUTCAR?)"};
    Lattice b;
    for (size_t i = 0; i < 3; ++i) {
        const size_t r = *last + 1 + i;
        if (r > f.size()) return endsBefore(f, r, "the reciprocal lattice vectors");
        const auto v = numbersOn(f, r);
        if (!v) return v.failure();
        if (v->size() != 6) return at(f, r, "expected a direct and a reciprocal lattice vector (six numbers)");
        b[i] = {(*v)[3] * kTwoPi, (*v)[4] * kTwoPi, (*v)[5] * kTwoPi};
    }
    return b;
}

// The last Fermi energy the run printed.
common::Result<double> lastFermiEnergy(const common::RecordFile& f) {
    std::optional<double> fermi;
    for (size_t r = 1; r <= f.size(); ++r) {
        const auto after = wordsAfter(f.record(r), "E-fermi :");
        if (!after) continue;
        const auto v = after->empty() ? std::nullopt : number(after->front());
        if (!v) return at(f, r, "unreadable Fermi energy");
        fermi = *v;
    }
    if (!fermi) return common::Failure{f.name() + ": no 'E-fermi :' line (is it an OUTCAR?)"};
    return *fermi;
}

}  // namespace

common::Result<Lattice> readOutcarReciprocal(const std::string& path) { return loadText(path).and_then(lastReciprocalLattice); }

common::Result<double> fermiFromOutcar(const std::string& path) { return loadText(path).and_then(lastFermiEnergy); }

}  // namespace importer
