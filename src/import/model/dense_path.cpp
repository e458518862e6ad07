#include "import/model/dense_path.h"

#include <algorithm>
#include <numeric>

namespace importer {

void sortLevels(DensePath& path) {
    for (size_t i = 0; i < path.e.size(); ++i) {
        std::vector<double>& e = path.e[i];
        std::vector<size_t> idx(e.size());
        std::iota(idx.begin(), idx.end(), size_t{0});
        std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) { return e[a] < e[b]; });
        auto reorder = [&](auto& v) {
            auto old = v;
            for (size_t l = 0; l < idx.size(); ++l) v[l] = old[idx[l]];
        };
        reorder(e);
        if (!path.grad.empty()) reorder(path.grad[i]);
        if (!path.irrep.empty()) reorder(path.irrep[i]);
        if (!path.channel.empty()) reorder(path.channel[i]);
    }
}

}  // namespace importer
