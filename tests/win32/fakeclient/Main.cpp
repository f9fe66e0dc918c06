// fake-aol-client: the fake chat client's program. Its message loop can hold back what is
// posted to it (clicks, keys, closes) for a while, as a busy client would.
#include <chrono>
#include <deque>

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

}  // namespace fakeclient

int main() {
    using namespace fakeclient;
    FakeClient::instance().start(GetModuleHandleA(nullptr));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (HoldIfDelayed(msg)) continue;
        DispatchMessageA(&msg);
    }
    return 0;
}
