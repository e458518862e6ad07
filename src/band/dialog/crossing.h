// The per-line correction of how levels join into bands: energy window,
// crossing two bands from a picked k point on, copying symmetry codes and
// re-running the automatic ordering, undoing crossings.
#pragma once

#include "band/core/state.h"
#include "band/draw/rawbands.h"
#include "common/fwd.h"

namespace band {

// Waits for the cursor on a marker and returns its energy position and k
// position (energy_orig is searched). (cx, cy) is the cursor's start and
// keeps its last position.
void tlselc(common::Plot& plot, common::Console& con, const LineTables& t, const RawView& v, int& level, int& kpos,
            float& cx, float& cy);

// Runs the display loop until selection 5. Keeps
// energy_cur(band_order(b, k), k) = energy_orig(b, k) after every change.
void crossingDialogue(common::Plot& plot, common::Console& con, LineTables& t, const LineState& line,
                      const BandState& st, const FrameGeom& geom);

// The changes themselves, one per selection.
void crossBands(LineTables& t, const LineState& line, int lev1, int lev2, int kpick);
void copySymmetry(LineTables& t, const LineState& line, const BandState& st, int source, int target,
                  int lower, int higher);
void uncrossBands(LineTables& t, const LineState& line, const BandState& st, int lower, int higher);

// Puts every interpolated level back on its own band, orders the bands by
// their symmetry codes when `bySymmetry`, and rebuilds energy_cur.
void orderLine(LineTables& t, const LineState& line, const BandState& st, bool bySymmetry);

}  // namespace band
