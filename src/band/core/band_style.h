// Colour, width and style of the band lines: ranges of bands (numbered from 1,
// the lowest interpolated band of each symmetry line), the later range
// winning where two overlap. Bands outside every range keep the plain line.
#pragma once

#include <vector>

namespace band {

struct BandStyle {
    int first = 1, last = 1;  // band range
    int colour = 1;           // PGPLOT colour index 1 ... 15
    int width = 1;            // PGPLOT line width 1 ... kMaxLineWidth
    int style = 1;            // PGPLOT line style 1 (full) ... 5
};

constexpr int kMaxBandStyles = 20;
constexpr int kMaxColour = 15;
constexpr int kMaxLineWidth = 201;
constexpr int kMaxLineStyle = 5;

// The look of band b.
inline BandStyle styleOf(const std::vector<BandStyle>& styles, int b) {
    for (auto s = styles.rbegin(); s != styles.rend(); ++s)
        if (b >= s->first && b <= s->last) return *s;
    return BandStyle{b, b, 1, 1, 1};
}

}  // namespace band
