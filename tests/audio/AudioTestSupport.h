#pragma once
// Shared by the audio tests: fixture paths, an output the test drives by hand, and a level meter.
#include <QString>

#include <cmath>
#include <string>
#include <vector>

#include "audio/AudioOutput.h"

namespace melodrop::audio::testing {

inline std::string TonePath(const char* name) {
    return std::string(MELODROP_FIXTURES_DIR) + "/tones/" + name;
}
inline QString ToneFile(const char* name) {
    return QString::fromStdString(TonePath(name));
}

// An output with no thread: the test asks for each buffer itself, as a device would.
class ManualOutput : public AudioOutput {
public:
    bool Open(Pull pull) override {
        pull_ = std::move(pull);
        return openable_;
    }
    void SetRunning(bool running) override { running_ = running; }

    // The next `frames` frames as the device would get them: silence while not running.
    std::vector<float> Take(int frames) {
        std::vector<float> out(static_cast<size_t>(frames) * kOutputChannels, 0.0f);
        if (running_) {
            pull_(out.data(), frames);
        }
        return out;
    }
    bool running() const { return running_; }
    void set_openable(bool openable) { openable_ = openable; }

private:
    Pull pull_;
    bool running_ = false;
    bool openable_ = true;
};

inline double Rms(const std::vector<float>& samples) {
    double sum = 0;
    for (float s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return samples.empty() ? 0.0 : std::sqrt(sum / samples.size());
}

}  // namespace melodrop::audio::testing
