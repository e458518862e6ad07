// The interpolation pass: every stored symmetry line of fort.3 is fitted with
// the bands of fort.1 and the curves are written to fort.2.
#pragma once

#include <string>
#include <vector>

#include "band/core/band_input.h"
#include "band/core/cosine_fit.h"
#include "band/core/setup_file.h"
#include "common/report.h"
#include "common/records.h"

namespace band {

// How the bands of a line are fitted: the cosine series of least roughness,
// or the piecewise cubic Hermite curve through energies and slopes.
enum class FitKind { cosine, hermite };

// Band order: column q of the conditions (energy row i and slope row nk + i
// together) takes, at every k point, the level that carries band q there;
// perms as tsort makes them for the line.
void applyBandOrder(const std::vector<std::vector<int>>& perms, int nlower, LineConditions& cond);

struct BfitSummary {
    int written = 0;                 // line blocks in fort.2, also its count record
    std::vector<int> left_out;       // ordinals 1..nlines of the lines left out
    std::vector<int> fallback;       // ordinals of the lines the series could not fit: Hermite curves
    std::string fort2;               // the content of fort.2
};

// The pass on files already in memory; input holds fort.1 read with the
// counts' nbands. Fills summary.fort2, prints the line echoes and every
// message; writes nothing. A line the cosine series cannot fit gets the
// Hermite curve; only a damaged line is left out.
BfitSummary interpolate(const SetupFile& counts, const std::vector<SetupLine>& lines, const BandInput& input,
                        int nlines, common::Report& report, FitKind kind = FitKind::cosine);

// The whole pass in directory `dir`: reads fort.3 and fort.1 (nkpt k points,
// the nbands of fort.3), fits `nlines` lines and replaces fort.2 only when
// everything is ready. When a file cannot be read or written fort.2 stays
// as it was, and the failure says why.
common::Result<BfitSummary> bfit(int nlines, int nkpt, common::Report& report, const std::string& dir = ".",
                 FitKind kind = FitKind::cosine);

}  // namespace band
