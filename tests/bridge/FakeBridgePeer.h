#pragma once
// A peer on melodrop's end of the bridge that knows the token and speaks the protocol, but
// misbehaves as told: answers late, sends huge transcripts or frames, says without end that a
// room changed. It makes up a client with one welcome window and a room. Plain POSIX sockets,
// one connection at a time; Serve runs until `stop` (tests run it on a thread of its own, the
// benchmark in a process of its own).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "bridge/protocol/BridgeProtocol.h"
#include "bridge/protocol/Handshake.h"

namespace bridge::testing {

struct PeerBehaviour {
    double answerDelaySeconds = 0;      // before every answer
    int rooms = 1;                      // open chat rooms
    std::size_t roomTextBytes = 64;     // each room's transcript
    bool floodChanges = false;          // "a room changed" without end once asked to watch
    bool changeAfterEveryRead = false;  // ... once after every read (as often as allowed)
    std::uint32_t junkFrameBytes = 0;   // the first answer is a frame of this many junk bytes
    std::size_t captionBytes = 13;      // the caption of every window, whatever was asked
};

class FakeBridgePeer {
public:
    FakeBridgePeer(std::string token, PeerBehaviour behaviour)
        : token_(std::move(token)), behaviour_(behaviour) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int reuse = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 8) != 0)
            return;
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~FakeBridgePeer() {
        if (listener_ >= 0) ::close(listener_);
    }
    FakeBridgePeer(const FakeBridgePeer&) = delete;
    FakeBridgePeer& operator=(const FakeBridgePeer&) = delete;

    std::uint16_t port() const { return port_; }
    int connections() const { return connections_; }
    // Bytes of junk that went out before melodrop hung up.
    std::uint64_t junkSent() const { return junkSent_; }

    void Serve(const std::atomic<bool>& stop) {
        while (!stop) {
            pollfd p{listener_, POLLIN, 0};
            if (::poll(&p, 1, 50) != 1) continue;
            const int s = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (s < 0) continue;
            ++connections_;
            ServeConnection(s, stop);
            ::close(s);
        }
    }

