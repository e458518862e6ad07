// The data of a band picture as a table for users who draw their own: one
// row per interpolated point of every band of the lines shown, with the
// orbital character's weights.
#pragma once

#include <string>

namespace band {

struct BandGraph;

// Comma-separated values: a header row "line,band,spin,distance,energy"
// and one column per group of the character (named as the legend names
// it), then a row per point: the line (from 1), the band (from 1, the
// lowest interpolated one), the spin channel ("up", "down", or empty for a
// picture of one channel), the distance along the path as the picture
// places its lines (the layout's line positions, cumulative), the energy
// (eV, as fort.2 holds it) and the group weights (empty where a line has
// none). Lines the bands do not hold are left out.
std::string formatPictureData(const BandGraph& g);

}  // namespace band
