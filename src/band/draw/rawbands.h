// The calculated levels of one symmetry line drawn for the crossing
// dialogue, and picking one of their markers with the cursor.
#pragma once

#include "band/core/state.h"

namespace common {
class Console;
class Plot;
}  // namespace common

namespace band {

using namespace common;

struct RawView {
    float lower = 0, upper = 0;  // energy window
    float x0 = 0, y0 = 0, w = 0, h = 0;
    int nkl = 0, nlower = 0, ninterp = 0, kstep = 1;
};

// Polylines through circle markers, one per band (energy_cur), with the
// band numbers at the left and the window's energies beside the frame.
void tlraw(Plot& plot, const LineTables& t, const RawView& v);

// Waits for the cursor on a marker and returns its energy position and k
// position (energy_orig is searched). (cx, cy) is the cursor's start and
// keeps its last position.
void tlselc(Plot& plot, Console& con, const LineTables& t, const RawView& v, int& level, int& kpos,
            float& cx, float& cy);

}  // namespace band
