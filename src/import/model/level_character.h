// The orbital character of the levels of a band run: the projections of
// every level on the atomic states of the run as a source gives them, added
// up into a few named groups (by element, by orbital or both), and put on
// the levels of the path, where they travel with the level.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "import/model/dense_path.h"
#include "import/model/dos_projection.h"

namespace importer {

// The groups fort.16 holds at most.
constexpr size_t kMaxCharacterGroups = 6;

// An atomic state the levels are projected on.
struct AtomicState {
    int atom = 0;         // from 1
    std::string element;  // "As"; empty when the source does not say
    std::string orbital;  // "s", "p", "px", "dxy", "x2-y2"
};

// One k point of the projections: the energy of each level (eV; none when
// the source gives none) and its weight on each state, with the file's
// line of the k point and of each level.
struct ProjectedPoint {
    KVector k{};
    size_t line = 0;
    std::vector<std::optional<double>> energy;  // [level]
    std::vector<size_t> levelLine;              // [level]
    std::vector<std::vector<float>> w;          // [level][state], floats: a run holds many
};

// The projections of a run, in the source's order: the points of spin
// channel c are points[c n ... (c + 1) n - 1], n = points.size() / channels.
struct LevelProjections {
    std::string file;
    std::vector<AtomicState> states;
    std::vector<ProjectedPoint> points;
    int channels = 1;

    size_t perChannel() const { return points.size() / static_cast<size_t>(channels); }
};

// The weights of the levels in groups: w[point][level][group], the sum of
// the level's weights on the group's states, within 0 ... 1.
struct LevelGroups {
    std::vector<std::string> names;  // "As", "p", "As p"
    std::vector<std::vector<std::vector<double>>> w;
    std::vector<std::string> notes;  // for the summary
};

// The sum `by` asks for, or, without one, by element when the states name
// several elements and by orbital otherwise; the first kMaxCharacterGroups
// groups are kept and the notes say which. Fails naming the file when a
// state names no element or orbital to add it up by.
common::Result<LevelGroups> groupLevels(const LevelProjections& p, std::optional<SumBy> by);

}  // namespace importer
