#include "bridge/client/RemoteWindowSystem.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "bridge/client/TokenFile.h"
#include "bridge/protocol/Handshake.h"

namespace aol {
namespace {

using bridge::Answer;
using bridge::Op;
using bridge::Request;

constexpr double kMostRetrySeconds = 60.0;

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::optional<std::string> Name(const char* s) {
    if (!s) return std::nullopt;
    return std::string(s);
}

}  // namespace

RemoteWindowSystem::RemoteWindowSystem(RemoteOptions options) : options_(std::move(options)) {
    link_.onRoomsChanged = [this] { HeardChange(); };
    link_.onClientProcess = [this](std::uint32_t process) { ClientIs(process); };
    status_.text = "waiting for melodrop-bridge on " + Where();
    status_.summary = status_.text;
}

RemoteWindowSystem::~RemoteWindowSystem() = default;

std::string RemoteWindowSystem::Where() const {
    return options_.host + ":" + std::to_string(options_.port);
}

void RemoteWindowSystem::Log(const std::string& line) {
    if (options_.log) options_.log(line);
}

void RemoteWindowSystem::setStatusListener(std::function<void(const LinkStatus&)> listener) {
    statusListener_ = std::move(listener);
}

void RemoteWindowSystem::setHeldChangeListener(std::function<void(double)> listener) {
    heldChangeListener_ = std::move(listener);
}

void RemoteWindowSystem::setConnectionListener(std::function<void()> listener) {
    connectionListener_ = std::move(listener);
}

void RemoteWindowSystem::watchStatus(std::function<void(const LinkStatus&)> listener) {
    if (listener) listener(status_);
    setStatusListener(std::move(listener));
}

void RemoteWindowSystem::setChangeListener(std::function<void()> listener) {
    changeListener_ = std::move(listener);
}

std::string RemoteWindowSystem::Summary(LinkState state, std::uint32_t clientProcess,
                                        const std::string& text) const {
    switch (state) {
        case LinkState::Simulated:
            return SimulatedLink().summary;
        case LinkState::Waiting:
            return "waiting for melodrop-bridge on " + Where();
        case LinkState::NoClient:
            return "bridge running, chat client not found";
        case LinkState::Connected:
            return "connected to the chat client (process " + std::to_string(clientProcess) + ")";
        case LinkState::Refused:
            break;
    }
    return text;
}

void RemoteWindowSystem::SetStatus(LinkState state, std::uint32_t clientProcess,
                                   const std::string& text) {
    LinkStatus next{state, clientProcess, Summary(state, clientProcess, text), text};
    if (next == status_) return;
    status_ = std::move(next);
    Log(status_.text);
    if (statusListener_) statusListener_(status_);
}

void RemoteWindowSystem::ClientIs(std::uint32_t process) {
    if (!link_.isOpen()) return;
    if (process != 0) {
        SetStatus(LinkState::Connected, process,
                  "connected to the chat client (process " + std::to_string(process) +
                      ") through melodrop-bridge on " + Where());
    } else {
        SetStatus(
            LinkState::NoClient, 0,
            "melodrop-bridge on " + Where() + " is running, but the chat client is not found");
    }
}

bool RemoteWindowSystem::EnsureConnected() {
    if (link_.isOpen()) return true;
    const double now = Now();
    if (now < nextAttempt_) return false;
    nextAttempt_ = now + options_.retrySeconds;
    Connect();
    return link_.isOpen();
}

void RemoteWindowSystem::Connect() {
    if (options_.tokenFile.empty()) {
        SetStatus(LinkState::Refused, 0, "refused: " + options_.noTokenFileReason);
        return;
    }
    std::string token;
    std::string error;
    switch (ReadTokenFile(options_.tokenFile, token, error)) {
        case TokenRead::Missing:
            SetStatus(LinkState::Waiting, 0,
                      "waiting for melodrop-bridge on " + Where() + " (no token in " +
                          options_.tokenFile + " yet)");
            return;
        case TokenRead::Refused:
            SetStatus(LinkState::Refused, 0, "refused: " + error);
            return;
        case TokenRead::Read:
            break;
    }
    // The handshake too waits within the blocked-time budget.
    const double started = Now();
    const double allowed = WaitAllowed(started);
    if (allowed <= 0) return;
    const int handshakeMs =
        std::max(1, std::min(options_.handshakeMs, static_cast<int>(allowed * 1000)));
    const BridgeLink::Opening opening =
        link_.Open(options_.host, options_.port, bridge::TokenKey(token).value_or(std::string()),
                   options_.connectMs, handshakeMs);
    Blocked(started, Now());
    const double backoff = Backoff(options_.retrySeconds);
    switch (opening.result) {
        case BridgeLink::Opened::Ok:
            break;
        case BridgeLink::Opened::NoListener:
            SetStatus(LinkState::Waiting, 0, "waiting for melodrop-bridge on " + Where());
            return;
        case BridgeLink::Opened::NotBridge:
            ++dropsInARow_;
            nextAttempt_ = Now() + backoff;
            SetStatus(LinkState::Refused, 0,
                      "refused: the program on " + Where() + " is not melodrop-bridge (" +
                          opening.detail + ")");
            return;
        case BridgeLink::Opened::OtherVersion:
            SetStatus(LinkState::Refused, 0,
                      "refused: melodrop-bridge on " + Where() + " speaks protocol version " +
                          std::to_string(opening.bridgeVersion) +
                          ", this melodrop speaks version " +
                          std::to_string(bridge::kProtocolVersion) +
                          " (use a melodrop and a bridge of one build)");
            return;
        case BridgeLink::Opened::ProofRefused:
            SetStatus(LinkState::Refused, 0,
                      "refused: melodrop-bridge on " + Where() +
                          " did not take melodrop's proof (" + opening.detail +
                          "): its token is not the one in " + options_.tokenFile);
            return;
        case BridgeLink::Opened::Failed:
            SetStatus(LinkState::Refused, 0, "refused: " + opening.detail);
            return;
    }
    strikes_.clear();
    lastRooms_.clear();
    roomsReadAt_ = -1e9;
    if (connectionListener_) connectionListener_();
    ClientIs(opening.clientProcess);
    if (changeListener_) {
        Request watch;
        watch.op = Op::WatchRooms;
        if (!Call(watch)) return;
        HeardChange();  // the rooms may have changed while the bridge was away
    }
}

void RemoteWindowSystem::Drop(LinkState state, const std::string& text, double retryAfter) {
    link_.Close();
    lastRooms_.clear();
    roomsReadAt_ = -1e9;
    nextAttempt_ = Now() + retryAfter;
    SetStatus(state, 0, text);
    if (connectionListener_) connectionListener_();
    HeardChange();  // the rooms are gone for the program
}

double RemoteWindowSystem::WaitAllowed(double now) {
    const double from = now - options_.blockedWindowSeconds;
    while (!blocked_.empty() && blocked_.front().first <= from) blocked_.pop_front();
    double spent = 0;
    for (const auto& [end, seconds] : blocked_) spent += std::min(seconds, end - from);
    double left = options_.blockedSeconds - spent;
    if (operationDepth_ > 0) left = std::min(left, operationLeft_);
    return left;
}

double RemoteWindowSystem::Backoff(double base) const {
    return std::min(kMostRetrySeconds, base * std::pow(2.0, std::min(dropsInARow_, 6)));
}

void RemoteWindowSystem::DropEnded() {
    Drop(LinkState::Waiting, "waiting for melodrop-bridge on " + Where(), options_.retrySeconds);
}

void RemoteWindowSystem::DropBroken(const std::string& why) {
    ++dropsInARow_;
    Drop(LinkState::Refused, "dropped melodrop-bridge on " + Where() + ": " + why,
         std::min(kMostRetrySeconds, options_.slowRetrySeconds));
}

void RemoteWindowSystem::Blocked(double started, double ended) {
    const double seconds = std::max(0.0, ended - started);
    blocked_.emplace_back(ended, seconds);
    if (operationDepth_ > 0) operationLeft_ -= seconds;
}

bool RemoteWindowSystem::Strike(double now) {
    strikes_.push_back(now);
    while (!strikes_.empty() && strikes_.front() < now - options_.slowWindowSeconds)
        strikes_.pop_front();
    if (static_cast<int>(strikes_.size()) < options_.slowAnswers) return false;
    strikes_.clear();
    const double retry = Backoff(options_.slowRetrySeconds);
    ++dropsInARow_;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", retry);
    Drop(LinkState::Refused,
         "dropped melodrop-bridge on " + Where() + ": it answered " +
             std::to_string(options_.slowAnswers) + " requests late within " +
             std::to_string(static_cast<int>(options_.slowWindowSeconds)) +
             " s (is the chat client hung?); trying again in " + seconds + " s",
         retry);
    return true;
}

void RemoteWindowSystem::BeginOperation(double seconds) {
    if (operationDepth_++ == 0) operationLeft_ = seconds;
}

void RemoteWindowSystem::EndOperation() {
    if (operationDepth_ > 0) --operationDepth_;
}

void RemoteWindowSystem::HeardChange() {
    roomsReadAt_ = -1e9;  // the next read asks anew
    if (!changeListener_) return;
    const double now = Now();
    if (now - lastChangeCall_ < options_.changeSpacingSeconds && now >= lastChangeCall_) {
        changeHeld_ = true;
        if (heldChangeListener_) heldChangeListener_(secondsToHeldChange());
        return;
    }
    lastChangeCall_ = now;
    changeHeld_ = false;
    changeListener_();
}

double RemoteWindowSystem::secondsToHeldChange() const {
    if (!changeHeld_) return -1;
    return std::max(0.0, lastChangeCall_ + options_.changeSpacingSeconds - Now());
}

void RemoteWindowSystem::Drain() {
    if (!link_.isOpen()) {
        if (changeListener_) EnsureConnected();
    } else {
        std::string why;
        switch (link_.Drain(why)) {
            case BridgeLink::Result::Ok:
            case BridgeLink::Result::Late:
                break;
            case BridgeLink::Result::Ended:
                DropEnded();
                break;
            case BridgeLink::Result::Broken:
                DropBroken(why);
                break;
        }
    }
    if (changeHeld_ && secondsToHeldChange() <= 0) HeardChange();
}

std::optional<Answer> RemoteWindowSystem::Call(const Request& request, int boundMs) {
    // Whatever else the program asks of the client may change a room: the next read asks anew.
    if (request.op != Op::ReadRoomTexts) roomsReadAt_ = -1e9;
    if (!EnsureConnected()) return std::nullopt;
    const double started = Now();
    const double allowed = WaitAllowed(started);
    if (allowed <= 0) return std::nullopt;  // as if the window were missing
    const double wait = std::min((boundMs + options_.answerMarginMs) / 1000.0, allowed);
    Answer answer;
    std::string why;
    const BridgeLink::Result result = link_.Exchange(request, wait, answer, why);
    const double ended = Now();
    Blocked(started, ended);
    switch (result) {
        case BridgeLink::Result::Ok:
            if (ended - started > options_.slowAnswerSeconds && Strike(ended)) return answer;
            if (strikes_.empty()) dropsInARow_ = 0;
            return answer;
        case BridgeLink::Result::Late:
            // Cut short by a budget, the wait is no sign of the bridge's pace.
            if (ended - started > options_.slowAnswerSeconds) Strike(ended);
            return std::nullopt;
        case BridgeLink::Result::Ended:
            DropEnded();
            return std::nullopt;
        case BridgeLink::Result::Broken:
            DropBroken(why);
            return std::nullopt;
    }
    return std::nullopt;
}

Hwnd RemoteWindowSystem::FindWindowA(const char* className, const char* caption) {
    Request r;
    r.op = Op::FindWindow;
    r.className = Name(className);
    r.caption = Name(caption);
    const auto a = Call(r);
    return a ? static_cast<Hwnd>(a->value) : 0;
}

Hwnd RemoteWindowSystem::FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                                       const char* caption) {
    Request r;
    r.op = Op::FindWindowEx;
    r.window = parent;
    r.after = childAfter;
    r.className = Name(className);
    r.caption = Name(caption);
    const auto a = Call(r);
    return a ? static_cast<Hwnd>(a->value) : 0;
}

