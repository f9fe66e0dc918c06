#include "driver/Win32EventPump.h"

#include <cmath>

namespace wintest {

Win32EventPump::Win32EventPump() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    ticksPerSecond_ = static_cast<double>(frequency.QuadPart);
}

double Win32EventPump::Now() {
    LARGE_INTEGER ticks;
    QueryPerformanceCounter(&ticks);
    return static_cast<double>(ticks.QuadPart) / ticksPerSecond_;
}

void Win32EventPump::PumpEvents() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

void Win32EventPump::WaitForEvents(double deadline) {
    const double left = deadline - Now();
    if (left <= 0) return;
    const auto ms = static_cast<DWORD>(std::ceil(left * 1000.0));
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
}

}  // namespace wintest
