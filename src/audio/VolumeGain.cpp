#include "audio/VolumeGain.h"

#include <algorithm>
#include <cmath>

namespace melodrop::audio {

float gainForVolume(int hundredthsOfDecibel) {
    const int volume = std::clamp(hundredthsOfDecibel, kQuietestVolume, kLoudestVolume);
    return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

void applyGain(float* samples, size_t count, float gain) {
    if (gain == 1.0f) {
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        samples[i] *= gain;
    }
}

}  // namespace melodrop::audio