bool RemoteWindowSystem::SendMessageTimeoutA(Hwnd window, std::uint32_t message,
                                             std::uintptr_t wParam, std::intptr_t lParam,
                                             std::uint32_t flags, std::uint32_t timeoutMs,
                                             std::intptr_t* result) {
    if (result) *result = 0;
    Request r;
    r.window = window;
    r.flags = flags;
    r.timeoutMs = std::min(timeoutMs, bridge::kMaxTimeoutMs);
    if (message == kWmSetText) {
        r.op = Op::SendSetText;
        r.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        if (r.text.size() > bridge::kMaxTextBytes) return false;
    } else if (message == kWmGetText) {
        if (lParam == 0 || wParam == 0 || wParam > bridge::kMaxGetTextBytes) return false;
        r.op = Op::SendGetText;
        r.size = static_cast<std::uint32_t>(wParam);
    } else {
        // No other message the module sends carries a pointer.
        if (lParam != 0) return false;
        r.op = Op::SendMessage;
        r.message = message;
        r.wParam = wParam;
    }
    const auto a = Call(r, static_cast<int>(r.timeoutMs));
    if (!a || !a->ok) return false;
    if (message == kWmGetText) {
        char* buffer = reinterpret_cast<char*>(lParam);
        const std::size_t n = std::min(a->bytes.size(), static_cast<std::size_t>(wParam - 1));
        std::memcpy(buffer, a->bytes.data(), n);
        buffer[n] = '\0';
        if (result) *result = static_cast<std::intptr_t>(n);
        return true;
    }
    if (result) *result = static_cast<std::intptr_t>(a->value);
    return true;
}

