// The band program's main flow: start-up, the main menu, set-up and
// interpolation, and the display that ends in the graph menu.
#pragma once

namespace common {
class Console;
class Plot;
}  // namespace common

namespace band {

using namespace common;

// Runs the program in the current directory; returns the exit status.
int runTarlisen(Plot& plot, Console& con);

}  // namespace band
