// fake-aol-client: the fake chat client's program. Its message loop can hold back what is
// posted to it (clicks, keys, closes) for a while, as a busy client would, and does the client's
// timed acts when they fall due.
#include <chrono>
#include <deque>
#include <map>

#include "FakeClientProtocol.h"
#include "fakeclient/FakeClient.h"

namespace fakeclient {
namespace {

struct Held {
    MSG msg;
    std::chrono::steady_clock::time_point due;
};

std::deque<Held>& HeldMessages() {
    static std::deque<Held> held;
    return held;
}

std::multimap<double, std::function<void()>>& Acts() {
    static std::multimap<double, std::function<void()>> acts;
    return acts;
}

// How long the message loop may sleep before the next act is due: not at all when it is due
// within a millisecond (the waits of Windows are counted in milliseconds).
DWORD SleepBeforeNextAct() {
    if (Acts().empty()) return INFINITE;
    const double left = Acts().begin()->first - Now();
    return left < 0.001 ? 0 : static_cast<DWORD>(left * 1000.0) - 1;
}

bool IsDelayable(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CLOSE:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool HoldIfDelayed(const MSG& msg) {
    const int delay = FakeClient::instance().postDelayMs;
    if (delay <= 0 || !msg.hwnd || !IsDelayable(msg.message)) return false;
    HeldMessages().push_back(
        Held{msg, std::chrono::steady_clock::now() + std::chrono::milliseconds(delay)});
    SetTimer(FakeClient::instance().control(), kHeldTimer, 5, nullptr);
    return true;
}

void ReleaseDueMessages() {
    auto& held = HeldMessages();
    const auto now = std::chrono::steady_clock::now();
    while (!held.empty() && held.front().due <= now) {
        const MSG msg = held.front().msg;
        held.pop_front();
        if (IsWindow(msg.hwnd)) DispatchMessageA(&msg);
    }
    if (held.empty()) KillTimer(FakeClient::instance().control(), kHeldTimer);
}

void DropHeldMessages() {
    HeldMessages().clear();
    KillTimer(FakeClient::instance().control(), kHeldTimer);
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void At(double when, std::function<void()> act) {
    Acts().emplace(when, std::move(act));
    // Inside a modal loop the timer is what runs the acts.
    SetTimer(FakeClient::instance().control(), kActTimer, 10, nullptr);
}

void RunDueActs() {
    auto& acts = Acts();
    while (!acts.empty() && acts.begin()->first <= Now()) {
        const std::function<void()> act = std::move(acts.begin()->second);
        acts.erase(acts.begin());
        act();
    }
    if (acts.empty()) KillTimer(FakeClient::instance().control(), kActTimer);
}

void DropActs() {
    Acts().clear();
    KillTimer(FakeClient::instance().control(), kActTimer);
}

}  // namespace fakeclient

int main() {
    using namespace fakeclient;
    FakeClient::instance().start(GetModuleHandleA(nullptr));
    for (;;) {
        RunDueActs();
        MsgWaitForMultipleObjectsEx(0, nullptr, SleepBeforeNextAct(), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return 0;
            if (!HoldIfDelayed(msg)) DispatchMessageA(&msg);
            RunDueActs();  // between two messages of the program
        }
    }
}
