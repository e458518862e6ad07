// The annotation settings that the graphs keep and their layout files store:
// tic ranges and free texts, and the frames, panels and marks the
// annotations are drawn in. Plain data, for every layer.
#pragma once

#include <string>
#include <vector>

#include "common/page.h"

namespace common {
class RecordReader;
struct KeywordRecord;
}  // namespace common

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
// a power of ten, at most `mostLabels` of them across the axis, and a tic
// halfway between two labels (every fifth for a step of 5); start and end
// on labels inside the axis.
TicRange labelledTics(float lo, float hi, int mostLabels = 12);
// Labels that run along a narrow value axis: few enough that their numbers
// keep clear of each other at a column's width.
constexpr int kMostValueLabels = 4;
// Labels of a starter picture's energy axis.
constexpr int kMostEnergyLabels = 6;

// The energy window of a starter picture of energies relative to the Fermi
// level, both programs, from the lowest and highest energy there is: the
// bands round the gap or the Fermi level rather than deep semicore states,
// kStarterBelow eV below it to kStarterAbove eV above; occupied states that
// reach less deep from just below the lowest of them, and never beyond the
// highest energy there is; whole eV. Energies that leave no window there
// (all above the Fermi level, say) keep their whole range, in whole eV.
constexpr double kStarterBelow = 6.0;
constexpr double kStarterAbove = 4.0;
struct EnergyWindow {
    double lo = 0, hi = 0;
};
EnergyWindow starterWindow(double lowest, double highest);

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

// The keyword of the layouts' record of the calculation's own Fermi energy
// ("fermi    -5.43210", eV on the calculation's absolute scale), which the
// importers write when they made the energies relative to it.
constexpr const char* kSourceFermiKeyword = "fermi";

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

// The colours of both programs' curves: PGPLOT's predefined indices 1 ... 15
// and, above them, a palette that stays apart in colour-blind vision and
// keeps distinct grey levels (Okabe and Ito's eight colours; black is 1).
// Every picture defines the palette before it draws (definePalette).
enum PaletteColour {
    kOrange = 16,
    kSkyBlue,
    kBluishGreen,
    kYellow,
    kBlue,
    kVermillion,
    kReddishPurple,
};
constexpr int kFirstPaletteColour = kOrange;
constexpr int kMaxColour = kReddishPurple;  // highest colour index a curve can take
constexpr int kMaxLineWidth = 201;          // PGPLOT line widths 1 ... 201
constexpr int kMaxLineStyle = 5;            // PGPLOT line styles 1 (full) ... 5

// The colour of the k-th curve of a picture (from 0): black, then the
// palette in an order that alternates dark and light greys (blue, orange,
// bluish green, sky blue, vermillion, reddish purple, yellow), round again
// after the last.
int curveColour(int k);

// Where a legend stands in the frame or panel that holds its curves.
enum class LegendCorner { Free = 0, TopRight = 1, TopLeft = 2, BottomLeft = 3, BottomRight = 4 };
constexpr int kLegendCorners = 4;

// The legend as a layout keeps it: whether it is drawn, and where (Free:
// in the first corner where it covers no data).
struct LegendPlace {
    bool on = false;
    LegendCorner corner = LegendCorner::Free;
    bool operator==(const LegendPlace&) const = default;
};

// One line of a legend: its marked-up name and the look of its sample line
// (colour index, PGPLOT line width and style); a fill colour above 0 draws
// a shaded patch under the line.
struct LegendEntry {
    std::string text;
    int colour = 1, width = 1, style = 1;
    int fill = 0;
    bool sameLook(const LegendEntry& o) const {
        return colour == o.colour && width == o.width && style == o.style && fill == o.fill;
    }
};

// The layouts' legend record, "legend ON CORNER"; reading it checks both
// numbers and names the record when one is wrong.
extern const char* const kLegendKeyword;
std::string legendRecord(const LegendPlace& place);
bool readLegendRecord(common::RecordReader& in, const common::KeywordRecord& k, LegendPlace& place);

// The layouts' picture title record, "title TEXT" (the title as typed,
// markup and all); none for a picture without a title.
extern const char* const kTitleKeyword;
std::string titleRecord(const std::string& title);
std::string titleOf(const common::KeywordRecord& k);

}  // namespace annotate
