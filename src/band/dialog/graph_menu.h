// The band graph modification menu: energy range, border, tic marks,
// symmetry-point labels, titles, free text, Fermi marker, line lengths,
// clear and redraw, output file, layout save and load.
#pragma once

#include <functional>
#include <string>

#include "common/error.h"
#include "common/fwd.h"

namespace band {

struct BandGraph;

// PGPLOT device name of the output file: PostScript (selection 1) or
// HPGL (2), landscape for more than three symmetry lines.
std::string outputDevice(int selection, int nshow);

// Tells the user when the bands could not be drawn in full (the failure of
// tlband or tlrdrw).
void reportDrawing(common::Console& con, const common::Status& drawn);

// Option 3: the tic range, side and label questions, drawing each axis as
// soon as its side is known.
void askBandTics(common::Plot& plot, common::Console& con, BandGraph& g);

// The output menu's figure of the bands with a DOS beside them: its
// dialogue and file, on the file device, the screen device `screen`
// selected again after it. The program's main, which knows the DOS
// program, gives it.
using DosFigureOutput = std::function<void(common::Plot&, common::Console&, const BandGraph&, int screen)>;

// Option 10: the whole picture on a file device (or, with `withDos`, the
// figure of the bands with a DOS beside them, offered as a fifth entry),
// then once more on the screen device `screen`.
void writeOutputFile(common::Plot& plot, common::Console& con, BandGraph& g, int screen,
                     const DosFigureOutput& withDos = nullptr);

// The menu loop; returns when the user selects 0.
void tlgrph(common::Plot& plot, common::Console& con, BandGraph& g, const DosFigureOutput& withDos = nullptr);

}  // namespace band
