#include "import/pipeline/band_character.h"

#include <cmath>

#include "import/text/text_table.h"

namespace importer {

using band::CharacterFile;

namespace {

// A k point or an energy of the projections is the band file's within
// these: the files print them with at least six and three decimals.
constexpr double kSameK = 1e-4, kSameEnergy = 2e-3;

}  // namespace

common::Status attachGroups(DensePath& path, const LevelProjections& p, const LevelGroups& g,
                            const std::vector<size_t>& index, const std::vector<KVector>& bandK,
                            const std::string& bandFile) {
    const size_t n = p.perChannel();
    const int channels = path.channels();
    if (channels > p.channels)
        return common::Failure{p.file + ": one spin channel, " + bandFile + " has two"};
    for (size_t i = 0; i < path.points.size(); ++i) {
        if (index[i] >= n)
            return common::Failure{p.file + ": " + std::to_string(n) + " k points, " + bandFile + " has more"};
        for (Level& level : path.points[i].levels) {
            const size_t c = static_cast<size_t>(level.channel);
            const size_t q = c * n + index[i];
            const ProjectedPoint& point = p.points[q];
            if (std::fabs(point.k[0] - bandK[i][0]) + std::fabs(point.k[1] - bandK[i][1]) +
                    std::fabs(point.k[2] - bandK[i][2]) > kSameK)
                return at(p.file, point.line, "k point " + std::to_string(index[i] + 1) + " differs from " + bandFile +
                                                   "'s (" + plain(bandK[i][0], 5) + ", " + plain(bandK[i][1], 5) +
                                                   ", " + plain(bandK[i][2], 5) + ")");
            const size_t b = static_cast<size_t>(level.number - 1);
            if (level.number < 1 || b >= point.w.size())
                return at(p.file, point.line, std::to_string(point.w.size()) + " levels at k point " +
                                                   std::to_string(index[i] + 1) + ", " + bandFile + " has " +
                                                   std::to_string(level.number));
            if (point.energy[b] && std::fabs(*point.energy[b] - level.energy) > kSameEnergy)
                return at(p.file, point.levelLine[b], "level " + std::to_string(b + 1) + " of k point " +
                                                           std::to_string(index[i] + 1) + " lies at " +
                                                           plain(*point.energy[b], 4) + " eV, in " + bandFile +
                                                           " at " + plain(level.energy, 4) + " eV (are they of the same run?)");
            level.character = g.w[q][b];
        }
    }
    path.groups = g.names;
    return {};
}

CharacterFile makeCharacter(const DensePath& path, const std::vector<ChosenLine>& lines) {
    CharacterFile c;
    c.nbands = path.nbands();
    c.names = path.groups;
    for (const ChosenLine& line : lines)
        for (size_t q : line.points) {
            ++c.nkpt;
            for (const Level& level : path.points[q].levels)
                for (size_t g = 0; g < c.names.size(); ++g)
                    c.w.push_back(g < level.character.size() ? static_cast<float>(level.character[g]) : 0.0f);
        }
    return c;
}

}  // namespace importer
