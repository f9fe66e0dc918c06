#pragma once
// Where the player's sound goes: a device that asks, on a thread of its own, for the next
// buffer of samples while it runs.
#include <functional>

namespace melodrop::audio {

// The one format every output takes: interleaved 32-bit float stereo at this rate.
inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;

class AudioOutput {
public:
    // Fills `frames` interleaved stereo frames; runs on the output's thread.
    using Pull = std::function<void(float* out, int frames)>;

    virtual ~AudioOutput() = default;
    // Opens the device, not yet running. Returns false when no device can be opened.
    virtual bool open(Pull pull) = 0;
    // Starts or pauses the calls to pull. Once setRunning(false) returns, no call is running
    // and none starts until setRunning(true).
    virtual void setRunning(bool running) = 0;
};

}  // namespace melodrop::audio
