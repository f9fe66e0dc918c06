#pragma once
// melodrop-bridge's server: serves the bridge protocol on the loopback address only, to one
// connection at a time, which must present the token first. Single-threaded: it waits for the
// next request, carries it out on the chat client (every call bounded) and answers.
// Plain sockets (BSD on Linux, Winsock on Windows), so that tests run it on Linux too.
#include <cstdint>
#include <functional>
#include <string>

#include "aol/WindowSystem.h"
#include "bridge/service/ClientGuard.h"
#include "bridge/service/RequestHandler.h"

namespace bridge {

struct ServerOptions {
    std::uint16_t port = kDefaultPort;  // 0: any free port (tests)
    std::string token;
    std::function<void(const std::string&)> log;  // one line per event, for the console
    int handshakeMs = 2000;                       // for the token to arrive
};

class BridgeServer {
public:
    BridgeServer(aol::WindowSystem& windows, ServerOptions options);
    ~BridgeServer();
    BridgeServer(const BridgeServer&) = delete;
    BridgeServer& operator=(const BridgeServer&) = delete;

    // Binds 127.0.0.1 and listens; false (with a line in the log) when it cannot.
    bool Listen();
    std::uint16_t port() const { return port_; }
    bool connected() const { return client_ != kNoSocket; }

    // Waits at most timeoutMs for something to do and does it: a connection, a request, a
    // connection that ended, the chat client appearing or going, and for a melodrop that asked
    // to be told (WatchRooms), a look at the rooms every kLookSeconds.
    void Poll(int timeoutMs);
    static constexpr double kLookSeconds = 0.05;

private:
    using Socket = std::intptr_t;
    static constexpr Socket kNoSocket = -1;

    void Accept();
    void ReadFromClient();
    // false: the connection is to be closed
    bool Serve(const std::string& message);
    void Drop(const std::string& why);
    void WatchClient();
    // Tells a watching melodrop once that a room may have changed, when it did since its last
    // read; not again until it has read.
    void LookAtRooms();
    void Log(const std::string& line);
    bool SendAll(const std::string& bytes);

    ClientGuard guard_;
    RequestHandler handler_;
    ServerOptions options_;
    Socket listener_ = kNoSocket;
    Socket client_ = kNoSocket;
    std::uint16_t port_ = 0;
    bool authenticated_ = false;
    double acceptedAt_ = 0;
    double lastWatch_ = -1e9;
    int clientState_ = -1;  // -1 unknown, 0 absent, 1 present
    std::string inbox_;
    bool watching_ = false;  // the connection asked to be told of changes
    bool told_ = false;      // ... and was, and has not read since
    double nextLook_ = 0;
};

}  // namespace bridge
