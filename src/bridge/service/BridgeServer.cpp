#include "bridge/service/BridgeServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "bridge/protocol/BridgeProtocol.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace bridge {
namespace {

constexpr double kWatchSeconds = 1.0;  // how often the chat client's process is checked
constexpr std::uint32_t kMostHandshakeBytes = 256;  // what a connection may send before proving
constexpr int kMostAcceptsPerPoll = 8;  // so that connections proving themselves are heard first
constexpr int kSendMs = 5000;           // for melodrop to take an answer
constexpr double kRefusalReportSeconds = 1.0;

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

#ifdef _WIN32
using NativeSocket = SOCKET;
void CloseSocket(std::intptr_t s) {
    closesocket(static_cast<NativeSocket>(s));
}
bool WouldBlock() {
    return WSAGetLastError() == WSAEWOULDBLOCK;
}
void NoWaiting(NativeSocket s) {
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}
#else
using NativeSocket = int;
void CloseSocket(std::intptr_t s) {
    ::close(static_cast<NativeSocket>(s));
}
bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}
void NoWaiting(NativeSocket s) {
    ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL, 0) | O_NONBLOCK);
}
#endif

NativeSocket Native(std::intptr_t s) {
    return static_cast<NativeSocket>(s);
}

std::string Seconds(int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", ms / 1000.0);
    return text;
}

// Reads what is there, without waiting: bytes appended, 0 when nothing yet, -1 when the
// connection ended.
int ReadSome(std::intptr_t s, std::string& inbox, std::size_t most) {
    char chunk[16384];
    const auto got = ::recv(Native(s), chunk, static_cast<int>(std::min(sizeof chunk, most)), 0);
    if (got > 0) {
        inbox.append(chunk, static_cast<std::size_t>(got));
        return 1;
    }
    if (got < 0 && WouldBlock()) return 0;
    return -1;
}

// Sends a small message to a connection that is proving itself: it fits in the socket's buffer,
// or the connection is not worth waiting for.
bool SendSmall(std::intptr_t s, const std::string& bytes) {
    const auto n = ::send(Native(s), bytes.data(), static_cast<int>(bytes.size()), 0);
    return n > 0 && static_cast<std::size_t>(n) == bytes.size();
}

}  // namespace

BridgeServer::BridgeServer(aol::WindowSystem& windows, ServerOptions options)
    : guard_(windows, options.processLife), handler_(guard_), options_(std::move(options)) {
    key_ = TokenKey(options_.token).value_or(std::string());
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
#endif
}

BridgeServer::~BridgeServer() {
    for (const Proving& p : proving_) CloseSocket(p.socket);
    if (session_ != kNoSocket) CloseSocket(session_);
    if (listener_ != kNoSocket) CloseSocket(listener_);
#ifdef _WIN32
    WSACleanup();
#endif
}

void BridgeServer::Log(const std::string& line) {
    if (options_.log) options_.log(line);
}

bool BridgeServer::Listen() {
    if (key_.empty()) {
        Log("cannot serve: the token is not 64 hex digits");
        return false;
    }
    const NativeSocket s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (static_cast<std::intptr_t>(s) == kNoSocket) {
        Log("cannot make a socket");
        return false;
    }
#ifndef _WIN32
    int reuse = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
#endif
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // never reachable from other machines
    address.sin_port = htons(options_.port);
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(s, SOMAXCONN) != 0) {
        CloseSocket(static_cast<std::intptr_t>(s));
        Log("cannot listen on 127.0.0.1:" + std::to_string(options_.port) +
            " (is another bridge, or another program, using it?)");
        return false;
    }
    NoWaiting(s);
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listener_ = static_cast<std::intptr_t>(s);
    return true;
}

