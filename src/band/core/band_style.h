// Colour, width and style of the band lines: ranges of bands (numbered from 1,
// the lowest interpolated band of each symmetry line), the later range
// winning where two overlap. Bands outside every range keep the plain line,
// as heavy as the frame.
#pragma once

#include <vector>

#include "annotate/settings.h"
#include "common/page.h"

namespace band {

struct BandStyle {
    int first = 1, last = 1;  // band range
    int colour = 1;           // PGPLOT colour index 1 ... kMaxColour
    int width = common::kLineWidth;  // PGPLOT line width 1 ... kMaxLineWidth
    int style = 1;            // PGPLOT line style 1 (full) ... 5
};

constexpr int kMaxBandStyles = 20;
constexpr int kMaxColour = annotate::kMaxColour;
constexpr int kMaxLineWidth = annotate::kMaxLineWidth;
constexpr int kMaxLineStyle = annotate::kMaxLineStyle;

// The look of a band outside every range: black, full, as heavy as the frame.
constexpr BandStyle kPlainLook{1, 1, 1, common::kLineWidth, 1};

// The look of band b.
inline BandStyle styleOf(const std::vector<BandStyle>& styles, int b) {
    for (auto s = styles.rbegin(); s != styles.rend(); ++s)
        if (b >= s->first && b <= s->last) return *s;
    return BandStyle{b, b, kPlainLook.colour, kPlainLook.width, kPlainLook.style};
}

// The spin-down bands of a picture that holds both spin channels, line by
// line (bands numbered as above), and the one look they share; no lines for
// a picture of one channel. Their look is a full line, vermillion and a
// little heavier than the plain one: mid-grey in grey print, so that it
// stays apart from the dashed Fermi line, and two degenerate spin-down
// bands still read as spin down where a dash pattern would run together.
struct SpinDown {
    std::vector<std::vector<bool>> bands;  // [line - 1][band - 1]
    BandStyle look{1, 1, annotate::kVermillion, kPlainLook.width + 1, 1};

    bool holds(int line, int b) const {
        if (line < 1 || line > static_cast<int>(bands.size())) return false;
        const std::vector<bool>& l = bands[static_cast<size_t>(line - 1)];
        return b >= 1 && b <= static_cast<int>(l.size()) && l[static_cast<size_t>(b - 1)];
    }
};

// How the bands are drawn: the ranges' looks, the spin-down bands in theirs.
struct BandLooks {
    std::vector<BandStyle> ranges;
    SpinDown spin;

    BandStyle of(int line, int b) const { return spin.holds(line, b) ? spin.look : styleOf(ranges, b); }
};

}  // namespace band
