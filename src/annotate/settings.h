// The annotation settings that the graphs keep and their layout files store:
// tic ranges and free texts, and the frames, panels and marks the
// annotations are drawn in. Plain data, for every layer.
#pragma once

#include <string>

#include "common/page.h"

namespace annotate {

struct TicRange {
    float start = 0;           // tic start, axis units
    float end = 0;             // tic end
    float distance = 0;        // between two tics, > 0 once asked
    float label_distance = 0;  // between two labelled tics; 0: no labels
};

// At most this many tic intervals (and as many labels) on one axis: finer
// settings would keep PGPLOT drawing for ages, and fill an output file,
// without showing anything.
constexpr float kMaxTicIntervals = 1000.0f;
// Whether the tic and label distances give at most kMaxTicIntervals each.
bool ticsFit(const TicRange& tics);

// Tics chosen without a dialogue for the axis lo ... hi (lo < hi), for the
// layouts made from a calculation's results: a label every 1, 2 or 5 times
// a power of ten, at most 12 of them across the axis, and a tic halfway
// between two labels (every fifth for a step of 5); start and end on
// labels inside the axis.
TicRange labelledTics(float lo, float hi);

// The tics of an axis whose range became lo ... hi: the same tic and label
// distances, on the same values, over the whole new range; where the
// distance no longer fits (fewer than two labelled tics, or more than 100
// tics) the tics of labelledTics (labels only where there were labels), and
// `note` the line that says so (empty otherwise).
TicRange ticsForRange(const TicRange& tics, float lo, float hi, std::string& note);

// A free text: marked-up line, reference point in page-window coordinates,
// angle in degrees, position code (0 left, 1 centre, 2 right).
struct FreeText {
    std::string text;  // 80 characters
    float x = 0, y = 0, angle = 0;
    int pos = 0;
};

// A frame and the energies its height spans, bottom to top.
struct EnergyFrame {
    common::Box box;
    float emin = 0, emax = 0;
};

// The Fermi level as the graphs keep it: its energy, and whether a dashed
// line marks it across the frame.
struct FermiMark {
    float energy = 0;
    bool line = false;
};

// A DOS panel and the number of curves it holds (none: nothing drawn for it).
struct CurvePanel {
    common::Box box;
    int curves = 0;
};

// The axis titles of the DOS graph: below the two panels, and the energy.
struct AxisTitles {
    std::string dos, coop, energy;
};

}  // namespace annotate
