// Reading one symmetry line's k points, energies and slopes from the band
// input for the interpolation.
#pragma once

#include <vector>

#include "band/core/cosine_fit.h"
#include "band/core/band_input.h"
#include "common/error.h"
#include "common/report.h"

namespace band {

// How the messages of the interpolation name a line: " Line  2".
std::string lineName(int label);

// The positions x(1 ... nkl) of a line's k points (blocks kfile of fort.1,
// in range) along it, 0 ... 0.5 (0 ... 0.25 with end_ns): from the last
// component in which the first and last points differ by 0.003 or more;
// false when none does.
bool linePositions(const BandInput& input, const std::vector<int>& kfile, int nkl, int end_ns,
                   common::OneBased<double, kMaxLinePoints>& x);

// Fills out.x(1..nkl) and the conditions of columns 1..ninterp = bands
// nlower+1 .. nlower+ninterp: energies in rows 1..nkl, slopes dE/dx in rows
// nkl+1 .. 2 nkl. kfile(i) (at index i-1) is the block of position i in fort.1.
// Echoes the line's k points; nothing is reported for bad counts or k
// points. The failure is the line that names the line and what is wrong.
common::Status eread(const BandInput& input, const std::vector<int>& kfile, int nbands, int nlower, int ninterp,
                  int nkl, int label, int end_ns, common::Report& report, LineConditions& out);

}  // namespace band