bool RemoteWindowSystem::PostMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
    if (lParam != 0) return false;
    Request r;
    r.op = Op::PostMessage;
    r.window = window;
    r.message = message;
    r.wParam = wParam;
    const auto a = Call(r);
    return a && a->ok;
}

int RemoteWindowSystem::GetWindowTextLengthA(Hwnd window) {
    Request r;
    r.op = Op::GetWindowTextLength;
    r.window = window;
    const auto a = Call(r);
    return a ? static_cast<int>(a->value) : 0;
}

int RemoteWindowSystem::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = '\0';
    Request r;
    r.op = Op::GetWindowText;
    r.window = window;
    r.size = static_cast<std::uint32_t>(std::min(maxCount, 65536));
    const auto a = Call(r);
    if (!a) return 0;
    const std::size_t n = std::min(a->bytes.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, a->bytes.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::uint32_t RemoteWindowSystem::GetWindowThreadProcessId(Hwnd window, std::uint32_t* processId) {
    if (processId) *processId = 0;
    Request r;
    r.op = Op::GetWindowThreadProcessId;
    r.window = window;
    const auto a = Call(r);
    if (!a) return 0;
    if (processId) *processId = a->processId;
    return static_cast<std::uint32_t>(a->value);
}

ProcessHandle RemoteWindowSystem::OpenProcess(std::uint32_t access, bool inheritHandle,
                                              std::uint32_t processId) {
    Request r;
    r.op = Op::OpenProcess;
    r.access = access;
    r.inherit = inheritHandle;
    r.processId = processId;
    const auto a = Call(r);
    return a ? static_cast<ProcessHandle>(a->value) : 0;
}

bool RemoteWindowSystem::ReadProcessMemory(ProcessHandle process, std::uint64_t address,
                                           void* buffer, std::size_t size, std::size_t* bytesRead) {
    if (bytesRead) *bytesRead = 0;
    if (!buffer || size > bridge::kMaxReadBytes) return false;
    Request r;
    r.op = Op::ReadProcessMemory;
    r.handle = process;
    r.address = address;
    r.size = static_cast<std::uint32_t>(size);
    const auto a = Call(r);
    if (!a || !a->ok) return false;
    const std::size_t n = std::min(a->bytes.size(), size);
    std::memcpy(buffer, a->bytes.data(), n);
    if (bytesRead) *bytesRead = n;
    return true;
}

bool RemoteWindowSystem::CloseHandle(ProcessHandle handle) {
    Request r;
    r.op = Op::CloseHandle;
    r.handle = handle;
    const auto a = Call(r);
    return a && a->ok;
}

bool RemoteWindowSystem::ReadRoomTexts(std::vector<RoomText>& rooms) {
    const double now = Now();
    if (connected() && now >= roomsReadAt_ && now - roomsReadAt_ < options_.sharedReadSeconds) {
        rooms = lastRooms_;
        return true;
    }
    rooms.clear();
    Request r;
    r.op = Op::ReadRoomTexts;
    for (const RoomText& known : lastRooms_) {
        if (r.known.size() >= bridge::kMaxKnownRooms) break;
        r.known.push_back(bridge::KnownRoom{known.room, bridge::TextHash(known.text)});
    }
    auto a = Call(r);
    if (!a) return true;  // no bridge: no room
    std::vector<RoomText> current;
    std::size_t total = 0;
    for (Answer::Room& room : a->rooms) {
        std::string text;
        if (room.changed) {
            text = std::move(room.text);
        } else {
            // Unchanged: the text read before, which the new reading replaces.
            const auto known =
                std::find_if(lastRooms_.begin(), lastRooms_.end(),
                             [&](const RoomText& seen) { return seen.room == room.room; });
            if (known != lastRooms_.end()) text = std::move(known->text);
        }
        // What an unchanged room stands for counts too: the rooms together stay within bounds.
        total += text.size();
        if (total > bridge::kMaxRoomTextsBytes) {
            DropBroken("its rooms' transcripts came to more than was asked for");
            return true;
        }
        current.push_back(RoomText{room.room, std::move(text)});
    }
    lastRooms_ = std::move(current);
    rooms = lastRooms_;
    roomsReadAt_ = Now();
    return true;
}

}  // namespace aol
