#include "scenario/ProgramBoundary.h"

namespace melodrop::scenario {

// ---- the client ----

aol::Hwnd ProgramWindowSystem::FindWindowA(const char* className, const char* caption) {
    return ended_ ? 0 : client_.FindWindowA(className, caption);
}

aol::Hwnd ProgramWindowSystem::FindWindowExA(aol::Hwnd parent, aol::Hwnd childAfter,
                                             const char* className, const char* caption) {
    return ended_ ? 0 : client_.FindWindowExA(parent, childAfter, className, caption);
}

bool ProgramWindowSystem::SendMessageTimeoutA(aol::Hwnd window, std::uint32_t message,
                                              std::uintptr_t wParam, std::intptr_t lParam,
                                              std::uint32_t flags, std::uint32_t timeoutMs,
                                              std::intptr_t* result) {
    if (ended_) {
        if (result) *result = 0;
        return false;
    }
    return client_.SendMessageTimeoutA(window, message, wParam, lParam, flags, timeoutMs, result);
}

bool ProgramWindowSystem::PostMessageA(aol::Hwnd window, std::uint32_t message,
                                       std::uintptr_t wParam, std::intptr_t lParam) {
    return !ended_ && client_.PostMessageA(window, message, wParam, lParam);
}

int ProgramWindowSystem::GetWindowTextLengthA(aol::Hwnd window) {
    return ended_ ? 0 : client_.GetWindowTextLengthA(window);
}

int ProgramWindowSystem::GetWindowTextA(aol::Hwnd window, char* buffer, int maxCount) {
    if (ended_) {
        if (buffer && maxCount > 0) buffer[0] = '\0';
        return 0;
    }
    return client_.GetWindowTextA(window, buffer, maxCount);
}

std::uint32_t ProgramWindowSystem::GetWindowThreadProcessId(aol::Hwnd window,
                                                            std::uint32_t* processId) {
    return ended_ ? 0 : client_.GetWindowThreadProcessId(window, processId);
}

aol::ProcessHandle ProgramWindowSystem::OpenProcess(std::uint32_t access, bool inheritHandle,
                                                    std::uint32_t processId) {
    return ended_ ? 0 : client_.OpenProcess(access, inheritHandle, processId);
}

bool ProgramWindowSystem::ReadProcessMemory(aol::ProcessHandle process, std::uint64_t address,
                                            void* buffer, std::size_t size,
                                            std::size_t* bytesRead) {
    return !ended_ && client_.ReadProcessMemory(process, address, buffer, size, bytesRead);
}

bool ProgramWindowSystem::CloseHandle(aol::ProcessHandle handle) {
    // Handles the program still holds are closed with its process.
    return client_.CloseHandle(handle);
}

bool ProgramWindowSystem::ReadRoomTexts(std::vector<aol::RoomText>& rooms) {
    if (ended_) {
        rooms.clear();
        return true;  // no room at all
    }
    return client_.ReadRoomTexts(rooms);
}

// ---- time ----

class ProgramClock::ProgramTimer : public Timer {
public:
    ProgramTimer(ProgramClock& owner, std::unique_ptr<Timer> inner)
        : owner_(&owner), inner_(std::move(inner)) {
        inner_->onTick = [this] {
            if (onTick) onTick();
        };
        owner_->timers_.insert(this);
    }
    ~ProgramTimer() override {
        if (owner_) owner_->timers_.erase(this);
    }
    void setInterval(int milliseconds) override { inner_->setInterval(milliseconds); }
    int interval() const override { return inner_->interval(); }
    void setEnabled(bool enabled) override {
        inner_->setEnabled(enabled && owner_ && !owner_->ended_);
    }
    bool isEnabled() const override { return inner_->isEnabled(); }
    void stop() { inner_->setEnabled(false); }
    void forgetOwner() { owner_ = nullptr; }

private:
    ProgramClock* owner_;
    std::unique_ptr<Timer> inner_;
};

ProgramClock::~ProgramClock() {
    for (ProgramTimer* timer : timers_) timer->forgetOwner();
}

std::unique_ptr<Timer> ProgramClock::createTimer() {
    return std::make_unique<ProgramTimer>(*this, clock_.createTimer());
}

void ProgramClock::programEnded() {
    ended_ = true;
    for (ProgramTimer* timer : timers_) timer->stop();
}

}  // namespace melodrop::scenario
