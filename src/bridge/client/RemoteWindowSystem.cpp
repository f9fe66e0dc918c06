#include "bridge/client/RemoteWindowSystem.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

namespace aol {
namespace {

using bridge::Answer;
using bridge::Op;
using bridge::Request;

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::optional<std::string> Name(const char* s) {
    if (!s) return std::nullopt;
    return std::string(s);
}

// The token as the bridge wrote it, or "" when the file cannot be read.
std::string ReadToken(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string token(bridge::kTokenChars + 1, '\0');
    in.read(token.data(), static_cast<std::streamsize>(token.size()));
    token.resize(static_cast<std::size_t>(in.gcount()));
    while (!token.empty() && (token.back() == '\n' || token.back() == '\r')) token.pop_back();
    return token.size() == bridge::kTokenChars ? token : std::string();
}

}  // namespace

RemoteWindowSystem::RemoteWindowSystem(RemoteOptions options) : options_(std::move(options)) {}

RemoteWindowSystem::~RemoteWindowSystem() {
    if (socket_ >= 0) ::close(socket_);
}

void RemoteWindowSystem::Log(const std::string& line) {
    if (options_.log) options_.log(line);
}

bool RemoteWindowSystem::EnsureConnected() {
    if (socket_ >= 0) return true;
    const double now = Now();
    if (now < nextAttempt_) return false;
    nextAttempt_ = now + options_.retrySeconds;
    return Connect();
}

bool RemoteWindowSystem::Connect() {
    const std::string token = ReadToken(options_.tokenFile);
    if (token.empty()) return false;
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(options_.port);
    if (::inet_pton(AF_INET, options_.host.c_str(), &address.sin_addr) != 1) {
        ::close(s);
        return false;
    }
    // Connect without waiting longer than connectMs.
    const int flags = ::fcntl(s, F_GETFL, 0);
    ::fcntl(s, F_SETFL, flags | O_NONBLOCK);
    int rc = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (rc != 0 && errno == EINPROGRESS) {
        pollfd p{s, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        if (::poll(&p, 1, options_.connectMs) == 1 &&
            ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
            rc = 0;
        }
    }
    if (rc != 0) {
        ::close(s);
        return false;
    }
    int noDelay = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    socket_ = s;
    inbox_.clear();
    rooms_.clear();
    if (connectionListener_) connectionListener_();

    Request hello;
    hello.op = Op::Hello;
    hello.version = bridge::kProtocolVersion;
    hello.token = token;
    Answer answer;
    if (!Exchange(bridge::Frame(bridge::EncodeRequest(hello)), Op::Hello, options_.answerMarginMs,
                  answer) ||
        !answer.ok) {
        Disconnect(everConnected_ ? ""
                                  : "the bridge refused the connection: a wrong token, or a "
                                    "bridge of another version (this melodrop speaks protocol "
                                    "version " +
                                        std::to_string(bridge::kProtocolVersion) + ")");
        return false;
    }
    everConnected_ = true;
    Log("connected to the bridge on " + options_.host + ":" + std::to_string(options_.port));
    if (changeListener_) {
        Request watch;
        watch.op = Op::WatchRooms;
        if (!Exchange(bridge::Frame(bridge::EncodeRequest(watch)), Op::WatchRooms,
                      options_.answerMarginMs, answer)) {
            return false;
        }
        HeardChange();  // the rooms may have changed while the bridge was away
    }
    return true;
}

void RemoteWindowSystem::setConnectionListener(std::function<void()> listener) {
    connectionListener_ = std::move(listener);
}

void RemoteWindowSystem::setChangeListener(std::function<void()> listener) {
    changeListener_ = std::move(listener);
}

void RemoteWindowSystem::HeardChange() {
    roomsReadAt_ = -1e9;  // the next read asks anew
    if (changeListener_) changeListener_();
}

bool RemoteWindowSystem::TakeChangeWords() {
    // A word of change is an empty frame; any other frame here is out of turn.
    while (inbox_.size() >= 4) {
        if (inbox_.compare(0, 4, std::string(4, '\0')) != 0) return false;
        inbox_.erase(0, 4);
        HeardChange();
    }
    return true;
}

void RemoteWindowSystem::Drain() {
    if (socket_ < 0) {
        if (changeListener_) EnsureConnected();
        return;
    }
    for (;;) {
        pollfd p{socket_, POLLIN, 0};
        if (::poll(&p, 1, 0) != 1) break;
        char chunk[4096];
        const ssize_t got = ::recv(socket_, chunk, sizeof chunk, 0);
        if (got <= 0) {
            Disconnect("lost the bridge");
            HeardChange();  // the rooms are gone for the program
            return;
        }
        inbox_.append(chunk, static_cast<std::size_t>(got));
        if (inbox_.size() > 4096) break;
    }
    if (!TakeChangeWords()) Disconnect("lost the bridge: an answer nobody asked for");
}

void RemoteWindowSystem::Disconnect(const std::string& why) {
    if (socket_ < 0) return;
    ::close(socket_);
    socket_ = -1;
    inbox_.clear();
    rooms_.clear();
    lastRooms_.clear();
    roomsReadAt_ = -1e9;
    nextAttempt_ = Now() + options_.retrySeconds;
    if (!why.empty()) Log(why);
    if (connectionListener_) connectionListener_();
}

bool RemoteWindowSystem::Exchange(const std::string& frame, Op op, int waitMs, Answer& answer) {
    std::size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t n = ::send(socket_, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{socket_, POLLOUT, 0};
            if (::poll(&p, 1, waitMs) == 1) continue;
        }
        Disconnect("lost the bridge");
        return false;
    }
    const double deadline = Now() + waitMs / 1000.0;
    for (;;) {
        std::string message;
        const int taken = bridge::TakeFrame(inbox_, message, bridge::kMaxAnswerBytes);
        if (taken < 0) {
            Disconnect("lost the bridge: an answer over the size limit");
            return false;
        }
        if (taken == 1 && message.empty() && changeListener_) {
            HeardChange();  // the bridge's word of a change, ahead of the answer
            continue;
        }
        if (taken == 1) {
            const std::optional<Answer> parsed = bridge::ParseAnswer(op, message);
            if (!parsed) {
                Disconnect("lost the bridge: a malformed answer");
                return false;
            }
            answer = *parsed;
            ++exchanges_;
            return true;
        }
        const int left = static_cast<int>((deadline - Now()) * 1000);
        pollfd p{socket_, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, left) != 1) {
            Disconnect("lost the bridge: it did not answer in time");
            return false;
        }
        char chunk[65536];
        const ssize_t got = ::recv(socket_, chunk, sizeof chunk, 0);
        if (got <= 0) {
            Disconnect("lost the bridge");
            return false;
        }
        inbox_.append(chunk, static_cast<std::size_t>(got));
    }
}

