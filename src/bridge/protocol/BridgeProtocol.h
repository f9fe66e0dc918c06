#pragma once
// The bridge protocol: how melodrop asks melodrop-bridge, which runs next to the chat client, to
// make the window-system calls of the chat-client module. Plain C++20, no Qt: built for Linux
// (melodrop, tests, fuzzing) and for Windows (the bridge). Described in docs/BRIDGE.md.
//
// Frames: a 32-bit little-endian length, then that many bytes of message. One request, one
// answer, in order. A connection starts with the handshake (Handshake.h): Hello and its answer,
// then Prove and its answer; the bridge closes a connection that starts otherwise or does not
// prove itself. After it, every frame the bridge sends starts with a kind byte: an answer, or a
// notice (a room may have changed; the chat client's process changed) between answers.
//
// Integers are little-endian; a string or a byte block is a 32-bit length and its bytes.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bridge {

// 2: WatchRooms and the bridge's word of a change.
// 3: both ends prove that they know the token (nonces and HMACs; the token is never sent);
//    frames from the bridge carry a kind; the chat client's process is told.
inline constexpr std::uint16_t kProtocolVersion = 3;
inline constexpr std::array<char, 4> kMagic = {'M', 'D', 'B', 'R'};
inline constexpr std::size_t kTokenChars = 64;  // 32 random bytes as lower-case hex
inline constexpr std::uint16_t kDefaultPort = 47190;

// Limits the bridge enforces on requests; a request beyond them closes the connection.
inline constexpr std::uint32_t kMaxRequestBytes = 1u << 20;
inline constexpr std::uint32_t kMaxNameBytes = 4096;          // class names and captions
inline constexpr std::uint32_t kMaxTextBytes = 1u << 20;      // WM_SETTEXT text
inline constexpr std::uint32_t kMaxGetTextBytes = 32u << 20;  // WM_GETTEXT buffer
inline constexpr std::uint32_t kMaxReadBytes = 4096;          // one ReadProcessMemory
inline constexpr std::uint32_t kMaxTimeoutMs = 5000;          // one SendMessageTimeout
inline constexpr std::uint32_t kMaxKnownRooms = 256;
// Every room's transcript in one answer, together: what the chat-client module reads of one
// control at most (aol::client::kMaxControlTextBytes). A room's text that does not fit is sent
// as its last whole lines that do.
inline constexpr std::uint32_t kMaxRoomTextsBytes = 32u << 20;
// The largest answer of all (ReadRoomTexts); each request's own is AnswerLimit.
inline constexpr std::uint32_t kMaxAnswerBytes = 1 + 4 + kMaxKnownRooms * 9 + kMaxRoomTextsBytes;

enum class Op : std::uint8_t {
    Hello = 0,
    FindWindow = 1,
    FindWindowEx = 2,
    SendMessage = 3,  // a message without pointer parameter (lParam 0)
    SendSetText = 4,  // WM_SETTEXT with the text
    SendGetText = 5,  // WM_GETTEXT into a buffer of the given size
    PostMessage = 6,
    GetWindowTextLength = 7,
    GetWindowText = 8,
    GetWindowThreadProcessId = 9,
    OpenProcess = 10,
    ReadProcessMemory = 11,
    CloseHandle = 12,
    ReadRoomTexts = 13,  // every open room's transcript in one exchange
    WatchRooms = 14,     // from now on, say when a room may have changed
    Prove = 15,          // melodrop's proof, the second step of the handshake
};
inline constexpr Op kLastOp = Op::Prove;

// What a frame from the bridge is, after the handshake: its first byte.
enum class Kind : std::uint8_t {
    Answer = 0,         // the answer to the oldest request not yet answered
    RoomsChanged = 1,   // a room may have changed: read again (once until the next read)
    ClientProcess = 2,  // u32: the chat client's process is now this one (0: none)
};

struct KnownRoom {
    std::uint32_t room = 0;
    std::uint64_t hash = 0;  // TextHash of the transcript the asker already has
};

// One request, every field any operation uses; each operation reads its own.
struct Request {
    Op op = Op::Hello;
    // Hello: the asker's version and nonce; Prove: its proof
    std::uint16_t version = 0;
    std::string nonce;
    std::string proof;
    // Window calls
    std::uint32_t window = 0;  // also the parent of FindWindowEx
    std::uint32_t after = 0;
    std::optional<std::string> className;
    std::optional<std::string> caption;
    std::uint32_t message = 0;
    std::uint64_t wParam = 0;
    std::uint32_t flags = 0;
    std::uint32_t timeoutMs = 0;
    std::string text;        // SendSetText
    std::uint32_t size = 0;  // SendGetText buffer, GetWindowText maxCount, memory read size
    // Processes
    std::uint32_t access = 0;
    bool inherit = false;
    std::uint32_t processId = 0;
    std::uint64_t handle = 0;
    std::uint64_t address = 0;
    // ReadRoomTexts
    std::vector<KnownRoom> known;
};

// One answer. Which fields are set depends on the request's operation.
struct Answer {
    bool ok = false;
    std::int64_t value = 0;       // a window, a length, a message result, a handle, a thread id
    std::uint32_t processId = 0;  // also the chat client's, answering Prove
    // Hello: the bridge's version, and when it is the asker's, its nonce and proof
    std::uint16_t version = 0;
    std::string nonce;
    std::string proof;
    std::string bytes;  // text or memory
    struct Room {
        std::uint32_t room = 0;
        bool changed = false;
        std::string text;  // the transcript when changed
    };
    std::vector<Room> rooms;
};

// ---- Requests ----
std::string EncodeRequest(const Request& request);
// The request in a frame's message, or nothing when it is malformed (unknown operation, a field
// cut short, bytes left over, a limit exceeded).
std::optional<Request> ParseRequest(std::string_view message);

// ---- Answers (their shape follows the request's operation) ----
std::string EncodeAnswer(Op op, const Answer& answer);
// Any answer within the protocol's limits.
std::optional<Answer> ParseAnswer(Op op, std::string_view message);
// The answer to this very request: no larger than it asked for (a text or memory read at most
// its buffer's size, rooms' transcripts at most kMaxRoomTextsBytes together).
std::optional<Answer> ParseAnswer(const Request& request, std::string_view message);
// The largest message, kind byte included, that can answer this request.
std::uint32_t AnswerLimit(const Request& request);

// ---- What the bridge sends after the handshake ----
std::string AnswerMessage(Op op, const Answer& answer);  // the kind byte and the answer
std::string RoomsChangedMessage();
std::string ClientProcessMessage(std::uint32_t processId);
// The kind of a message from the bridge; nothing for an unknown one.
std::optional<Kind> KindOf(std::string_view message);
// The process of a ClientProcess notice; nothing when the notice is malformed.
std::optional<std::uint32_t> ParseClientProcess(std::string_view message);
// The largest notice.
inline constexpr std::uint32_t kMaxNoticeBytes = 5;

// ---- Frames ----
std::string Frame(std::string_view message);
// Takes one whole frame off the front of `buffer` into `message`. Returns 1 for a frame,
// 0 when more bytes are needed, -1 when the announced length exceeds `limit`.
int TakeFrame(std::string& buffer, std::string& message, std::uint32_t limit);

// FNV-1a, 64 bits: whether a transcript changed since the asker last read it.
std::uint64_t TextHash(std::string_view text);

// Whether a message may be sent or posted through the bridge: only those the chat-client module
// uses, and none that carries a pointer.
bool IsAllowedMessage(std::uint32_t message);

}  // namespace bridge
