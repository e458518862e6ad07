// Reading one symmetry line's k points, energies and slopes from the band
// input for the interpolation.
#pragma once

#include <vector>

#include "band/core/cosine_fit.h"
#include "band/core/band_input.h"
#include "common/report.h"

namespace band {

using namespace common;

enum class EreadStatus {
    ok,
    bad_counts,  // nbands, nlower, ninterp or nkl do not fit the input
    bad_kfile,   // a k point that fort.1 does not hold
    short_line,  // first and last k point closer than 0.003 in every component
};

struct EreadResult {
    EreadStatus status = EreadStatus::ok;
    int position = 0;  // bad_kfile: the position on the line and its kfile
    int kfile = 0;
};

// Fills out.x(1..nkl) and the conditions of columns 1..ninterp = bands
// nlower+1 .. nlower+ninterp: energies in rows 1..nkl, slopes dE/dx in rows
// nkl+1 .. 2 nkl. kfile(i) (at index i-1) is the block of position i in fort.1.
// Echoes the line's k points; nothing is printed for bad counts or k points.
EreadResult eread(const BandInput& input, const std::vector<int>& kfile, int nbands, int nlower, int ninterp,
                  int nkl, int label, int end_ns, Report& report, LineConditions& out);

}  // namespace band
