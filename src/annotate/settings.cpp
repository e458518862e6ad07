#include "annotate/settings.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "common/records.h"

namespace annotate {

bool ticsFit(const TicRange& tics) {
    const float length = tics.end - tics.start;
    auto fits = [&](float step) { return !(step > 0) || length / step <= kMaxTicIntervals; };
    return fits(tics.distance) && fits(tics.label_distance);
}

EnergyWindow starterWindow(double lowest, double highest) {
    // "just below": the lowest band half an eV clear of the frame's edge
    constexpr double kClearance = 0.5;
    EnergyWindow w{std::floor(std::max(-kStarterBelow, lowest - kClearance)),
                   std::ceil(std::min(kStarterAbove, highest))};
    if (!(w.lo < w.hi)) w = {std::floor(lowest), std::ceil(highest)};
    if (!(w.lo < w.hi)) w.hi = w.lo + 1;
    return w;
}

const char* const kTitleKeyword = "title";

std::string titleRecord(const std::string& title) { return std::string(kTitleKeyword) + " " + title; }

std::string titleOf(const common::KeywordRecord& k) {
    const size_t first = k.rest.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return k.rest.substr(first, k.rest.find_last_not_of(' ') + 1 - first);
}

}  // namespace annotate

namespace annotate {

int curveColour(int k) {
    static const int kOrder[] = {kBlue, kOrange, kBluishGreen, kSkyBlue, kVermillion, kReddishPurple, kYellow};
    constexpr int n = static_cast<int>(std::size(kOrder));
    return k <= 0 ? 1 : kOrder[(k - 1) % n];
}

const char* const kLegendKeyword = "legend";

std::string legendRecord(const LegendPlace& place) {
    return common::keywordRecord(kLegendKeyword, {place.on ? 1 : 0, static_cast<long>(place.corner)});
}

bool readLegendRecord(common::RecordReader& in, const common::KeywordRecord& k, LegendPlace& place) {
    if (!in.counted(k, 2)) return false;
    const int on = in.numberIn(k, 0, 0, 1, "legend switch");
    const int corner = in.numberIn(k, 1, 0, kLegendCorners, "legend corner");
    if (!in.ok()) return false;
    place = {on == 1, static_cast<LegendCorner>(corner)};
    return true;
}

}  // namespace annotate
