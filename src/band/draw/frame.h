// The band diagram's frame: energy window and line length dialogues, the
// frame with its separators, and the interpolated bands from fort.2.
#pragma once

#include <array>
#include <string>

#include "band/core/state.h"

namespace common {
class Console;
class Plot;
}  // namespace common

namespace band {

using namespace common;

using LinePos = std::array<float, band::kMaxShown + 2>;  // 1 .. n+1

// " Minimum energy in eV: ", " Maximum energy in eV: " until min < max.
void tlener(Console& con, float& emin, float& emax);
// Line lengths as ratios: P(1) = 0 ... P(n+1) = w.
void tlsyml(Console& con, LinePos& p, float w, int n);
// Equal lengths: P(i) = (i - 1) w / n.
void equalLines(LinePos& p, float w, int n);
// Frame: left and bottom edges; with n > 1 also right, top and separators.
void tlaxes(Plot& plot, float x0, float y0, const LinePos& p, float w, float h, int n);
// Bands of n lines from `path`; draw_error = 1 when it cannot be opened.
// Blocks missing from the file leave their panels empty. A block that cannot
// be read (or exceeds 51 points or 1000 bands) stops the drawing there; the
// lines before it stay drawn. `problem`, when given, receives a one-line
// description naming the file and record, or is emptied when all went well.
void tlband(Plot& plot, float x0, float y0, const LinePos& p, float h, float emin, float emax,
            int n, int& draw_error, const std::string& path = "fort.2",
            std::string* problem = nullptr);

}  // namespace band
