#pragma once
// The bridge's view of the window system: only the chat client's process. The client is the
// process of the first "AOL Frame25" window found, and stays the client for as long as that
// process runs: a frame window of the same class that another program shows later is passed
// over (ReportLookAlikes says so once per process), and only when the client's process has ended
// is the first frame window found then taken. Every window the guard finds, names or sends to
// must belong to the client, or the guard answers as if there were no such window. Only the
// client's process can be opened, and only to read its memory; a read is capped. Process
// handles are the guard's own small numbers, closed with the guard.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "aol/WindowSystem.h"

namespace bridge {

// Whether a process still runs: 1 it does, 0 it ended, -1 cannot tell (the guard then takes a
// process that still shows an "AOL Frame25" window as running).
using ProcessLife = std::function<int(std::uint32_t processId)>;

class ClientGuard : public aol::WindowSystem {
public:
    explicit ClientGuard(aol::WindowSystem& inner, ProcessLife life = {});
    ~ClientGuard() override;
    ClientGuard(const ClientGuard&) = delete;
    ClientGuard& operator=(const ClientGuard&) = delete;

    // Keeps the client while its process runs, else takes the process of the first frame window
    // found now; returns its id, 0 when no client runs. Windows found to be the client's are
    // checked afresh from here on.
    std::uint32_t Refresh();
    // The same at most every kTrustSeconds while a client runs (`now` in seconds on any steady
    // clock): in between, the client's process and the windows already found to be its own
    // are taken as they were, which saves a request the two or three questions the lookups
    // would ask of the window system. A window that closed in between answers nothing anyway;
    // one that opened is checked when first named.
    std::uint32_t RefreshIfStale(double now);
    static constexpr double kTrustSeconds = 0.5;
    std::uint32_t ClientProcess() const { return client_; }

    // Says, once per process, that a frame window of another process than the client's is
    // passed over.
    void ReportLookAlikes(const std::function<void(const std::string&)>& report);

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
    bool StillRuns(std::uint32_t process);
    // Calls `visit` with each top-level frame window and its process, at most kMostFrames.
    void EachFrame(const std::function<void(aol::Hwnd, std::uint32_t)>& visit);

    aol::WindowSystem& inner_;
    ProcessLife life_;
    std::uint32_t client_ = 0;  // as last looked up
    double refreshedAt_ = -1e9;
    std::set<aol::Hwnd> known_;         // windows found to be the client's since
    std::set<std::uint32_t> reported_;  // processes whose look-alike frames were reported
    std::map<aol::ProcessHandle, aol::ProcessHandle> handles_;  // ours -> the inner one
    aol::ProcessHandle nextHandle_ = 1;
};

}  // namespace bridge
