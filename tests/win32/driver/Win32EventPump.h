#pragma once
// The program's event pump on a Windows thread: runs the thread's own messages (the test
// driver's answer window among them) and waits for the next one or a deadline.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "aol/EventPump.h"

namespace wintest {

class Win32EventPump : public aol::EventPump {
public:
    Win32EventPump();
    double Now() override;
    void PumpEvents() override;
    void WaitForEvents(double deadline) override;

private:
    double ticksPerSecond_ = 1.0;
};

}  // namespace wintest
