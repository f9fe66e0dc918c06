#pragma once
// The window system of a chat client that runs elsewhere (under Wine, next to melodrop-bridge):
// every call is carried to the bridge over loopback TCP and answered there. While the bridge
// cannot be reached every call answers as if there were no client: no windows, sends fail,
// nothing is read. It reconnects by itself, at most once a second, when a call finds it gone,
// reading the bridge's token afresh each time (the bridge makes a new one at every start).
// Plain C++ and POSIX sockets; calls block the calling thread until answered or timed out.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "aol/WindowSystem.h"
#include "bridge/protocol/BridgeProtocol.h"

namespace aol {

struct RemoteOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = bridge::kDefaultPort;
    std::string tokenFile;
    double retrySeconds = 1.0;  // between attempts to reach a missing bridge
    int connectMs = 500;
    int answerMarginMs = 2000;         // how much longer than a call's own bound an answer may take
    double sharedReadSeconds = 0.005;  // see ReadRoomTexts
    // One line when the bridge is reached or lost.
    std::function<void(const std::string&)> log;
};

class RemoteWindowSystem : public WindowSystem {
public:
    explicit RemoteWindowSystem(RemoteOptions options);
    ~RemoteWindowSystem() override;
    RemoteWindowSystem(const RemoteWindowSystem&) = delete;
    RemoteWindowSystem& operator=(const RemoteWindowSystem&) = delete;

    bool connected() const { return socket_ >= 0; }

    // Asks the bridge, at every connection, to say when a room may have changed, and calls
    // `listener` then, and once after every (re)connection (the rooms may have changed while
    // the bridge was away). The bridge's word arrives between calls: whoever owns the event
    // loop watches pollHandle() for input and calls Drain(), which also reconnects (at most once
    // every retrySeconds) while the bridge is away. The listener may be called from inside any
    // call of this window system; it is to note the change, not to act on it there.
    void setChangeListener(std::function<void()> listener);
    int pollHandle() const { return socket_; }
    void Drain();
    // Called whenever pollHandle() changes (a connection made or lost).
    void setConnectionListener(std::function<void()> listener);

    Hwnd FindWindowA(const char* className, const char* caption) override;
    Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                       const char* caption) override;
    bool SendMessageTimeoutA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam, std::uint32_t flags, std::uint32_t timeoutMs,
                             std::intptr_t* result) override;
    bool PostMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
    int GetWindowTextLengthA(Hwnd window) override;
    int GetWindowTextA(Hwnd window, char* buffer, int maxCount) override;
    std::uint32_t GetWindowThreadProcessId(Hwnd window, std::uint32_t* processId) override;
    ProcessHandle OpenProcess(std::uint32_t access, bool inheritHandle,
                              std::uint32_t processId) override;
    bool ReadProcessMemory(ProcessHandle process, std::uint64_t address, void* buffer,
                           std::size_t size, std::size_t* bytesRead) override;
    bool CloseHandle(ProcessHandle handle) override;
    // One exchange for every open room; a transcript the bridge knows unchanged is not resent.
    // Asked again within sharedReadSeconds with no other request in between (both chat
    // scanners at one tick), the last answer is given again without an exchange: a line that
    // arrived in between is found at the next read, never lost.
    bool ReadRoomTexts(std::vector<RoomText>& rooms) override;

    // Requests answered by the bridge so far.
    std::uint64_t exchanges() const { return exchanges_; }

private:
    std::optional<bridge::Answer> Call(const bridge::Request& request, int boundMs = 0);
    // Takes the frames waiting in inbox_ that are the bridge's word of a change; false when
    // something else is there (an answer nobody asked for).
    bool TakeChangeWords();
    void HeardChange();
    bool EnsureConnected();
    bool Connect();
    bool Exchange(const std::string& frame, bridge::Op op, int waitMs, bridge::Answer& answer);
    void Disconnect(const std::string& why);
    void Log(const std::string& line);

    RemoteOptions options_;
    int socket_ = -1;
    double nextAttempt_ = 0;
    bool everConnected_ = false;
    std::string inbox_;
    std::map<Hwnd, std::string> rooms_;  // the transcripts last read
    std::vector<RoomText> lastRooms_;    // ... in the order of the last answer
    double roomsReadAt_ = -1e9;
    std::uint64_t exchanges_ = 0;
    std::function<void()> changeListener_;
    std::function<void()> connectionListener_;
};

}  // namespace aol
