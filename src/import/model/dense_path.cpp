#include "import/model/dense_path.h"

#include <algorithm>

namespace importer {

int DensePath::channels() const {
    for (const PathPoint& p : points)
        for (const Level& l : p.levels)
            if (l.channel == 1) return 2;
    return 1;
}

void sortLevels(DensePath& path) {
    for (PathPoint& p : path.points)
        std::stable_sort(p.levels.begin(), p.levels.end(), [](const Level& a, const Level& b) { return a.energy < b.energy; });
}

}  // namespace importer
