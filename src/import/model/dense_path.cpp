#include "import/model/dense_path.h"

#include <algorithm>

namespace importer {

std::vector<double> PathPoint::energies(int channel) const {
    std::vector<double> e;
    for (const Level& level : levels)
        if (level.channel == channel) e.push_back(level.energy);
    if (!std::is_sorted(e.begin(), e.end())) std::sort(e.begin(), e.end());
    return e;
}

int DensePath::channels() const {
    if (points.empty()) return 1;
    for (const Level& l : points.front().levels)
        if (l.channel == 1) return 2;
    return 1;
}

void sortLevels(DensePath& path) {
    for (PathPoint& p : path.points)
        std::stable_sort(p.levels.begin(), p.levels.end(), [](const Level& a, const Level& b) { return a.energy < b.energy; });
}

}  // namespace importer
