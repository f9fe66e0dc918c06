#pragma once
// The window system of a chat client that runs elsewhere (under Wine, next to melodrop-bridge):
// every call is carried to the bridge over loopback TCP (BridgeLink) and answered there. While
// the bridge cannot be reached every call answers as if there were no client: no windows, sends
// fail, nothing is read. It reconnects by itself, at most once every retrySeconds, when a call
// finds it gone, reading the bridge's token afresh each time (the bridge makes a new one at
// every start) and refusing a token file that is not the user's own (TokenFile.h).
//
// Calls block the calling thread (the program's one event loop) until answered, so the bridge
// is held to bounds:
// - an answer larger than the call asked for ends the connection before it is read;
// - the calls wait on the bridge at most blockedSeconds in any blockedWindowSeconds; beyond
//   that they fail at once, as if the window were missing, until the time has passed;
// - one operation of the chat-client module (a whole command's calls) can be given a budget of
//   its own (WindowSystem::BeginOperation): once spent, its later calls fail at once the same way;
// - a bridge that keeps the program waiting (slowAnswers waits longer than slowAnswerSeconds,
//   answered or not, within slowWindowSeconds) is dropped and tried again only after
//   slowRetrySeconds;
// - the bridge's word that a room changed reaches the listener at most once every
//   changeSpacingSeconds (a bridge that says it twice without a read between is dropped).
// The link's state (waiting for the bridge, no chat client, connected, refused and why) is told
// to a listener and to the log, once per change.
// Plain C++ and POSIX sockets.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "aol/ClientLink.h"
#include "aol/WindowSystem.h"
#include "bridge/client/BridgeLink.h"
#include "bridge/protocol/BridgeProtocol.h"

namespace aol {

struct RemoteOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = bridge::kDefaultPort;
    std::string tokenFile;
    std::string noTokenFileReason;  // why tokenFile is empty (no default place for it)
    double retrySeconds = 1.0;      // between attempts to reach a missing bridge
    int connectMs = 500;
    int handshakeMs = 1000;
    int answerMarginMs = 1000;         // how much longer than a call's own bound an answer may take
    double sharedReadSeconds = 0.005;  // see ReadRoomTexts
    double blockedSeconds = 1.0;
    double blockedWindowSeconds = 10.0;
    double slowAnswerSeconds = 0.5;
    int slowAnswers = 3;
    double slowWindowSeconds = 30.0;
    double slowRetrySeconds = 10.0;  // doubled (up to 60 s) for each drop in a row
    double changeSpacingSeconds = 0.05;
    // One line when the link's state changes.
    std::function<void(const std::string&)> log;
};

class RemoteWindowSystem : public WindowSystem {
public:
    explicit RemoteWindowSystem(RemoteOptions options);
    ~RemoteWindowSystem() override;
    RemoteWindowSystem(const RemoteWindowSystem&) = delete;
    RemoteWindowSystem& operator=(const RemoteWindowSystem&) = delete;

    bool connected() const { return link_.isOpen(); }
    const LinkStatus& status() const { return status_; }
    // Called whenever status() changes (from inside any call, or Drain).
    void setStatusListener(std::function<void(const LinkStatus&)> listener);
    // Tells `listener` the status now, then at every change.
    void watchStatus(std::function<void(const LinkStatus&)> listener);

    // Asks the bridge, at every connection, to say when a room may have changed, and calls
    // `listener` then, and once after every (re)connection (the rooms may have changed while
    // the bridge was away). The bridge's word arrives between calls: whoever owns the event
    // loop watches pollHandle() for input and calls Drain(), which also reconnects (at most once
    // every retrySeconds) while the bridge is away, and calls the listener when a word held back
    // by changeSpacingSeconds is due (secondsToHeldChange() says when). The listener may be
    // called from inside any call of this window system; it is to note the change, not to act
    // on it there.
    void setChangeListener(std::function<void()> listener);
    int pollHandle() const { return link_.socket(); }
    void Drain();
    // Seconds until a held-back word of change is due; negative when none is held back.
    double secondsToHeldChange() const;
    // Called with those seconds whenever a word is held back: Drain() is to be called then.
    void setHeldChangeListener(std::function<void(double seconds)> listener);
    // Called whenever pollHandle() changes (a connection made or lost).
    void setConnectionListener(std::function<void()> listener);

    // The calls of one operation wait on the bridge at most `seconds` in all, then fail at once
    // as if the window were missing. Nested operations belong to the outermost.
    void BeginOperation(double seconds) override;
    void EndOperation() override;

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
    // arrived in between is found at the next read, never lost. The rooms' transcripts together
    // are at most bridge::kMaxRoomTextsBytes.
    bool ReadRoomTexts(std::vector<RoomText>& rooms) override;

    // Requests answered by the bridge so far.
    std::uint64_t exchanges() const { return link_.exchanges(); }

private:
    std::optional<bridge::Answer> Call(const bridge::Request& request, int boundMs = 0);
    void HeardChange();
    bool EnsureConnected();
    void Connect();
    // Ends the connection; `state` and `text` say what the link is now, and the next attempt
    // comes after `retryAfter` seconds.
    void Drop(LinkState state, const std::string& text, double retryAfter);
    // The bridge went away: waiting for it again.
    void DropEnded();
    // The bridge broke the protocol or a bound (`why`): refused for a while.
    void DropBroken(const std::string& why);
    // `base` seconds, doubled for each drop in a row (up to 64 times), at most kMostRetrySeconds.
    double Backoff(double base) const;
    void SetStatus(LinkState state, std::uint32_t clientProcess, const std::string& text);
    std::string Summary(LinkState state, std::uint32_t clientProcess,
                        const std::string& text) const;
    void ClientIs(std::uint32_t process);
    std::string Where() const;
    // How long a call may still wait on the bridge now (the blocked-time and operation budgets).
    double WaitAllowed(double now);
    void Blocked(double started, double ended);
    // A late or unanswered request; true when that drops the bridge.
    bool Strike(double now);
    void Log(const std::string& line);

    RemoteOptions options_;
    BridgeLink link_;
    LinkStatus status_;
    double nextAttempt_ = 0;
    int dropsInARow_ = 0;  // drops for slowness or misbehaviour, without a good answer since
    std::deque<std::pair<double, double>> blocked_;  // (end, seconds) of recent waits
    std::deque<double> strikes_;
    int operationDepth_ = 0;
    double operationLeft_ = 0;
    std::vector<RoomText> lastRooms_;  // the transcripts last read, in the answer's order
    double roomsReadAt_ = -1e9;
    double lastChangeCall_ = -1e9;
    bool changeHeld_ = false;
    std::function<void()> changeListener_;
    std::function<void(double)> heldChangeListener_;
    std::function<void()> connectionListener_;
    std::function<void(const LinkStatus&)> statusListener_;
};

}  // namespace aol