std::optional<Answer> RemoteWindowSystem::Call(const Request& request, int boundMs) {
    // Whatever else the program asks of the client may change a room: the next read asks anew.
    if (request.op != Op::ReadRoomTexts) roomsReadAt_ = -1e9;
    if (!EnsureConnected()) return std::nullopt;
    Answer answer;
    if (!Exchange(bridge::Frame(bridge::EncodeRequest(request)), request.op,
                  boundMs + options_.answerMarginMs, answer)) {
        return std::nullopt;
    }
    return answer;
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
    for (const auto& [room, text] : rooms_) {
        if (r.known.size() >= bridge::kMaxKnownRooms) break;
        r.known.push_back(bridge::KnownRoom{room, bridge::TextHash(text)});
    }
    const auto a = Call(r);
    if (!a) return true;  // no bridge: no room
    std::map<Hwnd, std::string> current;
    for (const Answer::Room& room : a->rooms) {
        std::string text;
        if (room.changed) {
            text = room.text;
        } else {
            const auto known = rooms_.find(room.room);
            if (known != rooms_.end()) text = known->second;
        }
        rooms.push_back(RoomText{room.room, text});
        current.emplace(room.room, std::move(text));
    }
    rooms_ = std::move(current);
    lastRooms_ = rooms;
    roomsReadAt_ = Now();
    return true;
}

}  // namespace aol
