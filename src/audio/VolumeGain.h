#pragma once
// Volume as the program sets it, in hundredths of a decibel (-2500 is -25 dB, 0 is full),
// turned into the factor the samples are multiplied by.
#include <cstddef>

namespace melodrop::audio {

// Full volume is the loudest: louder would clip. At -100 dB and below the sound is gone.
inline constexpr int kLoudestVolume = 0;
inline constexpr int kQuietestVolume = -10000;

// 10^(volume / 2000), with the volume clamped to [kQuietestVolume, kLoudestVolume].
float gainForVolume(int hundredthsOfDecibel);
void applyGain(float* samples, size_t count, float gain);

}  // namespace melodrop::audio
