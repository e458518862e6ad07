// Bands with a DOS beside them: the band frame and, right of it, the DOS
// graph of a folder that morvane-import wrote (its fort.1 and fort.7), on
// the same energy axis, window and Fermi level; for tarlisen --output FIG
// --dos DIR and the output menu of the graph menu.
#pragma once

#include <string>

#include "band/core/graph.h"
#include "common/error.h"
#include "common/fwd.h"
#include "dos/core/layout_file.h"

namespace band {

// The DOS panel's width as a share of the band frame's: two sevenths of
// both frames together.
constexpr float kDosShare = 0.4f;
// Between the band frame and the DOS panel, a fraction of the view surface,
// and at least this many character heights.
constexpr float kDosGap = 0.05f;
constexpr float kDosGapChars = 3.0f;
// The most numbers on a value axis of the DOS panel, narrower than a DOS
// picture's.
constexpr int kDosPanelLabels = 3;
// Fermi energies further apart than this (eV) are pointed out.
constexpr float kFermiTolerance = 0.010f;

// The DOS of `dir`: dir/fort.1 with the layout dir/fort.7; the failure
// names the file and record.
common::Result<dos::StoredDos> loadDosBeside(const std::string& dir);

// What to add to the DOS energies to put them on the bands' scale: the
// difference of the two calculations' recorded Fermi energies (the energies
// of each are relative to its own), 0 unless both layouts record one.
float dosShift(const BandGraph& bands, const dos::DosGraph& dos);

// The line that says the two recorded Fermi energies differ by more than
// kFermiTolerance and what the figure makes of it; "" otherwise.
std::string fermiMismatch(const BandGraph& bands, const dos::DosGraph& dos);

// The two graphs as the figure draws them: the band frame on the square view
// surface, narrowed in proportion where the DOS panel would not fit beside
// it; the DOS panel (and a COOP panel the layout has) `gap` right of it, as high,
// over the same energies, its energy axes without numbers or title, its free
// texts (placed on a page of its own) left out; the Fermi markers of both
// off, drawn once across both by drawBandsWithDos.
struct DosFigure {
    BandGraph bands;
    dos::DosGraph dos;
};
DosFigure dosFigure(const BandGraph& bands, const dos::DosGraph& dos, float gap = kDosGap);

// Draws the figure on the selected device without clearing it. Fails, as
// tlrdrw, when the bands could not be drawn in full.
common::Status drawBandsWithDos(common::Plot& plot, const BandGraph& bands, const dos::StoredDos& dos);

// The output menu's entry for the figure: asks for the folder, then writes
// the figure to tarlisen.eps (colour) with tarlisen.pdf beside it, on the
// file device, and selects `screen` again; a folder whose files cannot be
// read is one line, and nothing is written.
void writeBandsWithDos(common::Plot& plot, common::Console& con, const BandGraph& g, int screen);

}  // namespace band
