#include "bridge/client/BridgeLink.h"

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

#include "bridge/protocol/Handshake.h"

namespace aol {
namespace {

using bridge::Answer;
using bridge::Kind;
using bridge::Op;
using bridge::Request;

constexpr std::size_t kChunk = 64u << 10;
// Notices of the client's process that would be more than any client's coming and going.
constexpr std::size_t kMostProcessNoticesPerSecond = 10;

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

int MillisecondsUntil(double deadline) {
    const double left = (deadline - Now()) * 1000.0;
    return left <= 0 ? 0 : static_cast<int>(left) + 1;
}

}  // namespace

BridgeLink::~BridgeLink() {
    Close();
}

void BridgeLink::Close() {
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
    std::string().swap(inbox_);
    owed_.clear();
    wordsSinceRead_ = 0;
    processNotices_.clear();
}

void BridgeLink::Shrink() {
    // The buffer that held a large frame goes back once the frame is taken.
    if (inbox_.capacity() > 4 * kChunk && inbox_.size() <= kChunk) std::string(inbox_).swap(inbox_);
}

BridgeLink::Opening BridgeLink::Open(const std::string& host, std::uint16_t port,
                                     const std::string& key, int connectMs, int handshakeMs) {
    Close();
    Opening opening;
    const std::string where = host + ":" + std::to_string(port);
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0) {
        opening.detail = std::string("no socket: ") + std::strerror(errno);
        return opening;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
        ::close(s);
        opening.detail = "not an address: " + host;
        return opening;
    }
    int rc = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    if (rc != 0 && errno == EINPROGRESS) {
        pollfd p{s, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        if (::poll(&p, 1, connectMs) == 1 &&
            ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
            rc = 0;
        }
    }
    if (rc != 0) {
        ::close(s);
        opening.result = Opened::NoListener;
        opening.detail = "nothing listens on " + where;
        return opening;
    }
    int noDelay = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    socket_ = s;

    const double deadline = Now() + handshakeMs / 1000.0;
    const std::optional<bridge::Nonce> ours = bridge::MakeNonce();
    if (!ours) {
        Close();
        opening.detail = "no randomness for the handshake";
        return opening;
    }
    Request hello;
    hello.op = Op::Hello;
    hello.version = bridge::kProtocolVersion;
    hello.nonce = bridge::AsBytes(*ours);
    std::string why;
    std::string message;
    opening.result = Opened::NotBridge;
    if (!SendFrame(bridge::Frame(bridge::EncodeRequest(hello)), deadline, why)) {
        opening.detail = "it closed the connection at once";
        Close();
        return opening;
    }
    const int got = HandshakeFrame(bridge::AnswerLimit(hello), deadline, message);
    const std::optional<Answer> answer =
        got == 1 ? bridge::ParseAnswer(hello, message) : std::nullopt;
    if (!answer) {
        opening.detail = got == 0  ? "it did not answer the handshake in time"
                         : got < 0 ? "it closed the connection at the handshake (a bridge of "
                                     "another protocol version does so too)"
                                   : "it answered the handshake with something else";
        Close();
        return opening;
    }
    if (answer->version != bridge::kProtocolVersion) {
        opening.result = Opened::OtherVersion;
        opening.bridgeVersion = answer->version;
        opening.detail = "it speaks protocol version " + std::to_string(answer->version);
        Close();
        return opening;
    }
    // The bridge's proof, checked before anything of melodrop's goes out.
    const std::optional<bridge::Nonce> theirs =
        bridge::FromBytes<bridge::kNonceBytes>(answer->nonce);
    const std::optional<bridge::Digest> given =
        bridge::FromBytes<sizeof(bridge::Digest)>(answer->proof);
    const std::optional<bridge::Digest> expected =
        theirs ? bridge::Proof(key, bridge::Role::Bridge, *ours, *theirs) : std::nullopt;
    if (!given || !expected || !bridge::SameDigest(*given, *expected)) {
        opening.detail = "it could not prove that it knows the token";
        Close();
        return opening;
    }
    const std::optional<bridge::Digest> mine =
        bridge::Proof(key, bridge::Role::Melodrop, *ours, *theirs);
    Request prove;
    prove.op = Op::Prove;
    prove.proof = mine ? bridge::AsBytes(*mine) : std::string();
    opening.result = Opened::ProofRefused;
    if (!mine || !SendFrame(bridge::Frame(bridge::EncodeRequest(prove)), deadline, why)) {
        opening.detail = "the connection ended at the handshake";
        Close();
        return opening;
    }
    const int welcomed = HandshakeFrame(bridge::AnswerLimit(prove), deadline, message);
    const std::optional<Answer> welcome =
        welcomed == 1 ? bridge::ParseAnswer(prove, message) : std::nullopt;
    if (!welcome || !welcome->ok) {
        opening.detail = welcomed == 0 ? "it did not take melodrop's proof in time"
                                       : "it did not take melodrop's proof";
        Close();
        return opening;
    }
    opening.result = Opened::Ok;
    opening.clientProcess = welcome->processId;
    Shrink();
    return opening;
}

int BridgeLink::HandshakeFrame(std::uint32_t limit, double deadline, std::string& message) {
    for (;;) {
        const int taken = bridge::TakeFrame(inbox_, message, limit);
        if (taken != 0) return taken == 1 ? 1 : 2;  // 2: a frame too large for a handshake
        const int got = Receive(deadline);
        if (got <= 0) return got;
    }
}

bool BridgeLink::SendFrame(const std::string& frame, double deadline, std::string& why) {
    std::size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t n = ::send(socket_, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            pollfd p{socket_, POLLOUT, 0};
            if (::poll(&p, 1, MillisecondsUntil(deadline)) == 1) continue;
            why = "it took no request in time";
            return false;
        }
        why = "the connection ended";
        return false;
    }
    return true;
}

