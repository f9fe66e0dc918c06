#pragma once
// Shared by the audio tests: fixture paths, an output the test drives by hand, one with a thread
// of its own, and a level meter.
#include <QString>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioOutput.h"

namespace melodrop::audio::testing {

inline std::string tonePath(const char* name) {
    return std::string(MELODROP_FIXTURES_DIR) + "/tones/" + name;
}
inline QString toneFile(const char* name) {
    return QString::fromStdString(tonePath(name));
}

// An output with no thread: the test asks for each buffer itself, as a device would.
class ManualOutput : public AudioOutput {
public:
    bool open(Pull pull) override {
        pull_ = std::move(pull);
        return openable_;
    }
    void setRunning(bool running) override { running_ = running; }

    // The next `frames` frames as the device would get them: silence while not running.
    std::vector<float> take(int frames) {
        std::vector<float> out(static_cast<size_t>(frames) * kOutputChannels, 0.0f);
        if (running_) {
            pull_(out.data(), frames);
        }
        return out;
    }
    bool running() const { return running_; }
    void setOpenable(bool openable) { openable_ = openable; }

private:
    Pull pull_;
    bool running_ = false;
    bool openable_ = true;
};

// An output with a thread of its own that takes buffer after buffer as fast as they come. Like
// SDL's device, it fills a buffer while holding the lock that setRunning takes, so that once
// setRunning(false) returns no fill is running.
class ThreadedOutput : public AudioOutput {
public:
    static constexpr int kFrames = 1024;

    ~ThreadedOutput() override {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool open(Pull pull) override {
        pull_ = std::move(pull);
        thread_ = std::thread([this] { run(); });
        return true;
    }
    void setRunning(bool running) override {
        {
            std::lock_guard lock(mutex_);
            running_ = running;
        }
        wake_.notify_all();
    }
    // Buffers filled so far.
    int buffers() const { return buffers_.load(); }

private:
    void run() {
        std::vector<float> buffer(static_cast<size_t>(kFrames) * kOutputChannels);
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return quit_ || running_; });
            if (quit_) {
                return;
            }
            pull_(buffer.data(), kFrames);
            ++buffers_;
            // Lets the other threads in between buffers, as a device's pace would.
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
    }

    Pull pull_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool running_ = false;
    bool quit_ = false;
    std::atomic<int> buffers_{0};
};

inline double rms(const std::vector<float>& samples) {
    double sum = 0;
    for (float s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return samples.empty() ? 0.0 : std::sqrt(sum / samples.size());
}

}  // namespace melodrop::audio::testing
