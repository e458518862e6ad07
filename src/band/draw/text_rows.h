// The two rows of text below the band frame: the symmetry-point labels just
// under it and the line titles a row lower, so that a label and a title never
// share a height, whatever the number of lines (a title is centred on its
// line, a label on the separator, and with many lines they meet).
#pragma once

#include "band/core/state.h"

namespace band {

// Baseline of the symmetry-point labels.
inline float pointLabelRow(const FrameGeom& f) { return 0.75f * f.frame_y0; }
// Baseline of the line titles: a character height and a half below the
// labels, clear of their subscripts, and high enough that a title's own
// subscripts stay on an A4 page in landscape output.
inline float lineTitleRow(const FrameGeom& f) { return 0.44f * f.frame_y0; }

}  // namespace band
