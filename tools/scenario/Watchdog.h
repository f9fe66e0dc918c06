#pragma once
// Guards against a step that never finishes: if a step runs longer than its limit of real time,
// the watchdog prints what hung and ends the process with exit code 124. (A hung step cannot be
// interrupted from inside: the program's own waits are what hangs.)
#include <QString>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace melodrop::scenario {

class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Starts timing a step; what is printed if it hangs.
    void arm(const QString& whatHangs);
    void disarm();

    static constexpr int kExitCode = 124;

private:
    void watch();

    const std::chrono::seconds limit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool armed_ = false;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::string message_;
    std::thread thread_;
};

}  // namespace melodrop::scenario