int BridgeLink::Receive(double deadline) {
    for (;;) {
        char chunk[kChunk];
        const ssize_t got = ::recv(socket_, chunk, sizeof chunk, 0);
        if (got > 0) {
            inbox_.append(chunk, static_cast<std::size_t>(got));
            return 1;
        }
        if (got == 0) return -1;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
        const int waitMs = MillisecondsUntil(deadline);
        if (waitMs <= 0) return 0;
        pollfd p{socket_, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0) return 0;
    }
}

int BridgeLink::TakeFrames(const Owed* awaited, std::string& message, std::string& why) {
    for (;;) {
        // The next answer is the oldest owed one, else the awaited one; a notice may come first.
        const Owed* next = !owed_.empty() ? &owed_.front() : awaited;
        const std::uint32_t limit = std::max(bridge::kMaxNoticeBytes, next ? next->limit : 0u);
        const int taken = bridge::TakeFrame(inbox_, message, limit);
        if (taken < 0) {
            why = next ? "it sent more than was asked for" : "it sent a frame nobody asked for";
            return -1;
        }
        if (taken == 0) return 0;
        const std::optional<Kind> kind = bridge::KindOf(message);
        if (!kind) {
            why = "it sent a frame of no known kind";
            return -1;
        }
        if (*kind == Kind::RoomsChanged) {
            // Once until the next read: a bridge that says it again is not heard on.
            if (message.size() != 1 || ++wordsSinceRead_ > 1) {
                why = "it said again that a room changed before the rooms were read";
                return -1;
            }
            if (onRoomsChanged) onRoomsChanged();
            continue;
        }
        if (*kind == Kind::ClientProcess) {
            const std::optional<std::uint32_t> process = bridge::ParseClientProcess(message);
            const double now = Now();
            processNotices_.push_back(now);
            while (!processNotices_.empty() && processNotices_.front() < now - 1.0)
                processNotices_.pop_front();
            if (!process || processNotices_.size() > kMostProcessNoticesPerSecond) {
                why = "it kept telling of the chat client's process";
                return -1;
            }
            if (onClientProcess) onClientProcess(*process);
            continue;
        }
        if (!next) {
            why = "it sent an answer nobody asked for";
            return -1;
        }
        if (next->op == Op::ReadRoomTexts) wordsSinceRead_ = 0;
        if (next->op == Op::WatchRooms) wordsSinceRead_ = 1;  // the first word comes after a read
        if (!owed_.empty()) {
            owed_.pop_front();  // the late answer to a request given up on: passed over
            continue;
        }
        message.erase(0, 1);
        return 1;
    }
}

BridgeLink::Result BridgeLink::Exchange(const Request& request, double waitSeconds, Answer& answer,
                                        std::string& why) {
    if (socket_ < 0) {
        why = "not connected";
        return Result::Ended;
    }
    const double deadline = Now() + waitSeconds;
    const Owed awaited{request.op, bridge::AnswerLimit(request)};
    if (!SendFrame(bridge::Frame(bridge::EncodeRequest(request)), deadline, why)) {
        Close();
        return Result::Ended;
    }
    for (;;) {
        std::string message;
        const int taken = TakeFrames(&awaited, message, why);
        if (taken < 0) {
            Close();
            return Result::Broken;
        }
        if (taken == 1) {
            Shrink();
            const std::optional<Answer> parsed = bridge::ParseAnswer(request, message);
            if (!parsed) {
                why = "it answered with something else than was asked for";
                Close();
                return Result::Broken;
            }
            answer = *parsed;
            ++exchanges_;
            return Result::Ok;
        }
        const int got = Receive(deadline);
        if (got < 0) {
            why = "the connection ended";
            Close();
            return Result::Ended;
        }
        if (got == 0) {
            owed_.push_back(awaited);
            return Result::Late;
        }
    }
}

BridgeLink::Result BridgeLink::Drain(std::string& why) {
    if (socket_ < 0) {
        why = "not connected";
        return Result::Ended;
    }
    for (;;) {
        std::string message;
        if (TakeFrames(nullptr, message, why) < 0) {
            Close();
            return Result::Broken;
        }
        const int got = Receive(0);
        if (got < 0) {
            why = "the connection ended";
            Close();
            return Result::Ended;
        }
        if (got == 0) break;
    }
    Shrink();
    return Result::Ok;
}

}  // namespace aol
