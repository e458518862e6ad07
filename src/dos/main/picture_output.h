// morvane --output FILE: the picture drawn from the stored files, without
// a dialogue, as the output option of the main menu draws it.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "common/fwd.h"

namespace dos {

// Draws the curves of `input` (fort.1) with the layout `layout` (fort.7,
// required) to `file`, upright (the page the screen shows); its suffix
// picks colour EPS, HPGL, PDF or PNG. A missing or damaged file, or a
// picture that could not be made, is one line on `err`. With `widthCm` the
// picture is made that wide (see writePictureFile); a `title` (markup) is
// drawn above the frame. Returns the exit
// status: 0, or 1 after such a line.
int drawPictureFile(common::Plot& plot, const std::string& input, const std::string& layout,
                    const std::string& file, std::ostream& err, std::optional<double> widthCm = std::nullopt,
                    const std::string& title = "");

}  // namespace dos
