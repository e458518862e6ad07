// The two rows of text below the band frame: the symmetry-point labels just
// under it and the line titles a row lower, so that a label and a title never
// share a height, whatever the number of lines (a title is centred on its
// line, a label on the separator, and with many lines they meet).
#pragma once

#include "band/core/state.h"

namespace band {

// Baseline of the symmetry-point labels.
// Both move down from the frame as the text grows (`textScale`, see
// Plot::textScale) by the growth of the room they take, in character
// heights (1/40 of the view surface) of the text's own size.
inline float pointLabelRow(const FrameGeom& f, float textScale = 1.0f) {
    return 0.75f * f.frame_y0 - 1.25f / 40.0f * (textScale - 1.0f);
}
// Baseline of the line titles: a character height and a half below the
// labels, clear of their subscripts, and high enough that a title's own
// subscripts stay on an A4 page in landscape output.
inline float lineTitleRow(const FrameGeom& f, float textScale = 1.0f) {
    return 0.44f * f.frame_y0 - 2.8f / 40.0f * (textScale - 1.0f);
}

}  // namespace band
