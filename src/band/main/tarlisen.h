// The band program's main flow: start-up, the main menu, set-up and
// interpolation, and the display that ends in the graph menu.
#pragma once

#include "band/core/interpolation.h"
#include "common/fwd.h"

namespace band {

// Runs the program in the current directory, fitting the lines as `fit`
// says; returns the exit status.
int runTarlisen(common::Plot& plot, common::Console& con, FitKind fit = FitKind::cosine);

}  // namespace band
