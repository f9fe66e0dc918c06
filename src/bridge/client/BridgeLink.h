#pragma once
// One connection from melodrop to melodrop-bridge, as the wire sees it: the handshake (each side
// proves that it knows the token; the bridge first, and melodrop sends nothing derived from the
// token to a peer that has not proven itself), then requests, each answered in turn, with the
// bridge's notices between answers. Every wait has a deadline. Nothing larger than the request
// asked for is taken in: a frame that announces more ends the connection before its bytes are
// read. An answer that did not come in time is owed: it is passed over when it comes, so the
// next request still gets its own. Plain C++ and POSIX sockets.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "bridge/protocol/BridgeProtocol.h"

namespace aol {

class BridgeLink {
public:
    BridgeLink() = default;
    ~BridgeLink();
    BridgeLink(const BridgeLink&) = delete;
    BridgeLink& operator=(const BridgeLink&) = delete;

    enum class Opened {
        Ok,
        NoListener,    // nothing listens on the port
        NotBridge,     // what listens did not prove itself (or did not answer as a bridge does)
        OtherVersion,  // a bridge of another protocol version
        ProofRefused,  // the bridge did not take melodrop's proof: another token
        Failed,        // no socket, no randomness
    };
    struct Opening {
        Opened result = Opened::Failed;
        std::string detail;               // what happened, for the user
        std::uint16_t bridgeVersion = 0;  // OtherVersion
        std::uint32_t clientProcess = 0;  // Ok: the chat client's process (0: none)
    };
    // Connects (within connectMs) and goes through the handshake (within handshakeMs) with the
    // token's key (its 32 bytes).
    Opening Open(const std::string& host, std::uint16_t port, const std::string& key, int connectMs,
                 int handshakeMs);
    void Close();
    bool isOpen() const { return socket_ >= 0; }
    int socket() const { return socket_; }

    enum class Result {
        Ok,      // answered (Exchange), or all taken (Drain)
        Late,    // not answered in time: the answer is owed and passed over when it comes
        Ended,   // the connection ended; the link is closed
        Broken,  // the bridge broke the protocol (`why` says how); the link is closed
    };
    // Sends the request and waits at most `waitSeconds` for its answer.
    Result Exchange(const bridge::Request& request, double waitSeconds, bridge::Answer& answer,
                    std::string& why);
    // Takes what the bridge sent meanwhile, without waiting.
    Result Drain(std::string& why);

    // Called as the bridge's notices are taken.
    std::function<void()> onRoomsChanged;
    std::function<void(std::uint32_t)> onClientProcess;

    std::uint64_t exchanges() const { return exchanges_; }

private:
    struct Owed {
        bridge::Op op;
        std::uint32_t limit;
    };
    bool SendFrame(const std::string& frame, double deadline, std::string& why);
    // Reads what has arrived, waiting until the deadline for some (none: no wait). 1 bytes came,
    // 0 none by the deadline, -1 the connection ended.
    int Receive(double deadline);
    // Takes whole frames out of what arrived: notices and owed answers are dealt with; the
    // awaited answer (when `awaited` is not null) is put in `message`. 1 the awaited answer,
    // 0 more bytes are needed, -1 broken (`why`).
    int TakeFrames(const Owed* awaited, std::string& message, std::string& why);
    // Waits for one handshake frame (no kind byte) within the deadline.
    int HandshakeFrame(std::uint32_t limit, double deadline, std::string& message);
    void Shrink();

    int socket_ = -1;
    std::string inbox_;
    std::deque<Owed> owed_;
    int wordsSinceRead_ = 0;             // "a room changed" since the last read of the rooms
    std::deque<double> processNotices_;  // when the last client-process notices came
    std::uint64_t exchanges_ = 0;
};

}  // namespace aol
