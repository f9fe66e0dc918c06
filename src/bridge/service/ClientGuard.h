#pragma once
// The bridge's view of the window system: only the chat client's process. The client is the
// process of the first "AOL Frame25" window; every window the guard finds, names or sends to must
// belong to it, or the guard answers as if there were no such window. Processes other than the
// client cannot be opened, only with the right to read memory, and a read is capped. Process
// handles are the guard's own small numbers, closed with the guard.
#include <cstdint>
#include <map>
#include <set>

#include "aol/WindowSystem.h"

namespace bridge {

class ClientGuard : public aol::WindowSystem {
public:
    explicit ClientGuard(aol::WindowSystem& inner);
    ~ClientGuard() override;
    ClientGuard(const ClientGuard&) = delete;
    ClientGuard& operator=(const ClientGuard&) = delete;

    // Looks the client's process up afresh; returns its id, 0 when no client runs. Every call
    // until the next Refresh is held to that process.
    std::uint32_t Refresh();
    // The same at most every kTrustSeconds while a client runs (`now` in seconds on any steady
    // clock): in between, the client's process and the windows already found to be its own
    // are taken as they were, which saves a request the two or three questions the lookups
    // would ask of the window system. A window that closed in between answers nothing anyway;
    // one that opened is checked when first named.
    std::uint32_t RefreshIfStale(double now);
    static constexpr double kTrustSeconds = 0.5;
    std::uint32_t ClientProcess() const { return client_; }

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

    // Closes every process handle still open (a connection ended).
    void CloseAll();

private:
    bool IsClients(aol::Hwnd window);

    aol::WindowSystem& inner_;
    std::uint32_t client_ = 0;  // as last looked up
    double refreshedAt_ = -1e9;
    std::set<aol::Hwnd> known_;  // windows found to be the client's since
    std::map<aol::ProcessHandle, aol::ProcessHandle> handles_;  // ours -> the inner one
    aol::ProcessHandle nextHandle_ = 1;
};

}  // namespace bridge
