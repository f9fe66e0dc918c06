#pragma once
// The random pick of a track: reseed from the time of day, draw r in [0, 1) in single precision,
// take floor(count x r). Every pick is independent: the playing track can come again.
#include "base/Clock.h"

namespace melodrop {

// An index in [0, count), or -1 when count is 0 or less.
int randomPick(Clock& clock, int count);

}  // namespace melodrop
