// Border, Fermi-level marker, free text and axis titles of both programs.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "annotate/settings.h"

namespace common {
class Console;
class Plot;
}  // namespace common

namespace annotate {

// The page window: 0 ... a by 0 ... b on the viewport of the same numbers.
void selectPageWindow(common::Plot& plot, float a, float b);

// Right and top edges of the band frame.
void tlbrdr(common::Plot& plot, const common::Box& frame);
// Top and right edges of the one or two DOS panels that hold curves.
void mvbrdr(common::Plot& plot, const CurvePanel& dos, const CurvePanel& coop);

// The text of the Fermi-level marker.
extern const char* const kFermiText;
// Fermi marker: the text just outside the right edge of the frame, its arrow
// pointing at the Fermi level; with a line a dashed line across the frame at
// the Fermi energy, without one a short mark at the level on both edges.
// `page` is the page window of the picture.
void tlfrmi(common::Plot& plot, const EnergyFrame& frame, const common::Box& page, const FermiMark& fermi);
inline void mvfrmi(common::Plot& plot, const EnergyFrame& frame, const common::Box& page, const FermiMark& fermi) {
    tlfrmi(plot, frame, page, fermi);
}

// " Fermi energy: " until emin <= value <= emax, then " Mark with line? (y/n) ".
// The band program asks after an empty line.
void askFermi(common::Console& con, float emin, float emax, bool emptyLineFirst, float& efermi, bool& line);

// Draws every free text in the page window (mvtext and the band redraw).
void drawFreeTexts(common::Plot& plot, float a, float b, const std::vector<FreeText>& texts);

// Asks texts one after the other (" Text: ", position, angle, cursor) and
// draws each at once, appending them to `texts`, until an empty text; a
// full table (`capacity`) ends the option with a one-line message. An angle
// or a cursor position for which `refusal` gives a line (the layout file
// could not keep it) is asked again after that line.
void enterFreeTexts(common::Plot& plot, common::Console& con, const common::Box& page, std::vector<FreeText>& texts,
                    size_t capacity, const std::function<std::string(float)>& refusal = nullptr);

// Axis titles of the DOS graph: each panel that holds curves gets its title
// centred below it, the energy title runs vertically left of the frame,
// whose left edge is at x0.
void mvtitl(common::Plot& plot, const CurvePanel& dos, const CurvePanel& coop, float x0, const AxisTitles& titles);

// The x of the vertical energy title left of a frame whose left edge is at
// `frameX0`: clear of the axis numbers for text `textScale` times its size.
float energyTitleX(float frameX0, float textScale);

// The picture's title (marked up, as tltrap takes it) centred above the
// frame, clear of an upper axis's numbers; a blank title draws nothing.
void drawPictureTitle(common::Plot& plot, const std::string& title, const common::Box& frame);

}  // namespace annotate
