// The band program's main flow: start-up, the main menu, set-up and
// interpolation, and the display that ends in the graph menu.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "band/core/interpolation.h"
#include "common/fwd.h"
#include "common/program_options.h"

namespace band {

// Runs the program in the current directory, fitting the lines as `fit`
// says, or when it says nothing as fort.14 marks its gradients (the
// calculation's slopes: Hermite; otherwise the cosine series); returns the
// exit status.
int runTarlisen(common::Plot& plot, common::Console& con, std::optional<FitKind> fit = std::nullopt);

// The usage text of tarlisen.
const std::string& tarlisenUsage();
// tarlisen [--fit cosine|hermite | --output FILE]: any other fit, a picture
// file of no known kind, or both options together is a usage error.
common::ProgramStart startTarlisen(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

}  // namespace band
