// The band program's main flow: start-up, the main menu, set-up and
// interpolation, and the display that ends in the graph menu.
#pragma once

#include <optional>

#include "band/core/interpolation.h"
#include "common/fwd.h"

namespace band {

using namespace common;

// Runs the program in the current directory, fitting the lines as `fit`
// says, or when it says nothing as fort.14 marks its gradients (the
// calculation's slopes: Hermite; otherwise the cosine series); returns the
// exit status.
int runTarlisen(Plot& plot, Console& con, std::optional<FitKind> fit = std::nullopt);

}  // namespace band
