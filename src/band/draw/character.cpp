#include "band/draw/character.h"

#include <algorithm>
#include <cmath>

#include "annotate/looks.h"
#include "common/plot.h"

namespace band {

using namespace common;

namespace {

// The grey of the part of a level no group holds.
constexpr float kRestGrey = 0.55f;
// A ribbon thinner than this share of its full width is not drawn.
constexpr float kLeastWeight = 0.001f;
// Blends closer than this in every component share a colour index.
constexpr float kBlendStep = 1.0f / 32.0f;

float squaredDistance(const std::array<float, 3>& a, const std::array<float, 3>& b) {
    float d = 0;
    for (size_t i = 0; i < 3; ++i) d += (a[i] - b[i]) * (a[i] - b[i]);
    return d;
}

}  // namespace

std::array<float, 3> blendOf(const float* w, int groups) {
    float sum = 0;
    for (int g = 0; g < groups; ++g) sum += w[g];
    const float scale = sum > 1.0f ? 1.0f / sum : 1.0f;
    const float rest = sum > 1.0f ? 0.0f : 1.0f - sum;
    std::array<float, 3> rgb{rest * kRestGrey, rest * kRestGrey, rest * kRestGrey};
    for (int g = 0; g < groups; ++g) {
        const std::array<float, 3> c = annotate::paletteRgb(groupColour(g + 1));
        for (size_t i = 0; i < 3; ++i) rgb[i] += scale * w[g] * c[i];
    }
    for (float& v : rgb) v = std::clamp(v, 0.0f, 1.0f);
    return rgb;
}

int BlendColours::index(const std::array<float, 3>& rgb) {
    std::array<int, 3> key{};
    for (size_t i = 0; i < 3; ++i) key[i] = static_cast<int>(std::lround(rgb[i] / kBlendStep));
    if (auto known = known_.find(key); known != known_.end()) return known->second;
    if (kFirstBlendColour + static_cast<int>(defined_.size()) <= kLastBlendColour) {
        const int ci = kFirstBlendColour + static_cast<int>(defined_.size());
        std::array<float, 3> on{};
        for (size_t i = 0; i < 3; ++i) on[i] = static_cast<float>(key[i]) * kBlendStep;
        plot_.scr(ci, on[0], on[1], on[2]);
        defined_.push_back(on);
        known_[key] = ci;
        return ci;
    }
    size_t nearest = 0;
    for (size_t i = 1; i < defined_.size(); ++i)
        if (squaredDistance(defined_[i], rgb) < squaredDistance(defined_[nearest], rgb)) nearest = i;
    return kFirstBlendColour + static_cast<int>(nearest);
}

void drawInCharacter(Plot& plot, BlendColours& colours, const LineCharacter& c, int b, const float* x,
                     const float* e) {
    const int groups = c.groups;
    std::vector<float> mid(static_cast<size_t>(groups));
    // a segment takes the blend of the weights at its middle
    auto segmentColour = [&](int p) {
        for (int g = 1; g <= groups; ++g) mid[static_cast<size_t>(g - 1)] = 0.5f * (c.at(p, b, g) + c.at(p + 1, b, g));
        return colours.index(blendOf(mid.data(), groups));
    };
    int p = 1;
    while (p < c.npts) {
        const int ci = segmentColour(p);
        int last = p + 1;
        while (last < c.npts && segmentColour(last) == ci) ++last;
        plot.sci(ci);
        plot.line(last - p + 1, x + (p - 1), e + (p - 1));
        p = last;
    }
}

void drawFatBands(Plot& plot, const annotate::EnergyFrame& frame, const LinePos& pos, int n, const BandsFile& bands,
                  const BandCharacter& character, int group) {
    const float half = kFatHalfWidth * (frame.emax - frame.emin);
    std::vector<float> x, y;
    annotate::definePalette(plot);
    plot.sfs(1);
    plot.sci(groupColour(group));
    for (int l = 1; l <= n && bands.missing(l, n).empty(); ++l) {
        const BandLine& line = bands.lines[static_cast<size_t>(l - 1)];
        const LineCharacter* c = character.line(l, line.npts, line.nbands);
        if (line.npts < 2 || c == nullptr) continue;
        plot.swin(1.0f, static_cast<float>(line.npts), frame.emin, frame.emax);
        plot.svp(frame.box.x0 + pos[l], frame.box.x0 + pos[l + 1], frame.box.y0, frame.box.top());
        for (int b = 1; b <= line.nbands; ++b) {
            const float* e = line.e.data() + static_cast<size_t>(b - 1) * static_cast<size_t>(line.npts);
            x.clear();
            y.clear();
            // the upper edge left to right, the lower one back; a band
            // without the group's weight has no ribbon
            bool visible = false;
            for (int i = 1; i <= line.npts; ++i) {
                visible = visible || c->at(i, b, group) > kLeastWeight;
                x.push_back(static_cast<float>(i));
                y.push_back(e[i - 1] + half * c->at(i, b, group));
            }
            for (int i = line.npts; i >= 1; --i) {
                x.push_back(static_cast<float>(i));
                y.push_back(e[i - 1] - half * c->at(i, b, group));
            }
            if (visible) plot.poly(static_cast<int>(x.size()), x.data(), y.data());
        }
    }
    plot.sci(1);
}

}  // namespace band
