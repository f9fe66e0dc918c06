#include "bridge/service/BridgeServer.h"

#include <chrono>

#include "bridge/protocol/BridgeProtocol.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace bridge {
namespace {

constexpr double kWatchSeconds = 2.0;  // how often the chat client's presence is checked

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

#ifdef _WIN32
using NativeSocket = SOCKET;
void CloseSocket(std::intptr_t s) {
    closesocket(static_cast<NativeSocket>(s));
}
#else
using NativeSocket = int;
void CloseSocket(std::intptr_t s) {
    ::close(static_cast<NativeSocket>(s));
}
#endif

NativeSocket Native(std::intptr_t s) {
    return static_cast<NativeSocket>(s);
}

// Constant-time comparison: the time taken does not tell how much of a guess was right.
bool SameToken(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) return false;
    unsigned char diff = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return diff == 0;
}

}  // namespace

BridgeServer::BridgeServer(aol::WindowSystem& windows, ServerOptions options)
    : guard_(windows), handler_(guard_), options_(std::move(options)) {
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
#endif
}

BridgeServer::~BridgeServer() {
    if (client_ != kNoSocket) CloseSocket(client_);
    if (listener_ != kNoSocket) CloseSocket(listener_);
#ifdef _WIN32
    WSACleanup();
#endif
}

void BridgeServer::Log(const std::string& line) {
    if (options_.log) options_.log(line);
}

bool BridgeServer::Listen() {
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
        ::listen(s, 4) != 0) {
        CloseSocket(static_cast<std::intptr_t>(s));
        Log("cannot listen on 127.0.0.1:" + std::to_string(options_.port) +
            " (is another bridge running?)");
        return false;
    }
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listener_ = static_cast<std::intptr_t>(s);
    Log("listening on 127.0.0.1:" + std::to_string(port_));
    return true;
}

void BridgeServer::Poll(int timeoutMs) {
    if (listener_ == kNoSocket) return;
    WatchClient();
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(Native(listener_), &readable);
    NativeSocket highest = Native(listener_);
    if (client_ != kNoSocket) {
        FD_SET(Native(client_), &readable);
        if (Native(client_) > highest) highest = Native(client_);
    }
    if (watching_) {
        const int untilLook = static_cast<int>((nextLook_ - Now()) * 1000);
        if (untilLook < timeoutMs) timeoutMs = untilLook < 0 ? 0 : untilLook;
    }
    // A connection that has not shown the token wakes the loop when its time is up.
    if (client_ != kNoSocket && !authenticated_) {
        const int left =
            static_cast<int>((acceptedAt_ + options_.handshakeMs / 1000.0 - Now()) * 1000);
        if (left < timeoutMs) timeoutMs = left < 0 ? 0 : left;
    }
    timeval wait{};
    wait.tv_sec = timeoutMs / 1000;
    wait.tv_usec = (timeoutMs % 1000) * 1000;
    const int ready = ::select(static_cast<int>(highest) + 1, &readable, nullptr, nullptr, &wait);
    if (ready > 0 && client_ != kNoSocket && FD_ISSET(Native(client_), &readable)) {
        ReadFromClient();
    }
    if (ready > 0 && FD_ISSET(Native(listener_), &readable)) Accept();
    LookAtRooms();
    if (client_ != kNoSocket && !authenticated_ &&
        Now() >= acceptedAt_ + options_.handshakeMs / 1000.0) {
        Drop("refused a connection: it did not present the token in time");
    }
}

void BridgeServer::Accept() {
    const NativeSocket s = ::accept(Native(listener_), nullptr, nullptr);
    if (static_cast<std::intptr_t>(s) == kNoSocket) return;
    if (client_ != kNoSocket) {
        Log("refused a second connection: one melodrop at a time");
        CloseSocket(static_cast<std::intptr_t>(s));
        return;
    }
    int noDelay = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
    client_ = static_cast<std::intptr_t>(s);
    authenticated_ = false;
    acceptedAt_ = Now();
    inbox_.clear();
}

void BridgeServer::ReadFromClient() {
    char chunk[16384];
    const auto got = ::recv(Native(client_), chunk, sizeof chunk, 0);
    if (got <= 0) {
        Drop(authenticated_ ? "melodrop disconnected" : "");
        return;
    }
    inbox_.append(chunk, static_cast<std::size_t>(got));
    for (;;) {
        std::string message;
        const int taken = TakeFrame(inbox_, message, kMaxRequestBytes);
        if (taken < 0) {
            Drop("closed the connection: a request over the size limit");
            return;
        }
        if (taken == 0) return;
        if (!Serve(message)) return;
    }
}

bool BridgeServer::Serve(const std::string& message) {
    const std::optional<Request> request = ParseRequest(message);
    if (!authenticated_) {
        if (request && request->op == Op::Hello && request->version != kProtocolVersion) {
            Drop("refused a connection: it speaks protocol version " +
                 std::to_string(request->version) + ", this bridge speaks version " +
                 std::to_string(kProtocolVersion) + " (use a melodrop and a bridge of one build)");
            return false;
        }
        if (!request || request->op != Op::Hello || !SameToken(request->token, options_.token)) {
            Drop("refused a connection: it did not present the token");
            return false;
        }
        authenticated_ = true;
        Answer ok;
        ok.ok = true;
        if (!SendAll(Frame(EncodeAnswer(Op::Hello, ok)))) return false;
        Log("melodrop connected");
        lastWatch_ = -1e9;  // say at once whether the chat client is there
        WatchClient();
        return true;
    }
    if (!request || request->op == Op::Hello) {
        Drop("closed the connection: a malformed request");
        return false;
    }
    if (request->op == Op::WatchRooms) {
        watching_ = true;
        // melodrop reads every room right after asking (that is the protocol): the first word
        // is owed only after that read.
        told_ = true;
        nextLook_ = Now();
        Answer ok;
        ok.ok = true;
        return SendAll(Frame(EncodeAnswer(Op::WatchRooms, ok)));
    }
    if (request->op == Op::ReadRoomTexts) told_ = false;
    const Answer answer = handler_.Handle(*request);
    return SendAll(Frame(EncodeAnswer(request->op, answer)));
}

bool BridgeServer::SendAll(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const auto n =
            ::send(Native(client_), bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) {
            Drop("melodrop disconnected");
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void BridgeServer::Drop(const std::string& why) {
    if (client_ == kNoSocket) return;
    // Said before the hang-up, so that the console tells why by the time the other side sees it.
    if (!why.empty()) Log(why);
    CloseSocket(client_);
    client_ = kNoSocket;
    authenticated_ = false;
    watching_ = false;
    told_ = false;
    inbox_.clear();
    guard_.CloseAll();
}

void BridgeServer::LookAtRooms() {
    if (!watching_ || client_ == kNoSocket) return;
    const double now = Now();
    if (now < nextLook_) return;
    nextLook_ = now + kLookSeconds;
    if (told_ || !handler_.RoomsChanged(now)) return;
    told_ = true;
    SendAll(Frame(std::string_view()));  // an empty frame: look again
}

void BridgeServer::WatchClient() {
    const double now = Now();
    if (now - lastWatch_ < kWatchSeconds) return;
    lastWatch_ = now;
    const std::uint32_t pid = guard_.Refresh();
    const int state = pid != 0 ? 1 : 0;
    if (state == clientState_) return;
    if (state == 1) {
        Log("chat client found (process " + std::to_string(pid) + ")");
    } else if (clientState_ == 1) {
        Log("chat client gone");
    } else {
        Log("chat client not found yet: waiting for its \"AOL Frame25\" window");
    }
    clientState_ = state;
}

}  // namespace bridge
