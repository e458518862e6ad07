// The colours and lines of curves as both programs offer them: the palette
// every picture defines, and the questions for a curve's colour, line width
// and line style.
#pragma once

#include <array>

#include "annotate/settings.h"
#include "common/fwd.h"

namespace annotate {

// Gives the palette colours (kOrange ... kReddishPurple) their red, green
// and blue on the selected device. Colour representations belong to a
// device, so every picture calls it before it draws.
void definePalette(common::Plot& plot);

// The red, green and blue (0 ... 1) of palette colour `ci` (kOrange ...
// kReddishPurple); black for any other index.
std::array<float, 3> paletteRgb(int ci);

// The lines that name the colour indices a curve can take.
void showColours(common::Console& con);

// " Colour index (1-22): ", " Line width (1-201): ", " Line style (1-5): ",
// each asked until the answer is in range.
int askColour(common::Console& con);
int askLineWidth(common::Console& con);
int askLineStyle(common::Console& con);

}  // namespace annotate
