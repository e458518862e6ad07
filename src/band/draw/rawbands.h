// The calculated levels of one symmetry line drawn for the crossing
// dialogue.
#pragma once

#include "band/core/state.h"
#include "common/fwd.h"

namespace band {

struct RawView {
    float lower = 0, upper = 0;  // energy window
    float x0 = 0, y0 = 0, w = 0, h = 0;
    int nkl = 0, nlower = 0, ninterp = 0, kstep = 1;
};

// Polylines through circle markers, one per band (energy_cur), with the
// band numbers at the left and the window's energies beside the frame.
void tlraw(common::Plot& plot, const LineTables& t, const RawView& v);

}  // namespace band
