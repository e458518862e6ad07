// A finished DOS graph layout (what fort.7 holds) made from the DOS input
// alone, without a dialogue: the total DOS in buffer 1 with the AO
// projections overlaid on its scale, border, tic marks with labels, axis
// titles and the Fermi line.
#pragma once

#include <optional>
#include <string>

#include "common/error.h"
#include "dos/core/graph.h"

namespace dos {

struct StarterDos {
    // Fermi level, eV, marked with a dashed line when inside the energy
    // grid; none when it is not known
    std::optional<float> efermi = 0.0f;
    bool relative = true;  // energies relative to the Fermi level: the axis reads E - E_F
    // The spin channels mirrored: the total DOS (spin up) is followed by
    // its spin-down channel, then every projection by its own.
    bool mirrored = false;
    // The calculation's Fermi energy (eV, absolute) the energies were made
    // relative to, kept in the layout; none when it is not known.
    std::optional<float> sourceFermi = std::nullopt;
    // The picture's title, centred above the frame, in the text markup; ""
    // for none.
    std::string title{};
};

// The graph: the whole energy grid (with energies relative to the Fermi
// level the starter window, annotate::starterWindow, and the value axis
// over the curves inside it); buffer 1
// the total DOS (when the input has it), then the AO projections, each in a
// colour (curveColour: the total black) and a line style of its own (the
// two channels of a mirrored pair in one), named in a legend, as
// many as the DOS buffers hold; the value axis widened to the labelled tics
// round the curves; curves that go below zero (a spin-down channel as
// negative values) get a DOS axis as wide on either side of it. An input
// without either gets its COOP curves in the COOP panel instead. The failure says why there is nothing
// to draw, or names the curve that cannot be read.
common::Result<DosGraph> starterGraph(const DosInput& in, const StarterDos& s);

// The text of fort.7 for that graph (formatLayout); it loads with
// parseLayout. Write it with writeFileAtomic.
common::Result<std::string> formatStarterLayout(const DosInput& in, const StarterDos& s);

}  // namespace dos
