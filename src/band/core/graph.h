// The band graph settings: geometry, energy window, element flags and every
// annotation, kept for the whole run, redrawn from, saved to fort.15.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "annotate/settings.h"
#include "band/core/band_style.h"
#include "band/core/bands_file.h"
#include "band/core/state.h"
#include "common/one_based.h"

namespace band {

// Element flags: what the redraw adds to the frame and the bands, one per
// option of the graph menu that adds it. The layout file keeps all twelve.
enum BandFlag {
    kFlagBorder = 2,
    kFlagTics = 3,
    kFlagLabels = 4,
    kFlagTitles = 5,
    kFlagTexts = 6,
    kFlagFermi = 7,
};
constexpr int kBandFlags = 12;

struct BandGraph {
    FrameGeom geom;
    common::OneBased<float, kMaxShown + 1> line_pos;  // 1 .. nshow+1
    int nshow = 0;
    float elow = 0, ehigh = 0;
    BandsFile bands;           // fort.2, read once per display

    std::array<bool, kBandFlags + 1> flags{};  // element flags 1 .. kBandFlags (index 0 unused)
    annotate::TicRange tics;
    float range = 0;                                     // ehigh - elow of the tic dialogue
    common::OneBased<int, kMaxShown + 1> tic_side;            // axis positions 1 .. nshow+1
    int nsub = 0;                                        // subintervals of the last labelled axis
    common::OneBased<std::string, kMaxShown + 1> labels;      // symmetry-point labels 1 .. nshow+1
    common::OneBased<std::string, kMaxShown> titles;          // line titles 1 .. nshow
    std::string vtitle;                                  // vertical axis title
    std::vector<annotate::FreeText> texts;                         // at most band::kMaxFreeTexts
    float efermi = 0;
    bool fermi_line = false;
    bool border = false;
    std::vector<BandStyle> styles;  // band colours and line widths, at most kMaxBandStyles
    SpinDown spin;                  // the spin-down bands of a picture of both channels
    annotate::LegendPlace legend;   // the spin channels named (graph menu option 14)

};

}  // namespace band
