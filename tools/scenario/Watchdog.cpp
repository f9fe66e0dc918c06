#include "scenario/Watchdog.h"

#include <cstdio>
#include <cstdlib>

namespace melodrop::scenario {

Watchdog::Watchdog(std::chrono::seconds limit) : limit_(limit) {
    thread_ = std::thread([this] { watch(); });
}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void Watchdog::arm(const QString& whatHangs) {
    {
        std::lock_guard lock(mutex_);
        armed_ = true;
        deadline_ = std::chrono::steady_clock::now() + limit_;
        message_ = whatHangs.toStdString();
    }
    wake_.notify_all();
}

void Watchdog::disarm() {
    std::lock_guard lock(mutex_);
    armed_ = false;
}

void Watchdog::watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!armed_) {
            wake_.wait(lock);
            continue;
        }
        const auto deadline = deadline_;
        if (wake_.wait_until(lock, deadline) == std::cv_status::timeout && armed_ &&
            deadline_ == deadline && !stopping_) {
            std::fprintf(stderr, "%s: did not finish within %lld s of real time; giving up\n",
                         message_.c_str(), static_cast<long long>(limit_.count()));
            std::fflush(nullptr);
            std::_Exit(kExitCode);
        }
    }
}

}  // namespace melodrop::scenario
