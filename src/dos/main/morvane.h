// The DOS program's main flow: the input read and checked, the screen
// opened, the banner, then the main menu until the user quits.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "common/fwd.h"
#include "common/program_options.h"

namespace dos {

// The whole program: input `input`, layout `layout`, in the current
// directory. Returns the exit status.
int morvane(common::Plot& plot, common::Console& con, const std::string& input, const std::string& layout);

// The usage text of morvane.
const std::string& morvaneUsage();
// morvane takes no options besides --help and --version.
common::ProgramStart startMorvane(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

}  // namespace dos
