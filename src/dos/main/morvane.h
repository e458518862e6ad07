// The DOS program's main flow: the input read and checked, the screen
// opened, the banner, then the main menu until the user quits.
#pragma once

#include <string>
#include "common/fwd.h"

namespace dos {

// The whole program: input `input`, layout `layout`, in the current
// directory. Returns the exit status.
int morvane(common::Plot& plot, common::Console& con, const std::string& input, const std::string& layout);

}  // namespace dos
