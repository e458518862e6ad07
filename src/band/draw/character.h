// The orbital character on the bands: each band coloured along its length
// by the blend of its groups' colours, or one group's fat band, a ribbon
// about the bands as wide as its weight, under the band lines.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "annotate/settings.h"
#include "band/core/character.h"
#include "band/draw/frame.h"
#include "common/fwd.h"

namespace band {

// The colour of group g (from 1): the palette in the order the DOS import
// colours its projections.
inline int groupColour(int g) { return annotate::curveColour(g); }

// The coloured bands are heavier than the plain ones, so that their colour reads.
constexpr int kCharacterLineWidth = 2 * common::kLineWidth;
// The fat band's half-width at weight 1, a share of the energy window.
constexpr float kFatHalfWidth = 0.02f;

// The colour (red, green, blue) of a level with weights w[0 ... groups-1]:
// the groups' colours in the proportions of their weights, the part no group
// holds (1 - their sum) in mid grey; weights above 1 in sum are scaled to 1.
std::array<float, 3> blendOf(const float* w, int groups);

// Colour indices for the blends of one picture, kFirstBlendColour ...
// kLastBlendColour (what every device keeps), each defined on the device
// when first used; once all are taken a blend gets the nearest one defined.
constexpr int kFirstBlendColour = 24, kLastBlendColour = 99;
class BlendColours {
public:
    explicit BlendColours(common::Plot& plot) : plot_(plot) {}
    int index(const std::array<float, 3>& rgb);

private:
    common::Plot& plot_;
    std::map<std::array<int, 3>, int> known_;
    std::vector<std::array<float, 3>> defined_;
};

// One band of a line drawn in the colours of its character, in the window
// already set: segment by segment between its points, the segments of one
// colour as one polyline.
void drawInCharacter(common::Plot& plot, BlendColours& colours, const LineCharacter& c, int b, const float* x,
                     const float* e);

// The fat bands of `group` on lines 1 ... n (up to a line fort.2 does not
// hold), each a filled ribbon of half-width kFatHalfWidth of the window
// times the weight, in the group's colour. Leaves colour 1.
void drawFatBands(common::Plot& plot, const annotate::EnergyFrame& frame, const LinePos& p, int n,
                  const BandsFile& bands, const BandCharacter& character, int group);

}  // namespace band
