// The band diagram's frame with its separators, and the interpolated bands
// of fort.2 in it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "band/core/band_style.h"
#include "band/core/bands_file.h"
#include "annotate/legend.h"
#include "annotate/settings.h"
#include "band/core/state.h"
#include "common/error.h"
#include "common/one_based.h"
#include "common/fwd.h"

namespace band {

struct BandCharacter;

using LinePos = common::OneBased<float, kMaxShown + 1>;  // 1 .. n+1

// Equal lengths: P(i) = (i - 1) w / n.
void equalLines(LinePos& p, float w, int n);
// Frame: left and bottom edges; with n > 1 also right, top and separators.
void tlaxes(common::Plot& plot, const common::Box& frame, const LinePos& p, int n);
// Bands of lines 1 ... n, each in its panel. A line the file does not hold
// (missing, or after a damaged block) leaves its panel and the later ones
// empty. Fails, naming file and record, when not all were drawn.
// Each band takes its colour, width and style from `looks`.
// The bands tlband draws, as the legend must leave them clear.
std::vector<annotate::Trace> bandTraces(const annotate::EnergyFrame& frame, const LinePos& p, int n,
                                        const BandsFile& bands);
// With `coloured`, every band its weights reach is drawn in the colours of
// its character (drawInCharacter), in the width and style of its look.
common::Status tlband(common::Plot& plot, const annotate::EnergyFrame& frame, const LinePos& p, int n,
                   const BandsFile& bands, const BandLooks& looks = {}, const BandCharacter* coloured = nullptr);

}  // namespace band
