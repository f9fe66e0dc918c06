#include "base/RandomPick.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

namespace melodrop {

int randomPick(Clock& clock, int count) {
    if (count <= 0) return -1;
    const float seconds = static_cast<float>(clock.secondsSinceMidnight());
    std::mt19937 generator(std::bit_cast<std::uint32_t>(seconds));
    // 24 random bits give every single-precision value of [0, 1) on an even grid; never 1.
    const float r = static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f);
    const int index = static_cast<int>(std::floor(static_cast<float>(count) * r));
    // Rounding of count x r in single precision must not reach count.
    return std::clamp(index, 0, count - 1);
}

}  // namespace melodrop
