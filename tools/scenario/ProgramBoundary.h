#pragma once
// The program's way out to the chat client and to time. In the real program, ending ends the
// process: no timer ticks after it, no message reaches the client. The scenario runner keeps
// running after the program ended (the room goes on and can be checked), so these stand between
// the program and the runner's client and clock and cut the program off when it ends.
#include <memory>
#include <set>

#include "aol/WindowSystem.h"
#include "base/Clock.h"
#include "base/VirtualClock.h"

namespace melodrop::scenario {

// Passes every call to the client until the program ends; after that the program finds no
// windows and its messages go nowhere.
class ProgramWindowSystem : public aol::WindowSystem {
public:
    explicit ProgramWindowSystem(aol::WindowSystem& client) : client_(client) {}
    void programEnded() { ended_ = true; }

    aol::Hwnd FindWindowA(const char* className, const char* caption) override;
    aol::Hwnd FindWindowExA(aol::Hwnd parent, aol::Hwnd childAfter, const char* className,
                            const char* caption) override;
    bool SendMessageTimeoutA(aol::Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam, std::uint32_t flags, std::uint32_t timeoutMs,
                             std::intptr_t* result) override;
    bool PostMessageA(aol::Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
    int GetWindowTextLengthA(aol::Hwnd window) override;
    int GetWindowTextA(aol::Hwnd window, char* buffer, int maxCount) override;
    std::uint32_t GetWindowThreadProcessId(aol::Hwnd window, std::uint32_t* processId) override;
    aol::ProcessHandle OpenProcess(std::uint32_t access, bool inheritHandle,
                                   std::uint32_t processId) override;
    bool ReadProcessMemory(aol::ProcessHandle process, std::uint64_t address, void* buffer,
                           std::size_t size, std::size_t* bytesRead) override;
    bool CloseHandle(aol::ProcessHandle handle) override;
    bool ReadRoomTexts(std::vector<aol::RoomText>& rooms) override;

private:
    aol::WindowSystem& client_;
    bool ended_ = false;
};

// The scenario's virtual clock as the program sees it; when the program ends, every timer it
// made is switched off for good.
class ProgramClock : public Clock {
public:
    explicit ProgramClock(VirtualClock& clock) : clock_(clock) {}
    ~ProgramClock() override;
    void programEnded();

    double Now() override { return clock_.Now(); }
    void PumpEvents() override { clock_.PumpEvents(); }
    void WaitForEvents(double deadline) override { clock_.WaitForEvents(deadline); }
    double secondsSinceMidnight() override { return clock_.secondsSinceMidnight(); }
    std::unique_ptr<Timer> createTimer() override;

private:
    class ProgramTimer;
    VirtualClock& clock_;
    std::set<ProgramTimer*> timers_;
    bool ended_ = false;
};

}  // namespace melodrop::scenario
