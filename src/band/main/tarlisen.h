// The band program's main flow: start-up, the main menu, set-up and
// interpolation, and the display that ends in the graph menu.
#pragma once

#include "band/interp/bfit.h"

class Console;
class Plot;

// Runs the program in the current directory, fitting the lines as `fit`
// says; returns the exit status.
int runTarlisen(Plot& plot, Console& con, band::FitKind fit = band::FitKind::cosine);
