// A finished band graph layout (what fort.15 holds) made from what a band
// calculation knows, without a dialogue: symmetry labels at the line ends,
// line lengths in proportion to the path, an energy window with tic marks
// and labels (labelledTics of annotate/settings.h), the energy axis title, the Fermi line and the
// border.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "band/core/graph.h"
#include "common/error.h"

namespace band {

struct StarterBands {
    // nlines + 1 labels in the text markup ("\GAMMA", "K|U"), at most 80
    // characters each; label i sits at the start of line i, the last one
    // at the end of the last line.
    std::vector<std::string> labels;
    // The relative length of each line (> 0), e.g. its length in k space.
    std::vector<double> lengths;
    float emin = 0, emax = 0;  // energy window, eV
    // Fermi level, eV, marked with a dashed line when inside the window;
    // none when it is not known
    std::optional<float> efermi = 0.0f;
    bool relative = true;  // energies relative to the Fermi level: the axis reads E - E_F
    // The calculation's Fermi energy (eV, absolute) the energies were made
    // relative to, kept in the layout; none when they are absolute.
    std::optional<float> sourceFermi = std::nullopt;
    // The picture's title, centred above the frame, in the text markup; ""
    // for none.
    std::string title{};
    // Both spin channels: for each line, which of its bands (numbered from
    // the lowest) are spin down, drawn in the spin-down look; empty for one
    // channel.
    std::vector<std::vector<bool>> spinDown;
    // The import read the projections of the bands (fort.16): the bands are
    // coloured by their orbital character, its groups named in the legend.
    bool projections = false;
    // Looks of ranges of bands (numbered from the lowest of each line), e.g.
    // the valence bands apart from the conduction bands; none by default.
    std::vector<BandStyle> styles{};
};

// The line positions 1 ... n+1 of a frame `w` wide for lines whose lengths
// are in the ratios of `lengths` (n of them): P(1) = 0 ... P(n+1) = w.
void linesInProportion(common::OneBased<float, kMaxShown + 1>& p, const std::vector<double>& lengths, float w);

// The graph of the settings: 1 to 10 lines, landscape geometry for four or
// more; the failure names what the layout cannot keep (a window that is
// not a range or does not fit its field, a length not above 0, a label
// count that does not match).
common::Result<BandGraph> starterGraph(const StarterBands& s);

// The text of fort.15 for the settings (formatLayout of starterGraph); it
// loads with loadLayout. Write it with writeFileAtomic.
common::Result<std::string> formatStarterLayout(const StarterBands& s);

}  // namespace band
