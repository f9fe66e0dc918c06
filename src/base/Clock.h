#pragma once
// Time for the program's logic: the time of day (random seeds), monotonic time (waits) and
// timers. The program runs on the real clock; tests and scenarios run on a virtual one.
#include <functional>
#include <memory>

#include "aol/EventPump.h"

namespace melodrop {

class Timer {
public:
    virtual ~Timer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    // Switching a timer on (again) starts its interval afresh.
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    // A coarse timer may tick a little late, so that the system can bundle wake-ups; for long
    // intervals where the exact moment does not matter. Off by default.
    virtual void setCoarse(bool coarse) { (void)coarse; }
    // Called on every tick while enabled; a tick never re-enters its own handler.
    std::function<void()> onTick;
};

// The clock is also the event pump that the chat-client module waits with, so that one virtual
// clock drives both the module's waits and the program's timers.
class Clock : public aol::EventPump {
public:
    // Seconds since midnight, local time, with the fraction.
    virtual double secondsSinceMidnight() = 0;
    virtual std::unique_ptr<Timer> createTimer() = 0;
};

}  // namespace melodrop
