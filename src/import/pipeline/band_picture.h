// The starter picture of an imported band structure: the names of the
// points between the lines, the line lengths in proportion to the path and
// the energy window, as the band layout fort.15 keeps them.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "band/core/starter_layout.h"
#include "import/pipeline/band_path.h"

namespace importer {

struct StarterPicture {
    band::StarterBands bands;  // labels in the markup, lengths in the path's k units, window
    std::string labelsFrom;    // where the labels came from, for the summary
};

// "G", "Γ" and any Greek letter's name ("Gamma", "SIGMA", "delta", also
// with a backslash before it: "\Gamma") as the markup that draws the
// letter; each side of a jump "K|U" on its own; other names as they are.
std::string labelMarkup(const std::string& name);

// The picture of the chosen lines: labels from `labels` (the --labels list,
// one more than there are lines; common::UsageError when it is not), else
// the names the path gives its points, else the standard points of the
// lattice the k points belong to (`inAlat`: k Cartesian in 2 pi/alat;
// otherwise k Cartesian in the units of the path's reciprocal lattice), else
// numbers; the window `window`, else the starter window of
// annotate::starterWindow (the bands' whole range when the energies are
// absolute), in whole eV.
StarterPicture starterPicture(bool inAlat, const DensePath& path, const std::vector<ChosenLine>& lines,
                              const std::string& labels, const std::optional<std::pair<double, double>>& window,
                              bool relative);

// Two summary lines: the labels with the line lengths, the window.
void printPicture(std::ostream& out, const StarterPicture& picture);

}  // namespace importer