void BridgeServer::Poll(int timeoutMs) {
    if (listener_ == kNoSocket) return;
    WatchClient();
    const double now = Now();
    fd_set readable;
    FD_ZERO(&readable);
    NativeSocket highest = Native(listener_);
    const auto watch = [&](Socket s) {
        FD_SET(Native(s), &readable);
        highest = std::max(highest, Native(s));
    };
    watch(listener_);
    if (session_ != kNoSocket) watch(session_);
    double wakeAt = now + timeoutMs / 1000.0;
    for (const Proving& p : proving_) {
        watch(p.socket);
        wakeAt = std::min(wakeAt, p.deadline);  // a connection that has not proven itself in time
    }
    // A watching session's looks are never a second apart: the client is watched at one of
    // them rather than at a wake-up of its own.
    wakeAt = std::min(wakeAt, watching_ ? nextLook_ : lastWatch_ + kWatchSeconds);
    if (unreported_ > 0) wakeAt = std::min(wakeAt, refusalsLoggedAt_ + kRefusalReportSeconds);
    const int waitMs = std::max(0, static_cast<int>((wakeAt - now) * 1000));
    timeval wait{};
    wait.tv_sec = waitMs / 1000;
    wait.tv_usec = (waitMs % 1000) * 1000;
    const int ready = ::select(static_cast<int>(highest) + 1, &readable, nullptr, nullptr, &wait);
    // The session first, then the handshakes under way, then newcomers: whoever is further
    // along is heard before those who came later.
    if (ready > 0 && session_ != kNoSocket && FD_ISSET(Native(session_), &readable))
        ReadFromSession();
    for (std::size_t i = 0; i < proving_.size();) {
        Proving& p = proving_[i];
        const bool keep = ready <= 0 || !FD_ISSET(Native(p.socket), &readable) || ReadProving(p);
        if (keep && Now() < p.deadline) {
            ++i;
            continue;
        }
        if (keep) Refuse("it did not prove itself within " + Seconds(options_.handshakeMs) + " s");
        if (p.socket != kNoSocket) CloseSocket(p.socket);
        proving_.erase(proving_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (ready > 0 && FD_ISSET(Native(listener_), &readable)) Accept();
    LookAtRooms();
    ReportRefusals(Now());
}

void BridgeServer::Accept() {
    for (int i = 0; i < kMostAcceptsPerPoll; ++i) {
        const NativeSocket s = ::accept(Native(listener_), nullptr, nullptr);
        if (static_cast<std::intptr_t>(s) == kNoSocket) return;
        NoWaiting(s);
        int noDelay = 1;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                   sizeof noDelay);
        if (proving_.size() >= std::max<std::size_t>(options_.mostProving, 1)) {
            // Room for the newcomer: the connection that has waited longest without saying
            // Hello goes first, else the one that has waited longest for its proof. A melodrop
            // proves itself within a round trip of its Hello, long before it is the oldest.
            auto oldest = std::min_element(proving_.begin(), proving_.end(),
                                           [](const Proving& a, const Proving& b) {
                                               if (a.greeted != b.greeted) return !a.greeted;
                                               return a.since < b.since;
                                           });
            CloseSocket(oldest->socket);
            proving_.erase(oldest);
            Refuse(
                "too many connections proving themselves at once: the longest waiting was "
                "closed");
        }
        Proving p;
        p.socket = static_cast<std::intptr_t>(s);
        p.since = Now();
        p.deadline = p.since + options_.handshakeMs / 1000.0;
        proving_.push_back(std::move(p));
    }
}

bool BridgeServer::ReadProving(Proving& p) {
    for (;;) {
        std::string message;
        const int taken = TakeFrame(p.inbox, message, kMostHandshakeBytes);
        if (taken < 0) {
            Refuse("it sent a frame over the handshake's size limit");
            return false;
        }
        if (taken == 1) {
            if (!Handshake(p, message)) return false;
            if (p.socket == kNoSocket) return false;  // it took the session
            continue;
        }
        const std::size_t room = kMostHandshakeBytes + 4;
        if (p.inbox.size() >= room) return true;
        const int got = ReadSome(p.socket, p.inbox, room - p.inbox.size());
        if (got == 0) return true;
        if (got < 0) {
            Refuse("it went away before proving itself");
            return false;
        }
    }
}

bool BridgeServer::Handshake(Proving& p, const std::string& message) {
    const std::optional<Request> request = ParseRequest(message);
    if (!p.greeted) {
        if (!request || request->op != Op::Hello) {
            Refuse("it did not start with the handshake (not a melodrop?)");
            return false;
        }
        if (request->version != kProtocolVersion) {
            // Said so that either side can tell: version 2 understands a refusal flag, later
            // versions read the version this bridge speaks.
            Answer mine;
            mine.version = kProtocolVersion;
            SendSmall(p.socket, Frame(request->version == 2 ? std::string(1, '\0')
                                                            : EncodeAnswer(Op::Hello, mine)));
            Refuse("it speaks protocol version " + std::to_string(request->version) +
                   ", this bridge speaks version " + std::to_string(kProtocolVersion) +
                   " (use a melodrop and a bridge of one build)");
            return false;
        }
        const std::optional<Nonce> theirs = FromBytes<kNonceBytes>(request->nonce);
        const std::optional<Nonce> ours = MakeNonce();
        const std::optional<Digest> proof =
            theirs && ours ? Proof(key_, Role::Bridge, *theirs, *ours) : std::nullopt;
        if (!proof) {
            Refuse("no randomness or no HMAC for its handshake");
            return false;
        }
        Answer hello;
        hello.version = kProtocolVersion;
        hello.nonce = AsBytes(*ours);
        hello.proof = AsBytes(*proof);
        if (!SendSmall(p.socket, Frame(EncodeAnswer(Op::Hello, hello)))) {
            Refuse("it did not take the handshake's answer");
            return false;
        }
        p.melodropNonce = *theirs;
        p.bridgeNonce = *ours;
        p.greeted = true;
        p.since = Now();
        return true;
    }
    const std::optional<Digest> expected =
        Proof(key_, Role::Melodrop, p.melodropNonce, p.bridgeNonce);
    const std::optional<Digest> given = request && request->op == Op::Prove
                                            ? FromBytes<sizeof(Digest)>(request->proof)
                                            : std::nullopt;
    if (!expected || !given || !SameDigest(*expected, *given)) {
        Answer refused;
        SendSmall(p.socket, Frame(EncodeAnswer(Op::Prove, refused)));
        Refuse("it could not prove that it knows the token");
        return false;
    }
    TakeSession(p);
    return true;
}

void BridgeServer::TakeSession(Proving& p) {
    const bool again = session_ != kNoSocket;
    if (again) EndSession("");
    // The client as it is now: the welcome names its process.
    lastWatch_ = -1e9;
    WatchClient();
    session_ = p.socket;
    p.socket = kNoSocket;
    inbox_ = std::move(p.inbox);
    Answer welcome;
    welcome.ok = true;
    welcome.processId = reportedClient_;
    if (!SendToSession(Frame(EncodeAnswer(Op::Prove, welcome)))) return;
    Log(again ? "melodrop connected again: its earlier connection is closed"
              : "melodrop connected");
}

void BridgeServer::ReadFromSession() {
    for (;;) {
        std::string message;
        const int taken = TakeFrame(inbox_, message, kMaxRequestBytes);
        if (taken < 0) {
            EndSession("closed melodrop's connection: a request over the size limit");
            return;
        }
        if (taken == 1) {
            if (!Serve(message)) return;
            continue;
        }
        const int got = ReadSome(session_, inbox_, kMaxRequestBytes);
        if (got == 0) break;
        if (got < 0) {
            EndSession("melodrop disconnected");
            return;
        }
    }
    // A large request's buffer is not kept.
    if (inbox_.capacity() > (64u << 10) && inbox_.size() < (64u << 10))
        std::string(inbox_).swap(inbox_);
}

bool BridgeServer::Serve(const std::string& message) {
    const std::optional<Request> request = ParseRequest(message);
    if (!request || request->op == Op::Hello || request->op == Op::Prove) {
        EndSession("closed melodrop's connection: a malformed request");
        return false;
    }
    // A request is a stir: a command under way, whose answer is about to appear in the room.
    const double now = Now();
    pace_.Stir(now);
    handler_.SetWalkSeconds(pace_.WalkSeconds(now));
    nextLook_ = std::min(nextLook_, now + pace_.Interval(now));
    if (request->op == Op::WatchRooms) {
        watching_ = true;
        // melodrop reads every room right after asking (that is the protocol): the first word
        // is owed only after that read.
        told_ = true;
        nextLook_ = now;
        Answer ok;
        ok.ok = true;
        return SendToSession(Frame(AnswerMessage(Op::WatchRooms, ok)));
    }
    if (request->op == Op::ReadRoomTexts) told_ = false;
    const Answer answer = handler_.Handle(*request);
    return SendToSession(Frame(AnswerMessage(request->op, answer)));
}

bool BridgeServer::SendToSession(const std::string& bytes) {
    std::size_t sent = 0;
    const double deadline = Now() + kSendMs / 1000.0;
    while (sent < bytes.size() && session_ != kNoSocket) {
        const auto n =
            ::send(Native(session_), bytes.data() + sent,
                   static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1u << 20)), 0);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && WouldBlock() && Now() < deadline) {
            fd_set writable;
            FD_ZERO(&writable);
            FD_SET(Native(session_), &writable);
            timeval wait{0, 50000};
            ::select(static_cast<int>(Native(session_)) + 1, nullptr, &writable, nullptr, &wait);
            continue;
        }
        EndSession(n < 0 && WouldBlock() ? "closed melodrop's connection: it took no answer for " +
                                               std::to_string(kSendMs / 1000) + " s"
                                         : "melodrop disconnected");
        return false;
    }
    return session_ != kNoSocket;
}

