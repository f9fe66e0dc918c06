#include "bridge/service/LookPace.h"

#include <algorithm>

namespace bridge {

double LookPace::Quietness(double now) const {
    const double quiet = now - stirredAt_;
    // A clock that went back is taken as a stir.
    if (quiet < kLivelyFor) return 0;
    return std::min(1.0, (quiet - kLivelyFor) / (kQuietAfter - kLivelyFor));
}

double LookPace::Interval(double now) const {
    return kLivelySeconds + (kQuietSeconds - kLivelySeconds) * Quietness(now);
}

double LookPace::WalkSeconds(double now) const {
    return kLivelyWalkSeconds + (kQuietWalkSeconds - kLivelyWalkSeconds) * Quietness(now);
}

}  // namespace bridge
