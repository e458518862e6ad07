// The questions about the band frame: the energy window and the lengths of
// the symmetry lines.
#pragma once

#include "band/draw/frame.h"
#include "common/fwd.h"

namespace band {

// " Minimum energy in eV: ", " Maximum energy in eV: " until min < max.
void tlener(common::Console& con, float& emin, float& emax);
// Line lengths as ratios: P(1) = 0 ... P(n+1) = w.
void tlsyml(common::Console& con, LinePos& p, float w, int n);

}  // namespace band
