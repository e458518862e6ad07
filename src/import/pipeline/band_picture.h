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
// `withoutTop` leaves the highest level of each channel out of the window.
StarterPicture starterPicture(bool inAlat, const DensePath& path, const std::vector<ChosenLine>& lines,
                              const std::string& labels, const std::optional<std::pair<double, double>>& window,
                              bool relative, bool withoutTop = false);


// Summary lines for the spikes (the first few, with the input's line of
// their k point); says so when the highest band of a channel has one and
// the starter window leaves it out (`withoutTop`).
void printSpikes(std::ostream& out, const std::string& input, const DensePath& path, const std::vector<Spike>& found,
                 bool withoutTop);

// Two summary lines: the labels with the line lengths, the window.
void printPicture(std::ostream& out, const StarterPicture& picture);

// The bands of the chosen lines against the Fermi level (energies relative
// to it; a level within kAtFermi above counts as below), numbered as the band program numbers them: from the lowest level
// at each line's start, both spin channels together. `below` bands lie
// below it at every kept point, `crossing` more reach it somewhere; with
// none crossing and the highest of the `below` under the lowest of the
// rest, `gap` is the distance between them (eV), else 0.
// A level this close above the Fermi level counts as below it: an
// insulator's Fermi energy is its highest occupied level, which the band
// files give to three decimals.
constexpr double kAtFermi = 5e-3;
struct BandsAtFermi {
    int below = 0, crossing = 0, total = 0;
    int belowUp = 0, belowDown = 0;  // of `below`, per spin channel
    double gap = 0;
};
BandsAtFermi bandsAtFermi(const DensePath& path, const std::vector<ChosenLine>& lines);

// Valence and conduction bands in colours of their own when there is a gap
// and one spin channel (the spin-down look colours the other).
void colourValenceAndConduction(band::StarterBands& bands, const BandsAtFermi& at);

// One summary line: the band numbers of the valence and conduction bands
// (or of the bands below, crossing and above the Fermi level).
void printBandNumbers(std::ostream& out, const BandsAtFermi& at, bool coloured);

}  // namespace importer
