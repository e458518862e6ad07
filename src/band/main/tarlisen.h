// The band program's main flow: start-up, the main menu, set-up and
// interpolation, and the display that ends in the graph menu.
#pragma once

class Console;
class Plot;

// Runs the program in the current directory; returns the exit status.
int runTarlisen(Plot& plot, Console& con);