void BridgeServer::EndSession(const std::string& why) {
    if (session_ == kNoSocket) return;
    // Said before the hang-up, so that the console tells why by the time the other side sees it.
    if (!why.empty()) Log(why);
    CloseSocket(session_);
    session_ = kNoSocket;
    watching_ = false;
    told_ = false;
    std::string().swap(inbox_);
    guard_.CloseAll();
}

void BridgeServer::LookAtRooms() {
    if (!watching_ || session_ == kNoSocket) return;
    const double now = Now();
    if (now < nextLook_) return;
    nextLook_ = now + pace_.Interval(now);
    if (told_) return;
    handler_.SetWalkSeconds(pace_.WalkSeconds(now));
    if (!handler_.RoomsChanged(now)) return;
    pace_.Stir(now);
    nextLook_ = now + pace_.Interval(now);
    told_ = true;
    SendToSession(Frame(RoomsChangedMessage()));
}

void BridgeServer::WatchClient() {
    const double now = Now();
    if (now - lastWatch_ < kWatchSeconds) return;
    lastWatch_ = now;
    const std::uint32_t pid = guard_.Refresh();
    guard_.ReportLookAlikes([this](const std::string& line) { Log(line); });
    if (clientReported_ && pid == reportedClient_) return;
    if (pid != 0 && reportedClient_ != 0) {
        Log("the chat client is now process " + std::to_string(pid) + " (process " +
            std::to_string(reportedClient_) + " has ended)");
    } else if (pid != 0) {
        Log("chat client found (process " + std::to_string(pid) + ")");
    } else if (reportedClient_ != 0) {
        Log("chat client gone");
    } else {
        Log("chat client not found yet: waiting for its \"AOL Frame25\" window");
    }
    clientReported_ = true;
    reportedClient_ = pid;
    if (session_ != kNoSocket) SendToSession(Frame(ClientProcessMessage(pid)));
}

void BridgeServer::Refuse(const std::string& why) {
    const double now = Now();
    lastRefusal_ = why;
    ++unreported_;
    ReportRefusals(now);
}

void BridgeServer::ReportRefusals(double now) {
    if (unreported_ == 0 || now - refusalsLoggedAt_ < kRefusalReportSeconds) return;
    Log(unreported_ == 1
            ? "refused a connection: " + lastRefusal_
            : "refused " + std::to_string(unreported_) +
                  " connections since the last report (the last: " + lastRefusal_ + ")");
    refusalsLoggedAt_ = now;
    unreported_ = 0;
}

}  // namespace bridge
