// From a dense path of k points with its levels to the band program's input:
// the path cut into symmetry lines, the levels connected into bands along
// each line, slopes along the line, at most 11 points kept a line, and the
// k point blocks with their line membership and symmetry codes.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "band/core/band_input.h"
#include "import/model/dense_path.h"

namespace importer {

// A symmetry line: the dense points first .. last (inclusive).
struct PathLine {
    size_t first = 0;
    size_t last = 0;
    size_t count() const { return last - first + 1; }
};

// Two k points closer than this are one point given twice.
constexpr double kSamePoint = 1e-9;
// A step longer than this many times its neighbours is a jump of the path.
constexpr double kJumpFactor = 3.0;
// Consecutive steps whose directions differ by more than this sine turn a corner.
constexpr double kBendSine = 0.01;

// The lines of the path: a line ends at a high-symmetry mark or a corner
// (the point then starts the next line too) and where the path jumps (a
// jump it marks, or a step kJumpFactor times its neighbours) or repeats a
// point (the next line starts after the jump). Pieces of a single point are
// no line.
std::vector<PathLine> splitPath(const DensePath& path);

// The levels of the line joined into bands from point to point: order[p][b]
// is the level of band b at the line's point p (order[0] the identity).
// Between interior points bands keep their representation, in energy order
// within each (levels of one representation do not cross); the rest follow
// their value and slope: the predicted values, sorted, meet the levels in
// ascending order, which lets bands of unknown kind cross. A band never
// leaves its spin channel: both steps pair levels of one channel only.
std::vector<std::vector<int>> connectBands(const DensePath& path, const PathLine& line);

// dE/ds of every level at every point of the line ([p][level], s the
// distance along the line in the path's k units): finite differences along
// the connected bands, second order, one-sided at the line's ends.
std::vector<std::vector<double>> levelSlopes(const DensePath& path, const PathLine& line);
// The same, the bands joined as `order` (connectBands) has them.
std::vector<std::vector<double>> levelSlopes(const DensePath& path, const PathLine& line,
                                             const std::vector<std::vector<int>>& order);
// The k points (from 0) whose energies levelSlopes takes for the slope at
// point q of the line: three-point differences, one-sided at the ends.
std::pair<size_t, size_t> slopeSpan(const PathLine& line, size_t q);

// Dense points kept for the line: at most `most`, nearest to even spacing
// along it, both ends included.
std::vector<size_t> samplePoints(const DensePath& path, const PathLine& line, int most);

// One line of the band input: its label, its number along the whole path,
// and the dense points kept.
struct ChosenLine {
    int label = 0;
    int pathNumber = 0;
    PathLine line;
    std::vector<size_t> points;
};

// The band input of the chosen lines: one k point block per kept point and
// line (a corner shared by two lines gets a block on each). Gradients are the
// path's own when it has them, else dE/ds times the line's unit direction.
// Every level carries the band it belongs to on the line in code field 0
// (numbered by its level at the line's first point) and the band's
// representation on the line in code field 1 (at the ends the compatible
// one, 0 without representations); both fields are selected (nsel 2), so
// the band program's automatic joining follows the import's join.
band::BandInput makeBandInput(const DensePath& path, const std::vector<ChosenLine>& lines);

// The bands of each chosen line joined through its points (connectBands),
// for the makers that take them rather than join the lines again.
using LineJoin = std::vector<std::vector<int>>;
std::vector<LineJoin> joinLines(const DensePath& path, const std::vector<ChosenLine>& lines);
band::BandInput makeBandInput(const DensePath& path, const std::vector<ChosenLine>& lines,
                              const std::vector<LineJoin>& joins);

// The highest band of a channel is not complete across the path when the
// highest level jumps between two neighbouring points of a line, by more
// than kSpike (1 eV) and four times the steps before and
// after it: a calculation of a few bands too few catches a higher band in
// places (common in the highest bands of a VASP run). The first such jump
// of each channel: the point before it and its size; none when complete.
struct TopJump {
    int channel = 0;
    size_t point = 0;  // the jump lies between this point and the next
    double size = 0;
};
std::vector<TopJump> incompleteTops(const DensePath& path, const std::vector<PathLine>& lines);

// Leaves the highest level of `channel` out at every point.
void dropTop(DensePath& path, int channel);

// A raw level far off the curve through its neighbours on its line: band
// `band` of spin channel `channel` (the band-th level of the channel,
// lowest first, as the source numbers them) at point `point` of the path,
// `off` eV from the mean of the levels before and after it. Bands sorted
// at each point bend at a crossing, the two of them by as much either way;
// a level more than kSpike off without such a partner is unconverged or
// damaged.
constexpr double kSpike = 1.0;
struct Spike {
    int band = 0, channel = 0;
    size_t point = 0;
    double off = 0;
};
std::vector<Spike> spikes(const DensePath& path, const std::vector<ChosenLine>& lines);

}  // namespace importer
