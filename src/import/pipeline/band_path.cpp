#include "import/pipeline/band_path.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <optional>
#include <span>

#include "import/pipeline/band_setup.h"

namespace importer {

using band::BandInput;
using band::BandRecord;
using band::KBlock;

namespace {

// The turn at point i between the steps into and out of it.
bool bends(const KVector& a, const KVector& b) {
    const double na = norm(a), nb = norm(b);
    if (na == 0 || nb == 0) return false;
    return dot(a, b) < 0 || norm(cross(a, b)) / (na * nb) > kBendSine;
}

// Distances along the line from its first point.
std::vector<double> arcLength(const DensePath& path, const PathLine& line) {
    std::vector<double> s(line.count(), 0.0);
    for (size_t p = 1; p < s.size(); ++p) s[p] = s[p - 1] + distance(path.points[line.first + p].k, path.points[line.first + p - 1].k);
    return s;
}

// df/ds at point p from the values f at the distances s: second-order
// differences, central inside, one-sided at both ends.
double derivative(const std::vector<double>& s, const std::vector<double>& f, size_t p) {
    const size_t m = s.size();
    if (m < 2) return 0.0;
    if (m == 2) return (f[1] - f[0]) / (s[1] - s[0]);
    if (p == 0) {
        const double h0 = s[1] - s[0], h1 = s[2] - s[1];
        return -(2 * h0 + h1) / (h0 * (h0 + h1)) * f[0] + (h0 + h1) / (h0 * h1) * f[1] - h0 / (h1 * (h0 + h1)) * f[2];
    }
    if (p == m - 1) {
        const double h0 = s[m - 1] - s[m - 2], h1 = s[m - 2] - s[m - 3];
        return (2 * h0 + h1) / (h0 * (h0 + h1)) * f[m - 1] - (h0 + h1) / (h0 * h1) * f[m - 2] +
               h0 / (h1 * (h0 + h1)) * f[m - 3];
    }
    const double h0 = s[p] - s[p - 1], h1 = s[p + 1] - s[p];
    return -h1 / (h0 * (h0 + h1)) * f[p - 1] + (h1 - h0) / (h0 * h1) * f[p] + h0 / (h1 * (h0 + h1)) * f[p + 1];
}

}  // namespace

std::vector<PathLine> splitPath(const DensePath& path) {
    const std::vector<PathPoint>& points = path.points;
    const size_t n = points.size();
    std::vector<PathLine> lines;
    if (n < 2) return lines;
    std::vector<double> step(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) step[i] = distance(points[i + 1].k, points[i].k);
    // A cut after point i: the path jumps or stands still between i and i+1.
    auto cutAfter = [&](size_t i) {
        if (step[i] < kSamePoint || points[i].jumpsAfter) return true;
        const double before = i > 0 ? step[i - 1] : 0.0;
        const double after = i + 2 < n ? step[i + 1] : 0.0;
        const double ref = std::max(before, after);
        return ref > 0 && step[i] > kJumpFactor * ref;
    };
    auto corner = [&](size_t i) {
        if (points[i].high) return true;
        return bends(minus(points[i].k, points[i - 1].k), minus(points[i + 1].k, points[i].k));
    };
    size_t start = 0;
    auto close = [&](size_t last) {
        if (last > start) lines.push_back({start, last});
    };
    for (size_t i = 0; i < n; ++i) {
        if (i + 1 == n) {
            close(i);
        } else if (cutAfter(i)) {
            close(i);
            start = i + 1;
        } else if (i > start && corner(i)) {
            close(i);
            start = i;
        }
    }
    return lines;
}

namespace {

// Level l of point j.
const Level& levelAt(const DensePath& path, size_t j, int l) { return path.points[j].levels[static_cast<size_t>(l)]; }

// Joins bands to levels of one kind in energy order: `bands` (indices into
// `now`) to `levels`, the bands taken in the order `before` gives (a total
// order: no two bands are equal in it).
template <class Before>
void joinInOrder(std::vector<size_t> bands, const std::vector<size_t>& levels, Before before, std::vector<int>& next,
                 std::vector<bool>& bandDone, std::vector<bool>& levelDone) {
    std::sort(bands.begin(), bands.end(), before);
    for (size_t q = 0; q < bands.size(); ++q) {
        next[bands[q]] = static_cast<int>(levels[q]);
        bandDone[bands[q]] = true;
        levelDone[levels[q]] = true;
    }
}

}  // namespace

std::vector<std::vector<int>> connectBands(const DensePath& path, const PathLine& line) {
    const int nb = path.nbands();
    const size_t m = line.count();
    std::vector<std::vector<int>> order(m, std::vector<int>(static_cast<size_t>(nb)));
    std::iota(order[0].begin(), order[0].end(), 0);
    const int channels = path.channels();
    for (size_t p = 0; p + 1 < m; ++p) {
        const size_t j = line.first + p, j1 = j + 1;
        const std::vector<int>& now = order[p];
        std::vector<int>& next = order[p + 1];
        std::vector<double> pred(static_cast<size_t>(nb));
        const std::vector<PathPoint>& k = path.points;
        const double ahead = p > 0 ? distance(k[j1].k, k[j].k) / distance(k[j].k, k[j - 1].k) : 0.0;
        for (size_t b = 0; b < pred.size(); ++b) {
            const double e = levelAt(path, j, now[b]).energy;
            pred[b] = e;
            if (p > 0) pred[b] += (e - levelAt(path, j - 1, order[p - 1][b]).energy) * ahead;
        }
        std::vector<bool> bandDone(static_cast<size_t>(nb), false), levelDone(static_cast<size_t>(nb), false);
        // Interior to interior: the same representation in the same channel, in energy order.
        if (p > 0 && j1 < line.last) {
            const std::vector<Level>& after = path.points[j1].levels;
            std::vector<int> kinds;
            for (const Level& l : after) kinds.push_back(l.irrep);
            std::sort(kinds.begin(), kinds.end());
            kinds.erase(std::unique(kinds.begin(), kinds.end()), kinds.end());
            for (int c = 0; c < channels; ++c)
                for (int kind : kinds) {
                    if (kind <= 0) continue;
                    std::vector<size_t> bands, levels;
                    for (size_t b = 0; b < now.size(); ++b)
                        if (const Level& l = levelAt(path, j, now[b]); l.irrep == kind && l.channel == c) bands.push_back(b);
                    for (size_t l = 0; l < after.size(); ++l)
                        if (after[l].irrep == kind && after[l].channel == c) levels.push_back(l);
                    if (bands.size() != levels.size()) continue;
                    joinInOrder(bands, levels, [&](size_t a, size_t b) { return now[a] < now[b]; }, next, bandDone,
                                levelDone);
                }
        }
        // The rest by value and slope, channel by channel.
        for (int c = 0; c < channels; ++c) {
            std::vector<size_t> bands, levels;
            for (size_t b = 0; b < bandDone.size(); ++b)
                if (!bandDone[b] && levelAt(path, j, now[b]).channel == c) bands.push_back(b);
            for (size_t l = 0; l < levelDone.size(); ++l)
                if (!levelDone[l] && levelAt(path, j1, static_cast<int>(l)).channel == c) levels.push_back(l);
            joinInOrder(bands, levels,
                        [&](size_t a, size_t b) { return pred[a] != pred[b] ? pred[a] < pred[b] : now[a] < now[b]; },
                        next, bandDone, levelDone);
        }
    }
    return order;
}

std::vector<std::vector<double>> levelSlopes(const DensePath& path, const PathLine& line) {
    return levelSlopes(path, line, connectBands(path, line));
}

std::vector<std::vector<double>> levelSlopes(const DensePath& path, const PathLine& line,
                                             const std::vector<std::vector<int>>& order) {
    const std::vector<double> s = arcLength(path, line);
    const size_t nb = static_cast<size_t>(path.nbands());
    std::vector<std::vector<double>> slope(line.count(), std::vector<double>(nb, 0.0));
    std::vector<double> f(line.count());
    for (size_t b = 0; b < nb; ++b) {
        for (size_t p = 0; p < f.size(); ++p) f[p] = levelAt(path, line.first + p, order[p][b]).energy;
        for (size_t p = 0; p < f.size(); ++p) slope[p][static_cast<size_t>(order[p][b])] = derivative(s, f, p);
    }
    return slope;
}

std::pair<size_t, size_t> slopeSpan(const PathLine& line, size_t q) {
    if (line.count() <= 3) return {line.first, line.last};
    if (q == line.first) return {q, q + 2};
    if (q == line.last) return {q - 2, q};
    return {q - 1, q + 1};
}

std::vector<size_t> samplePoints(const DensePath& path, const PathLine& line, int most) {
    const std::vector<double> s = arcLength(path, line);
    const size_t m = std::min(line.count(), static_cast<size_t>(std::max(most, 2)));
    std::vector<size_t> kept{line.first};
    size_t p = 0;
    for (size_t i = 1; i + 1 < m; ++i) {
        const double target = s.back() * static_cast<double>(i) / static_cast<double>(m - 1);
        while (p + 1 < s.size() && std::fabs(s[p + 1] - target) <= std::fabs(s[p] - target)) ++p;
        if (line.first + p > kept.back() && line.first + p < line.last) kept.push_back(line.first + p);
    }
    kept.push_back(line.last);
    return kept;
}

namespace {

// True when the source gives the exact slope of every level on the line.
bool exactSlopes(const DensePath& path, const PathLine& line) {
    for (size_t q = line.first; q <= line.last; ++q)
        for (const Level& l : path.points[q].levels)
            if (!l.slope) return false;
    return true;
}

}  // namespace

std::vector<LineJoin> joinLines(const DensePath& path, const std::vector<ChosenLine>& lines) {
    std::vector<LineJoin> joins;
    for (const ChosenLine& c : lines) joins.push_back(connectBands(path, c.line));
    return joins;
}

BandInput makeBandInput(const DensePath& path, const std::vector<ChosenLine>& lines) {
    return makeBandInput(path, lines, joinLines(path, lines));
}

BandInput makeBandInput(const DensePath& path, const std::vector<ChosenLine>& lines, const std::vector<LineJoin>& joins) {
    BandInput in;
    in.nbands = path.nbands();
    const size_t nb = static_cast<size_t>(in.nbands);
    for (size_t n = 0; n < lines.size(); ++n) {
        const ChosenLine& c = lines[n];
        const LineJoin& order = joins[n];
        std::vector<std::vector<double>> slope;
        if (!exactSlopes(path, c.line)) slope = levelSlopes(path, c.line, order);
        const auto bandOf = bandsOfLevels(order);
        const auto rep = lineRepresentations(path, c.line, order);
        KVector u = minus(path.points[c.line.last].k, path.points[c.line.first].k);
        const double len = norm(u);
        for (double& x : u) x = len > 0 ? x / len : 0.0;
        for (size_t q : c.points) {
            KBlock b;
            const PathPoint& point = path.points[q];
            for (size_t j = 0; j < 3; ++j) b.k[j] = static_cast<float>(point.k[j]);
            const size_t p = q - c.line.first;
            b.member[0].label = c.label;
            b.member[0].nsel = 2;
            b.member[0].sel[0] = 1;
            b.member[0].sel[1] = 0;
            b.bands.resize(nb);
            for (size_t l = 0; l < nb; ++l) {
                BandRecord& r = b.bands[l];
                const Level& level = point.levels[l];
                r.energy = static_cast<float>(level.energy);
                for (size_t j = 0; j < 3; ++j)
                    // (+ 0.0: a gradient of zero is written without a sign)
                    r.grad[j] = static_cast<float>((level.slope ? (*level.slope)[j] : slope[p][l] * u[j]) + 0.0);
                const int band = bandOf[p][l];
                r.code[0] = band + 1;
                r.code[1] = rep[static_cast<size_t>(band)];
            }
            in.blocks.push_back(std::move(b));
        }
    }
    in.nkpt = static_cast<int>(in.blocks.size());
    return in;
}

namespace {

// The highest level of `channel` at a point; none when it has none.
std::optional<double> topOf(const PathPoint& point, int channel) {
    std::optional<double> top;
    for (const Level& l : point.levels)
        if (l.channel == channel) top = std::max(top.value_or(l.energy), l.energy);
    return top;
}

// A highest level this far above every other level of its channel is no
// band caught in places but a damaged value, left for the field checks.
constexpr double kTopReach = 50.0;

// The highest level of `channel` on the path below the highest at each point.
std::optional<double> highestBelowTop(const DensePath& path, int channel) {
    std::optional<double> h;
    for (const PathPoint& point : path.points) {
        const std::vector<double> e = point.energies(channel);
        if (e.size() >= 2) h = std::max(h.value_or(e[e.size() - 2]), e[e.size() - 2]);
    }
    return h;
}

}  // namespace

std::vector<TopJump> incompleteTops(const DensePath& path, const std::vector<PathLine>& lines) {
    std::vector<TopJump> found;
    for (int channel = 0; channel < path.channels(); ++channel) {
        std::optional<TopJump> first;
        const std::optional<double> below = highestBelowTop(path, channel);
        if (!below) continue;
        for (const PathLine& line : lines) {
            std::vector<double> step;  // step[i]: from point first + i to the next
            for (size_t q = line.first; q < line.last; ++q) {
                const auto a = topOf(path.points[q], channel), b = topOf(path.points[q + 1], channel);
                const bool reach = a && b && std::max(*a, *b) <= *below + kTopReach;
                step.push_back(reach ? *b - *a : 0.0);
            }
            for (size_t i = 0; i < step.size() && !first; ++i) {
                const double before = i > 0 ? std::fabs(step[i - 1]) : 0, after = i + 1 < step.size() ? std::fabs(step[i + 1]) : 0;
                if (step.size() < 3 || std::fabs(step[i]) <= kSpike || std::fabs(step[i]) <= 4 * std::max(before, after))
                    continue;
                first = TopJump{channel, line.first + i, step[i]};
            }
        }
        if (first) found.push_back(*first);
    }
    return found;
}

void dropTop(DensePath& path, int channel) {
    for (PathPoint& point : path.points) {
        auto top = point.levels.end();
        for (auto l = point.levels.begin(); l != point.levels.end(); ++l)
            if (l->channel == channel && (top == point.levels.end() || l->energy >= top->energy)) top = l;
        if (top != point.levels.end()) point.levels.erase(top);
    }
}

std::vector<Spike> spikes(const DensePath& path, const std::vector<ChosenLine>& lines) {
    std::vector<Spike> found;
    for (const ChosenLine& c : lines) {
        // the line's points' energies, by channel and band
        std::vector<std::array<std::vector<double>, 2>> levels;
        for (size_t i = c.line.first; i <= c.line.last; ++i)
            levels.push_back({path.points[i].energies(0), path.points[i].energies(1)});
        for (size_t q = c.line.first + 2; q + 2 <= c.line.last; ++q) {
            // points q-2 ... q+2, channel, band
            const auto e = std::span(levels).subspan(q - 2 - c.line.first, 5);
            for (size_t ch = 0; ch < 2; ++ch) {
                size_t n = e[0][ch].size();
                for (const auto& at : e) n = std::min(n, at[ch].size());
                auto E = [&](int i, size_t b) { return e[static_cast<size_t>(i + 2)][ch][b]; };
                std::vector<double> off(n);
                for (size_t b = 0; b < n; ++b) off[b] = E(0, b) - (E(-1, b) + E(1, b)) / 2;
                // two sorted bands that cross bend by as much either way
                auto crossing = [&](size_t b, size_t other) { return other < n && std::fabs(off[b] + off[other]) < kSpike / 2; };
                for (size_t b = 0; b < n; ++b) {
                    // beyond the straight lines through the two points on either side
                    const double left = 2 * E(-1, b) - E(-2, b), right = 2 * E(1, b) - E(2, b);
                    const bool beyond = E(0, b) > std::max(left, right) + kSpike || E(0, b) < std::min(left, right) - kSpike;
                    if (beyond && std::fabs(off[b]) > kSpike && !crossing(b, b + 1) && !(b > 0 && crossing(b, b - 1)))
                        found.push_back({static_cast<int>(b + 1), static_cast<int>(ch), q, off[b]});
                }
            }
        }
    }
    return found;
}

}  // namespace importer
