#pragma once
// melodrop-bridge's server: serves the bridge protocol on the loopback address only. Many
// connections may be proving themselves at once (each with a deadline, and a bounded number of
// them); one that proves it knows the token (Handshake.h) gets the session, and a melodrop that
// proves itself later takes the session over from the one before (which may be stale). A
// connection that has not proven itself is never served. Refusals are logged at most once a
// second, with a count. Single-threaded: it waits for the next thing to do, carries a request
// out on the chat client (every call bounded) and answers.
// Plain sockets (BSD on Linux, Winsock on Windows), so that tests run it on Linux too.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "aol/WindowSystem.h"
#include "bridge/protocol/Handshake.h"
#include "bridge/service/ClientGuard.h"
#include "bridge/service/LookPace.h"
#include "bridge/service/RequestHandler.h"

namespace bridge {

struct ServerOptions {
    std::uint16_t port = kDefaultPort;  // 0: any free port (tests)
    std::string token;
    std::function<void(const std::string&)> log;  // one line per event, for the console
    int handshakeMs = 2000;                       // for a connection to prove itself
    std::size_t mostProving = 32;                 // connections proving themselves at once
    ProcessLife processLife;                      // whether the chat client's process still runs
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
    // Whether a melodrop holds the session.
    bool connected() const { return session_ != kNoSocket; }
    std::size_t proving() const { return proving_.size(); }

    // Waits at most timeoutMs for something to do and does it: connections and their
    // handshakes, a request, a connection that ended, the chat client appearing, going or
    // changing, and for a melodrop that asked to be told (WatchRooms), a look at the rooms when
    // one is due: often while the rooms are lively, seldom when they are quiet (LookPace).
    void Poll(int timeoutMs);

private:
    using Socket = std::intptr_t;
    static constexpr Socket kNoSocket = -1;

    // A connection that has not proven itself yet.
    struct Proving {
        Socket socket = kNoSocket;
        double deadline = 0;
        double since = 0;      // when it came, or when it was answered Hello
        bool greeted = false;  // Hello answered: its proof is awaited
        Nonce melodropNonce{};
        Nonce bridgeNonce{};
        std::string inbox;
    };

    void Accept();
    // false: the connection is to be closed (it has been refused)
    bool ReadProving(Proving& p);
    bool Handshake(Proving& p, const std::string& message);
    void TakeSession(Proving& p);
    void ReadFromSession();
    // false: the session is to be closed
    bool Serve(const std::string& message);
    void EndSession(const std::string& why);
    void WatchClient();
    // Tells a watching melodrop once that a room may have changed, when it did since its last
    // read; not again until it has read.
    void LookAtRooms();
    void Refuse(const std::string& why);
    void ReportRefusals(double now);
    void Log(const std::string& line);
    bool SendToSession(const std::string& message);

    ClientGuard guard_;
    RequestHandler handler_;
    ServerOptions options_;
    std::string key_;  // the token's bytes, the key of both proofs
    Socket listener_ = kNoSocket;
    std::vector<Proving> proving_;
    Socket session_ = kNoSocket;
    std::uint16_t port_ = 0;
    double lastWatch_ = -1e9;
    std::uint32_t reportedClient_ = 0;
    bool clientReported_ = false;
    std::string inbox_;      // the session's
    bool watching_ = false;  // the session asked to be told of changes
    bool told_ = false;      // ... and was, and has not read since
    double nextLook_ = 0;
    LookPace pace_;
    // Refusals not yet in the log, and when the last line about them was written.
    int unreported_ = 0;
    std::string lastRefusal_;
    double refusalsLoggedAt_ = -1e9;
};

}  // namespace bridge
