// The DOS input file fort.1: a 304-record header (counts and projection
// descriptions), the energy grid and the curves, one value per record.
// The file is read once into memory and checked; a curve is then fetched by
// its record numbers.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/records.h"
#include "dos/core/limits.h"

namespace dos {

// Records 5-104, 105-204, 205-304: three kinds of projection descriptions.
enum class ProjKind { AO = 0, FMO = 1, COOP = 2 };

constexpr int kHeaderRecords = 304;
// The field of every value of fort.1: F12.5.
constexpr int kValueWidth = 12, kValueDecimals = 5;
constexpr const char* kValueField = "F12.5";
constexpr int kDescBlockStart[3] = {5, 105, 205};

struct DosInput {
    int ntot = 0, nao = 0, nfmo = 0, ncoop = 0, ne = 0;
    // Description line counts per kind and projection.
    std::array<std::array<int, kMaxProjections>, 3> nlines{};
    // Description lines per kind, projection and line, 80 characters each.
    std::array<std::array<std::array<std::string, kMaxDescLines>, kMaxProjections>, 3> desc;
    std::vector<float> energy;  // E(1) ... E(NE) at 0 ... NE-1
    float egrid_low = 0, egrid_high = 0;
    common::RecordFile file = common::RecordFile::fromText("fort.1", "");

    int projections(ProjKind k) const {
        return k == ProjKind::AO ? nao : k == ProjKind::FMO ? nfmo : ncoop;
    }
    const std::string& description(ProjKind k, int p, int line) const {
        return desc[static_cast<size_t>(k)][static_cast<size_t>(p - 1)][static_cast<size_t>(line - 1)];
    }
    int lineCount(ProjKind k, int p) const {
        return nlines[static_cast<size_t>(k)][static_cast<size_t>(p - 1)];
    }
};

// Number of curves after the grid.
inline int curveCount(int ntot, int nao, int nfmo, int ncoop) {
    return ntot + 2 * (nao + nfmo + ncoop);
}
inline int curveCount(const DosInput& in) { return curveCount(in.ntot, in.nao, in.nfmo, in.ncoop); }

// Curve number of projection p of a kind; `integrated` selects its integral.
// Each projection gives its curve and then its integral, AO first, then FMO,
// then COOP, after the three total curves.
int curveNumber(const DosInput& in, ProjKind kind, int p, bool integrated);

// Value i (1 ... NE) of curve c is on record 304 + c*NE + i; the grid is curve 0.
inline long valueRecord(int ne, int c, int i) {
    return kHeaderRecords + static_cast<long>(c) * ne + i;
}

// Reads and checks the whole file. The failure is one line naming the file
// and the record.
common::Result<DosInput> readDosInput(const common::RecordFile& file);

// The NE values of curve c (1 ... curveCount), or the line that says which
// value cannot be read or that the file has no such curve.
using CurveValues = std::array<float, kMaxEnergies>;
common::Result<CurveValues> fetchCurve(const DosInput& in, int c);

// The 72-character title of a curve: the total curves by name, a projection
// by its prefix and the first 64 characters of its first description line.
std::string curveTitle(const DosInput& in, int c);

// The name a legend gives the curve of a buffer title: the projection's
// description without its kind ("Fe d"), "total" for the total DOS; `half`
// "up" or "down" for one spin channel of a curve ("" otherwise).
std::string curveName(const std::string& title, std::string& half);

// ---- the writer, for the importers ----

struct DosCurves {
    bool totals = false;  // density of states, its integral and the total energy present
    std::vector<float> energy;
    std::vector<float> dos, idos, etot;
    struct Projection {
        std::vector<std::string> description;  // at most 20 lines of 80 characters are kept
        std::vector<float> curve, integral;
    };
    std::vector<Projection> ao, fmo, coop;
};

// The whole file as text, or why it cannot be written: more energies or
// projections than the reader holds, a curve of the wrong length, an energy
// grid that does not ascend, or a value that does not fit F12.5 (named by
// its curve and point).
common::Result<std::string> formatDosInput(const DosCurves& curves);

}  // namespace dos
