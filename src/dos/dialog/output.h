// Output files: the graph drawn once more on a PGPLOT file device
// (PostScript grey or colour, or HPGL; portrait or landscape).
#pragma once

#include <string>

#include "dos/core/graph.h"
#include "common/fwd.h"

namespace dos {

// PGPLOT device (file name and type) for output type 1-3 (grey PostScript, colour
// PostScript, HPGL) and orientation.
std::string outputDevice(int type, bool landscape);

constexpr int kGreyPostScript = 1;

// On the grey device every brush 2-15 gets a grey level of its own, lighter
// than the lines; the device's own table would fill most of them black.
void setGreyBrushes(common::Plot& plot);

// The landscape panels, fractions of the square view surface, of which an
// A4 page in landscape shows a strip 0.707 high. The bottom 5 % of the view
// surface lies off the sheet: the panels sit high enough that the axis
// titles stay on it, below the horizontal tic labels and clear of them; the
// right edge leaves room for outward tics on the right axis.
constexpr float kLandscapePanelBottom = 0.15f;
constexpr float kLandscapePanelHeight = 0.5f;
constexpr float kLandscapeX0 = 0.16667f;
constexpr float kLandscapeWidth = 0.75f;  // kFrameRightRoom right of it for the Fermi text

// The landscape page: wider than high, both panels side by side when both
// hold buffers (the one that was on the right stays on the right), the
// free texts where they were relative to the frame.
void setLandscape(DosGraph& g);

// Screen (portrait) page geometry; the panel edges are not touched.
void setPortraitPage(DosGraph& g);

// The output dialogue: type, orientation, drawing on the file device, then
// the screen selected again with its geometry and the graph drawn on it.
void generateOutput(common::Plot& plot, common::Console& con, const DosInput& in, DosGraph& g, int screen);

}  // namespace dos
