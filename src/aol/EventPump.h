#pragma once
// How the chat-client module waits: it never sleeps blindly, it keeps the program's own events
// running. Implementations: the Qt event loop in the program, a virtual clock in tests.

namespace aol {

class EventPump {
public:
    virtual ~EventPump() = default;
    // Monotonic time in seconds; never jumps (no midnight or clock-change effects).
    virtual double Now() = 0;
    // Runs every event waiting in the program's own queue, with their handlers, then returns.
    virtual void PumpEvents() = 0;
    // Sleeps until an event arrives or the monotonic deadline is reached, whichever is first.
    virtual void WaitForEvents(double deadline) = 0;
};

}  // namespace aol