private:
    static constexpr std::uint32_t kFrame = 0x100;
    static constexpr std::uint32_t kFirstRoom = 0x200;

    // Reads one whole frame, or nothing when the connection ended or `stop` was set. While
    // waiting, a flooding peer says that a room changed whenever it can.
    bool ReadFrame(int s, std::string& message, const std::atomic<bool>& stop) {
        for (;;) {
            if (TakeFrame(inbox_, message, kMaxRequestBytes) == 1) return true;
            if (stop) return false;
            pollfd p{s, static_cast<short>(POLLIN | (flooding_ ? POLLOUT : 0)), 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            if (p.revents & POLLOUT) SendAll(s, ChangeWord());
            if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char chunk[65536];
            const ssize_t got = ::recv(s, chunk, sizeof chunk, 0);
            if (got <= 0) return false;
            inbox_.append(chunk, static_cast<std::size_t>(got));
        }
    }

    static bool SendAll(int s, const std::string& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(s, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    static std::string ChangeWord() { return Frame(RoomsChangedMessage()); }

    // The bridge's side of the handshake, done right: this peer knows the token.
    bool Handshake(int s, const std::atomic<bool>& stop) {
        const std::string key = TokenKey(token_).value_or(std::string());
        std::string message;
        if (!ReadFrame(s, message, stop)) return false;
        const std::optional<Request> hello = ParseRequest(message);
        const std::optional<Nonce> theirs =
            hello ? FromBytes<kNonceBytes>(hello->nonce) : std::nullopt;
        const std::optional<Nonce> ours = MakeNonce();
        if (!theirs || !ours) return false;
        Answer answer;
        answer.version = kProtocolVersion;
        answer.nonce = AsBytes(*ours);
        answer.proof = AsBytes(Proof(key, Role::Bridge, *theirs, *ours).value());
        SendAll(s, Frame(EncodeAnswer(Op::Hello, answer)));
        if (!ReadFrame(s, message, stop)) return false;
        const std::optional<Request> prove = ParseRequest(message);
        const std::optional<Digest> proof =
            prove ? FromBytes<sizeof(Digest)>(prove->proof) : std::nullopt;
        Answer welcome;
        welcome.ok =
            proof && SameDigest(*proof, Proof(key, Role::Melodrop, *theirs, *ours).value());
        welcome.processId = 42;
        SendAll(s, Frame(EncodeAnswer(Op::Prove, welcome)));
        return welcome.ok;
    }

    bool SendAnswer(int s, Op op, const Answer& answer) {
        return SendAll(s, Frame(AnswerMessage(op, answer)));
    }

    std::string RoomText(int room) const {
        std::string text;
        const std::string line = "Member" + std::to_string(room) + ":\thello there\r\n";
        while (text.size() + line.size() <= behaviour_.roomTextBytes) text += line;
        return text;
    }

    void ServeConnection(int s, const std::atomic<bool>& stop) {
        inbox_.clear();
        flooding_ = false;
        if (!Handshake(s, stop)) return;
        bool junkSent = false;
        std::string message;
        while (ReadFrame(s, message, stop)) {
            const std::optional<Request> r = ParseRequest(message);
            if (!r) return;
            if (behaviour_.answerDelaySeconds > 0)
                std::this_thread::sleep_for(
                    std::chrono::duration<double>(behaviour_.answerDelaySeconds));
            if (behaviour_.junkFrameBytes > 0 && !junkSent) {
                junkSent = true;
                std::string header(4, '\0');
                for (int i = 0; i < 4; ++i)
                    header[i] = static_cast<char>((behaviour_.junkFrameBytes >> (8 * i)) & 0xFF);
                if (!SendAll(s, header)) return;
                const std::string junk(1u << 20, 'j');
                for (std::uint32_t sent = 0; sent < behaviour_.junkFrameBytes;
                     sent += static_cast<std::uint32_t>(junk.size())) {
                    if (!SendAll(s, junk)) return;
                    junkSent_ += junk.size();
                }
                continue;
            }
            if (!SendAnswer(s, r->op, AnswerFor(*r))) return;
            if (r->op == Op::WatchRooms && behaviour_.floodChanges) flooding_ = true;
            if (r->op == Op::ReadRoomTexts && behaviour_.changeAfterEveryRead)
                SendAll(s, ChangeWord());
        }
    }

    Answer AnswerFor(const Request& r) {
        Answer a;
        a.ok = true;
        switch (r.op) {
            case Op::FindWindow:
                a.value = kFrame;
                break;
            case Op::FindWindowEx:
                // One child of each class, the first room's children below it.
                a.value = r.after != 0 ? 0 : r.window == kFrame ? kFrame + 1 : r.window * 2 + 1;
                break;
            case Op::GetWindowText:
                a.bytes = std::string("Welcome, Bob!").substr(0, behaviour_.captionBytes);
                a.bytes.resize(behaviour_.captionBytes, '!');
                break;
            case Op::GetWindowTextLength:
                a.value = 13;
                break;
            case Op::GetWindowThreadProcessId:
                a.value = 1;
                a.processId = 42;
                break;
            case Op::OpenProcess:
                a.value = 1;
                break;
            case Op::ReadProcessMemory:
                a.bytes.assign(r.size, '\0');
                break;
            case Op::ReadRoomTexts:
                for (int i = 0; i < behaviour_.rooms; ++i) {
                    Answer::Room room;
                    room.room = kFirstRoom + static_cast<std::uint32_t>(i);
                    room.text = RoomText(i);
                    const std::uint64_t hash = TextHash(room.text);
                    room.changed = true;
                    for (const KnownRoom& k : r.known)
                        if (k.room == room.room && k.hash == hash) room.changed = false;
                    if (!room.changed) room.text.clear();
                    a.rooms.push_back(std::move(room));
                }
                break;
            default:
                break;
        }
        return a;
    }

    std::string token_;
    PeerBehaviour behaviour_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<int> connections_{0};
    std::atomic<std::uint64_t> junkSent_{0};
    std::string inbox_;
    bool flooding_ = false;
};

}  // namespace bridge::testing
