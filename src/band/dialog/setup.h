// The symmetry-line set-up: the user picks lines by label; each line is
// built from fort.1 (or taken over from the stored set-up fort.3), shown
// for correction, finished with its end-point questions and appended to
// fort.4. At the end fort.4 becomes the new fort.3.
#pragma once

#include "band/core/state.h"
#include "common/fwd.h"

namespace band {

// Runs the whole dialogue. With st.stored_setup the stored set-up
// fort.3 (counts already in `st`) is offered line by line. Returns false
// after a one-line message when the input cannot be used; fort.3 is then
// left as it was. On success st.nlines counts the finished lines.
bool runSetup(common::Plot& plot, common::Console& con, BandState& st, const FrameGeom& geom);

}  // namespace band
