#include "annotate/settings.h"

namespace annotate {

bool ticsFit(const TicRange& tics) {
    const float length = tics.end - tics.start;
    auto fits = [&](float step) { return !(step > 0) || length / step <= kMaxTicIntervals; };
    return fits(tics.distance) && fits(tics.label_distance);
}

}  // namespace annotate
