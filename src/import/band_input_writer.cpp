#include "band_input_writer.h"

#include <cmath>

#include "band/band_state.h"
#include "common/format.h"

namespace importer {

namespace {

bool fitsF(double v, int w, int d) { return fmt::F(v, w, d).find('*') == std::string::npos; }
bool fitsI(long v, int w) { return fmt::I(v, w).find('*') == std::string::npos; }

// A value as the complaint shows it.
std::string real(double v) {
    const std::string s = fmt::F(v, 24, 5);
    return s.substr(s.find_first_not_of(' '));
}

}  // namespace

common::Result<std::string> formatBandCounts(int nkpt, int nbands) {
    if (nkpt < 1 || !fitsI(nkpt, 6)) return common::Failure{"fort.14: number of k points " + std::to_string(nkpt) + " does not fit I6"};
    if (nbands < 1 || nbands > band::kMaxBands)
        return common::Failure{"fort.14: " + std::to_string(nbands) + " bands; the band program takes 1 ... " +
                               std::to_string(band::kMaxBands)};
    return fmt::I(nkpt, 6) + fmt::I(nbands, 6) + fmt::I(0, 6) + fmt::I(0, 6) + fmt::I(0, 6) + fmt::I(0, 6) + "\n";
}

common::Result<std::string> formatBandInput(const BandInput& in) {
    if (in.nbands < 1 || in.nbands > band::kMaxBands)
        return common::Failure{"fort.1: " + std::to_string(in.nbands) + " bands; the band program takes 1 ... " +
                               std::to_string(band::kMaxBands)};
    if (static_cast<int>(in.blocks.size()) != in.nkpt)
        return common::Failure{"fort.1: " + std::to_string(in.blocks.size()) + " k point blocks for " +
                               std::to_string(in.nkpt) + " k points"};
    std::string s;
    s.reserve(in.blocks.size() * (static_cast<size_t>(in.nbands) + 4) * 75);
    for (size_t n = 0; n < in.blocks.size(); ++n) {
        const KBlock& b = in.blocks[n];
        const std::string kp = "fort.1, k point " + std::to_string(n + 1);
        if (static_cast<int>(b.bands.size()) != in.nbands)
            return common::Failure{kp + ": " + std::to_string(b.bands.size()) + " band records for " +
                                   std::to_string(in.nbands) + " bands"};
        for (float c : b.k) {
            if (!fitsF(c, 10, 7)) return common::Failure{kp + ": coordinate " + real(c) + " does not fit F10.7"};
            s += fmt::F(c, 10, 7);
        }
        s += "\n";
        for (const Membership& m : b.member) {
            if (m.label < 0 || !fitsI(m.label, 3))
                return common::Failure{kp + ": line label " + std::to_string(m.label) + " does not fit I3"};
            if (m.nsel < 0 || m.nsel > band::kMaxCodeFields)
                return common::Failure{kp + ": number of code fields " + std::to_string(m.nsel) + " outside 0 ... 10"};
            s += fmt::I(m.label, 3) + fmt::I(m.nsel, 3);
            for (int v : m.sel) {
                if (v < 0 || v > band::kMaxCodeFields)
                    return common::Failure{kp + ": code field index " + std::to_string(v) + " outside 0 ... 10"};
                s += fmt::I(v, 3);
            }
            s += "\n";
        }
        float previous = -INFINITY;
        for (size_t i = 0; i < b.bands.size(); ++i) {
            const BandRecord& r = b.bands[i];
            const std::string where = kp + ", band " + std::to_string(i + 1);
            if (!fitsF(r.energy, 10, 5)) return common::Failure{where + ": energy " + real(r.energy) + " does not fit F10.5"};
            if (r.energy < previous) return common::Failure{where + ": energies not in ascending order"};
            previous = r.energy;
            s += fmt::F(r.energy, 10, 5);
            for (float g : r.grad) {
                if (!fitsF(g, 10, 5)) return common::Failure{where + ": gradient " + real(g) + " does not fit F10.5"};
                s += fmt::F(g, 10, 5);
            }
            if (!fitsI(r.code[0], 4))
                return common::Failure{where + ": code field 0 " + std::to_string(r.code[0]) + " does not fit I4"};
            s += fmt::I(r.code[0], 4);
            for (size_t j = 1; j < r.code.size(); ++j) {
                if (!fitsI(r.code[j], 3))
                    return common::Failure{where + ": code field " + std::to_string(j) + " value " +
                                           std::to_string(r.code[j]) + " does not fit I3"};
                s += fmt::I(r.code[j], 3);
            }
            s += "\n";
        }
    }
    return s;
}

}  // namespace importer
