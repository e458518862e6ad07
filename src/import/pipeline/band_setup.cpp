#include "import/pipeline/band_setup.h"

#include <algorithm>

namespace importer {

std::vector<std::vector<int>> bandsOfLevels(const std::vector<std::vector<int>>& order) {
    std::vector<std::vector<int>> bandOf(order.size());
    for (size_t p = 0; p < order.size(); ++p) {
        bandOf[p].assign(order[p].size(), 0);
        for (size_t b = 0; b < order[p].size(); ++b) bandOf[p][static_cast<size_t>(order[p][b])] = static_cast<int>(b);
    }
    return bandOf;
}

std::vector<int> lineRepresentations(const DensePath& path, const PathLine& line,
                                     const std::vector<std::vector<int>>& order) {
    const size_t nb = static_cast<size_t>(path.nbands());
    std::vector<int> rep(nb, 0);
    for (size_t b = 0; b < nb; ++b)
        for (size_t p = 1; p + 1 < line.count() && rep[b] <= 0; ++p)
            rep[b] = std::max(0, path.points[line.first + p].levels[static_cast<size_t>(order[p][b])].irrep);
    return rep;
}

band::SetupFile makeStoredSetup(const DensePath& path, const std::vector<ChosenLine>& lines,
                                const std::vector<LineJoin>& joins) {
    band::SetupFile setup;
    setup.nbands = setup.ninterp = path.nbands();
    setup.nlower = 0;
    int kfile = 0;
    for (size_t n = 0; n < lines.size(); ++n) {
        const ChosenLine& c = lines[n];
        const LineJoin& order = joins[n];
        band::SetupBlock blk;
        blk.label = c.label;
        blk.nkl = static_cast<int>(c.points.size());
        blk.drop_sel = 3;  // the slopes at both ends are used
        for (size_t q : c.points) {
            blk.kfile.push_back(++kfile);
            std::vector<int> row(static_cast<size_t>(setup.nbands));
            const std::vector<int>& levels = order[q - c.line.first];
            for (size_t b = 0; b < levels.size(); ++b) row[static_cast<size_t>(levels[b])] = static_cast<int>(b + 1);
            blk.order.push_back(std::move(row));
        }
        setup.blocks.push_back(std::move(blk));
    }
    return setup;
}

}  // namespace importer
