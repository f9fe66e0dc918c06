#pragma once
// A clock whose time moves only when asked: by advance(), or by the waits of the program
// (WaitForEvents jumps straight to the next timer or the deadline). Tests and scenarios run
// an hour of idle minutes in milliseconds of real time, deterministically.
#include <functional>
#include <vector>

#include "base/Clock.h"

namespace melodrop {

class VirtualClock : public Clock {
public:
    explicit VirtualClock(double secondsSinceMidnightAtStart = 12 * 3600.0);
    ~VirtualClock() override;

    double Now() override { return now_; }
    // Runs pending Qt events (if an application object exists) and the pump hooks.
    void PumpEvents() override;
    // Jumps to the next timer due before the deadline and fires it, or to the deadline.
    void WaitForEvents(double deadline) override;
    double secondsSinceMidnight() override;
    std::unique_ptr<Timer> createTimer() override;

    // Moves time forward by the given seconds, firing every timer that falls due on the way,
    // in time order, and pumping events after each tick.
    void advance(double seconds);
    void advanceTo(double monotonicSeconds);
    // Work to run on every pump besides Qt's own events (a simulated client's posted messages).
    void addPumpHook(std::function<void()> hook);
    // From now on time keeps pace with real time: moving it forward waits for the real clock to
    // get there, in slices of kPacedSliceSeconds with the events pumped after each, and
    // `advance` moves it at least as far as real time has gone. For a program that talks to
    // something that lives in real time (a chat client in another process).
    void paceToRealTime();
    static constexpr double kPacedSliceSeconds = 0.005;

private:
    void advanceOnce(double target);
    class VirtualTimer;
    friend class VirtualTimer;
    VirtualTimer* nextDue(double limit) const;
    void fire(VirtualTimer* timer);
    // Moves time to `target` (never back), waiting for the real clock when paced.
    void moveTo(double target);

    double now_ = 0.0;
    double timeOfDayAtStart_;
    std::vector<VirtualTimer*> timers_;
    std::vector<std::function<void()>> pumpHooks_;
    bool paced_ = false;
    double pacedFrom_ = 0.0;      // virtual time when pacing began
    double realPacedFrom_ = 0.0;  // real time then
};

}  // namespace melodrop
