#include "annotate/settings.h"

#include <iterator>

#include "common/records.h"

namespace annotate {

bool ticsFit(const TicRange& tics) {
    const float length = tics.end - tics.start;
    auto fits = [&](float step) { return !(step > 0) || length / step <= kMaxTicIntervals; };
    return fits(tics.distance) && fits(tics.label_distance);
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
