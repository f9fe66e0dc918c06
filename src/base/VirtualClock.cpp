#include "base/VirtualClock.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace melodrop {

class VirtualClock::VirtualTimer : public Timer {
public:
    explicit VirtualTimer(VirtualClock* clock) : clock_(clock) { clock_->timers_.push_back(this); }
    ~VirtualTimer() override {
        if (clock_) std::erase(clock_->timers_, this);
    }
    void setInterval(int milliseconds) override {
        interval_ = std::max(0, milliseconds);
        if (enabled_) due_ = clock_->now_ + step();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override {
        enabled_ = enabled;
        if (enabled_ && clock_) due_ = clock_->now_ + step();
    }
    bool isEnabled() const override { return enabled_; }
    // A zero interval ticks as fast as possible: one millisecond of virtual time.
    double step() const { return std::max(interval_, 1) / 1000.0; }

    VirtualClock* clock_;
    int interval_ = 0;
    bool enabled_ = false;
    bool inTick_ = false;
    double due_ = 0.0;
};

VirtualClock::VirtualClock(double secondsSinceMidnightAtStart)
    : timeOfDayAtStart_(secondsSinceMidnightAtStart) {}

VirtualClock::~VirtualClock() {
    for (VirtualTimer* t : timers_) t->clock_ = nullptr;
}

void VirtualClock::PumpEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    // Copy: a hook may add hooks.
    const auto hooks = pumpHooks_;
    for (const auto& hook : hooks) hook();
}

namespace {

double RealSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void VirtualClock::paceToRealTime() {
    paced_ = true;
    pacedFrom_ = now_;
    realPacedFrom_ = RealSeconds();
}

void VirtualClock::moveTo(double target) {
    if (target <= now_) return;
    if (paced_) {
        const double wait = (target - pacedFrom_) - (RealSeconds() - realPacedFrom_);
        if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double>(wait));
    }
    now_ = target;
}

void VirtualClock::WaitForEvents(double deadline) {
    if (paced_) deadline = std::min(deadline, now_ + kPacedSliceSeconds);
    if (VirtualTimer* t = nextDue(deadline)) {
        moveTo(t->due_);
        fire(t);
        return;
    }
    moveTo(deadline);
    PumpEvents();
}

double VirtualClock::secondsSinceMidnight() {
    return std::fmod(timeOfDayAtStart_ + now_, 24 * 3600.0);
}

std::unique_ptr<Timer> VirtualClock::createTimer() {
    return std::make_unique<VirtualTimer>(this);
}

void VirtualClock::advance(double seconds) {
    double target = now_ + seconds;
    // Paced, time also catches up with the real clock: a caller that spent real time between
    // advances (talking to the other process) finds the timers of that time fired.
    if (paced_) target = std::max(target, pacedFrom_ + (RealSeconds() - realPacedFrom_));
    advanceTo(target);
}

void VirtualClock::advanceTo(double target) {
    // Paced, time moves in short slices with the events pumped in between, so that word from
    // another process (a socket, a pump hook) is taken as it comes, not at the end of the wait.
    if (paced_) {
        while (now_ + kPacedSliceSeconds < target) advanceOnce(now_ + kPacedSliceSeconds);
    }
    advanceOnce(target);
}

void VirtualClock::advanceOnce(double target) {
    PumpEvents();
    while (VirtualTimer* t = nextDue(target)) {
        moveTo(t->due_);
        fire(t);
    }
    moveTo(target);
    PumpEvents();
}

void VirtualClock::addPumpHook(std::function<void()> hook) {
    pumpHooks_.push_back(std::move(hook));
}

VirtualClock::VirtualTimer* VirtualClock::nextDue(double limit) const {
    VirtualTimer* best = nullptr;
    for (VirtualTimer* t : timers_) {
        if (!t->enabled_ || t->inTick_ || t->due_ > limit + 1e-9) continue;
        if (!best || t->due_ < best->due_) best = t;
    }
    return best;
}

void VirtualClock::fire(VirtualTimer* timer) {
    timer->due_ = now_ + timer->step();
    timer->inTick_ = true;
    // The handler may delete the timer's owner; keep our own note of whether it still exists.
    const auto handler = timer->onTick;
    if (handler) handler();
    if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end()) timer->inTick_ = false;
    PumpEvents();
}

}  // namespace melodrop
