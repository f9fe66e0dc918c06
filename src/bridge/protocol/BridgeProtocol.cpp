#include "bridge/protocol/BridgeProtocol.h"

#include <cstring>

#include "aol/WindowSystem.h"
#include "bridge/protocol/Handshake.h"

namespace bridge {
namespace {

class Writer {
public:
    void u8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
    void u16(std::uint16_t v) { little(v, 2); }
    void u32(std::uint32_t v) { little(v, 4); }
    void u64(std::uint64_t v) { little(v, 8); }
    void i64(std::int64_t v) { u64(static_cast<std::uint64_t>(v)); }
    void bytes(std::string_view b) {
        u32(static_cast<std::uint32_t>(b.size()));
        out_.append(b);
    }
    void optionalString(const std::optional<std::string>& s) {
        u8(s ? 1 : 0);
        if (s) bytes(*s);
    }
    void raw(std::string_view b) { out_.append(b); }
    std::string take() { return std::move(out_); }

private:
    void little(std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i) out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    std::string out_;
};

// Reads fields off a message; any read past the end, or a length over its limit, spoils it.
class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}
    bool good() const { return good_; }
    bool atEnd() const { return good_ && pos_ == in_.size(); }

    std::uint8_t u8() { return static_cast<std::uint8_t>(little(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(little(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(little(4)); }
    std::uint64_t u64() { return little(8); }
    std::int64_t i64() { return static_cast<std::int64_t>(u64()); }
    bool flag() {
        const std::uint8_t v = u8();
        if (v > 1) good_ = false;
        return v == 1;
    }
    std::string bytes(std::uint32_t limit) {
        const std::uint32_t n = u32();
        if (!good_ || n > limit || n > in_.size() - pos_) {
            good_ = false;
            return {};
        }
        std::string out(in_.substr(pos_, n));
        pos_ += n;
        return out;
    }
    std::optional<std::string> optionalString(std::uint32_t limit) {
        if (!flag()) return std::nullopt;
        return bytes(limit);
    }
    std::string raw(std::size_t n) {
        if (!good_ || in_.size() - pos_ < n) {
            good_ = false;
            return {};
        }
        std::string out(in_.substr(pos_, n));
        pos_ += n;
        return out;
    }
    bool magic() {
        std::array<char, 4> got{};
        for (char& c : got) c = static_cast<char>(u8());
        require(got == kMagic);
        return good_;
    }
    void require(bool condition) {
        if (!condition) good_ = false;
    }

private:
    std::uint64_t little(std::size_t n) {
        if (!good_ || in_.size() - pos_ < n) {
            good_ = false;
            return 0;
        }
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i) {
            v |= std::uint64_t{static_cast<unsigned char>(in_[pos_ + i])} << (8 * i);
        }
        pos_ += n;
        return v;
    }
    std::string_view in_;
    std::size_t pos_ = 0;
    bool good_ = true;
};

}  // namespace

bool IsAllowedMessage(std::uint32_t message) {
    switch (message) {
        case aol::kWmGetTextLength:
        case aol::kWmClose:
        case aol::kWmKeyDown:
        case aol::kWmKeyUp:
        case aol::kWmChar:
        case aol::kWmLButtonDown:
        case aol::kWmLButtonUp:
        case aol::kWmLButtonDblClk:
        case aol::kLbSetCurSel:
        case aol::kLbGetCount:
        case aol::kLbGetItemData:
        case aol::kBmGetCheck:
            return true;
        default:
            return false;
    }
}

std::string EncodeRequest(const Request& r) {
    Writer w;
    w.u8(static_cast<std::uint8_t>(r.op));
    switch (r.op) {
        case Op::Hello:
            for (const char c : kMagic) w.u8(static_cast<std::uint8_t>(c));
            w.u16(r.version);
            w.bytes(r.nonce);
            break;
        case Op::Prove:
            w.bytes(r.proof);
            break;
        case Op::FindWindow:
            w.optionalString(r.className);
            w.optionalString(r.caption);
            break;
        case Op::FindWindowEx:
            w.u32(r.window);
            w.u32(r.after);
            w.optionalString(r.className);
            w.optionalString(r.caption);
            break;
        case Op::SendMessage:
            w.u32(r.window);
            w.u32(r.message);
            w.u64(r.wParam);
            w.u32(r.flags);
            w.u32(r.timeoutMs);
            break;
        case Op::SendSetText:
            w.u32(r.window);
            w.bytes(r.text);
            w.u32(r.flags);
            w.u32(r.timeoutMs);
            break;
        case Op::SendGetText:
            w.u32(r.window);
            w.u32(r.size);
            w.u32(r.flags);
            w.u32(r.timeoutMs);
            break;
        case Op::PostMessage:
            w.u32(r.window);
            w.u32(r.message);
            w.u64(r.wParam);
            break;
        case Op::GetWindowTextLength:
        case Op::GetWindowThreadProcessId:
            w.u32(r.window);
            break;
        case Op::GetWindowText:
            w.u32(r.window);
            w.u32(r.size);
            break;
        case Op::OpenProcess:
            w.u32(r.access);
            w.u8(r.inherit ? 1 : 0);
            w.u32(r.processId);
            break;
        case Op::ReadProcessMemory:
            w.u64(r.handle);
            w.u64(r.address);
            w.u32(r.size);
            break;
        case Op::CloseHandle:
            w.u64(r.handle);
            break;
        case Op::ReadRoomTexts:
            w.u32(static_cast<std::uint32_t>(r.known.size()));
            for (const KnownRoom& k : r.known) {
                w.u32(k.room);
                w.u64(k.hash);
            }
            break;
        case Op::WatchRooms:
            break;
    }
    return w.take();
}

std::optional<Request> ParseRequest(std::string_view message) {
    if (message.size() > kMaxRequestBytes) return std::nullopt;
    Reader in(message);
    Request r;
    const std::uint8_t op = in.u8();
    if (!in.good() || op > static_cast<std::uint8_t>(kLastOp)) return std::nullopt;
    r.op = static_cast<Op>(op);
    switch (r.op) {
        case Op::Hello:
            in.magic();
            r.version = in.u16();
            // An asker of another version is still heard out (version 2 sent its token here),
            // so that the bridge can say which version it speaks.
            r.nonce = in.bytes(kTokenChars);
            in.require(r.version != kProtocolVersion || r.nonce.size() == kNonceBytes);
            break;
        case Op::Prove:
            r.proof = in.bytes(sizeof(Digest));
            in.require(r.proof.size() == sizeof(Digest));
            break;
        case Op::FindWindow:
            r.className = in.optionalString(kMaxNameBytes);
            r.caption = in.optionalString(kMaxNameBytes);
            break;
        case Op::FindWindowEx:
            r.window = in.u32();
            r.after = in.u32();
            r.className = in.optionalString(kMaxNameBytes);
            r.caption = in.optionalString(kMaxNameBytes);
            break;
        case Op::SendMessage:
            r.window = in.u32();
            r.message = in.u32();
            r.wParam = in.u64();
            r.flags = in.u32();
            r.timeoutMs = in.u32();
            in.require(r.timeoutMs <= kMaxTimeoutMs);
            break;
        case Op::SendSetText:
            r.window = in.u32();
            r.text = in.bytes(kMaxTextBytes);
            r.flags = in.u32();
            r.timeoutMs = in.u32();
            in.require(r.timeoutMs <= kMaxTimeoutMs);
            break;
        case Op::SendGetText:
            r.window = in.u32();
            r.size = in.u32();
            r.flags = in.u32();
            r.timeoutMs = in.u32();
            in.require(r.size <= kMaxGetTextBytes && r.timeoutMs <= kMaxTimeoutMs);
            break;
        case Op::PostMessage:
            r.window = in.u32();
            r.message = in.u32();
            r.wParam = in.u64();
            break;
        case Op::GetWindowTextLength:
        case Op::GetWindowThreadProcessId:
            r.window = in.u32();
            break;
        case Op::GetWindowText:
            r.window = in.u32();
            r.size = in.u32();
            in.require(r.size <= kMaxNameBytes * 16);
            break;
        case Op::OpenProcess:
            r.access = in.u32();
            r.inherit = in.flag();
            r.processId = in.u32();
            break;
        case Op::ReadProcessMemory:
            r.handle = in.u64();
            r.address = in.u64();
            r.size = in.u32();
            in.require(r.size <= kMaxReadBytes);
            break;
        case Op::CloseHandle:
            r.handle = in.u64();
            break;
        case Op::ReadRoomTexts: {
            const std::uint32_t n = in.u32();
            in.require(n <= kMaxKnownRooms);
            for (std::uint32_t i = 0; in.good() && i < n; ++i) {
                KnownRoom k;
                k.room = in.u32();
                k.hash = in.u64();
                r.known.push_back(k);
            }
            break;
        }
        case Op::WatchRooms:
            break;
    }
    if (!in.atEnd()) return std::nullopt;
    return r;
}

std::string EncodeAnswer(Op op, const Answer& a) {
    Writer w;
    switch (op) {
        case Op::Hello:
            for (const char c : kMagic) w.u8(static_cast<std::uint8_t>(c));
            w.u16(a.version);
            if (a.version == kProtocolVersion) {
                w.raw(a.nonce);
                w.raw(a.proof);
            }
            break;
        case Op::Prove:
            w.u8(a.ok ? 1 : 0);
            w.u32(a.processId);
            break;
        case Op::PostMessage:
        case Op::CloseHandle:
        case Op::WatchRooms:
            w.u8(a.ok ? 1 : 0);
            break;
        case Op::FindWindow:
        case Op::FindWindowEx:
        case Op::GetWindowTextLength:
        case Op::OpenProcess:
            w.i64(a.value);
            break;
        case Op::SendMessage:
        case Op::SendSetText:
            w.u8(a.ok ? 1 : 0);
            w.i64(a.value);
            break;
        case Op::SendGetText:
            w.u8(a.ok ? 1 : 0);
            w.i64(a.value);
            w.bytes(a.bytes);
            break;
        case Op::GetWindowText:
            w.bytes(a.bytes);
            break;
        case Op::GetWindowThreadProcessId:
            w.i64(a.value);
            w.u32(a.processId);
            break;
        case Op::ReadProcessMemory:
            w.u8(a.ok ? 1 : 0);
            w.bytes(a.bytes);
            break;
        case Op::ReadRoomTexts:
            w.u32(static_cast<std::uint32_t>(a.rooms.size()));
            for (const Answer::Room& room : a.rooms) {
                w.u32(room.room);
                w.u8(room.changed ? 1 : 0);
                if (room.changed) w.bytes(room.text);
            }
            break;
    }
    return w.take();
}

namespace {

// How much text or memory an answer may carry.
struct AnswerBounds {
    std::uint32_t text = kMaxGetTextBytes;     // SendGetText
    std::uint32_t caption = kMaxGetTextBytes;  // GetWindowText
    std::uint32_t memory = kMaxReadBytes;      // ReadProcessMemory
    std::uint32_t rooms = kMaxRoomTextsBytes;  // ReadRoomTexts, all transcripts together
};

std::optional<Answer> ParseBounded(Op op, std::string_view message, const AnswerBounds& bounds) {
    Reader in(message);
    Answer a;
    switch (op) {
        case Op::Hello:
            in.magic();
            a.version = in.u16();
            if (in.good() && a.version == kProtocolVersion) {
                a.nonce = in.raw(kNonceBytes);
                a.proof = in.raw(sizeof(Digest));
            }
            a.ok = in.good();
            break;
        case Op::Prove:
            a.ok = in.flag();
            a.processId = in.u32();
            break;
        case Op::PostMessage:
        case Op::CloseHandle:
        case Op::WatchRooms:
            a.ok = in.flag();
            break;
        case Op::FindWindow:
        case Op::FindWindowEx:
        case Op::GetWindowTextLength:
        case Op::OpenProcess:
            a.value = in.i64();
            a.ok = true;
            break;
        case Op::SendMessage:
        case Op::SendSetText:
            a.ok = in.flag();
            a.value = in.i64();
            break;
        case Op::SendGetText:
            a.ok = in.flag();
            a.value = in.i64();
            a.bytes = in.bytes(bounds.text);
            break;
        case Op::GetWindowText:
            a.bytes = in.bytes(bounds.caption);
            a.ok = true;
            break;
        case Op::GetWindowThreadProcessId:
            a.value = in.i64();
            a.processId = in.u32();
            a.ok = true;
            break;
        case Op::ReadProcessMemory:
            a.ok = in.flag();
            a.bytes = in.bytes(bounds.memory);
            break;
        case Op::ReadRoomTexts: {
            const std::uint32_t n = in.u32();
            in.require(n <= kMaxKnownRooms);
            std::uint32_t left = bounds.rooms;
            for (std::uint32_t i = 0; in.good() && i < n; ++i) {
                Answer::Room room;
                room.room = in.u32();
                room.changed = in.flag();
                if (room.changed) room.text = in.bytes(left);
                left -= static_cast<std::uint32_t>(room.text.size());
                a.rooms.push_back(std::move(room));
            }
            a.ok = true;
            break;
        }
    }
    if (!in.atEnd()) return std::nullopt;
    return a;
}

// Room for the largest text a buffer of `size` bytes holds (the rest is its NUL).
std::uint32_t TextRoom(std::uint32_t size) {
    return size == 0 ? 0 : size - 1;
}

}  // namespace

std::optional<Answer> ParseAnswer(Op op, std::string_view message) {
    return ParseBounded(op, message, AnswerBounds{});
}

std::optional<Answer> ParseAnswer(const Request& request, std::string_view message) {
    AnswerBounds bounds;
    bounds.text = TextRoom(request.size);
    bounds.caption = TextRoom(request.size);
    bounds.memory = request.size;
    return ParseBounded(request.op, message, bounds);
}

std::uint32_t AnswerLimit(const Request& r) {
    switch (r.op) {
        case Op::Hello:
            return 4 + 2 + kNonceBytes + sizeof(Digest);
        case Op::Prove:
            return 1 + 4;
        case Op::FindWindow:
        case Op::FindWindowEx:
        case Op::GetWindowTextLength:
        case Op::OpenProcess:
            return 1 + 8;
        case Op::SendMessage:
        case Op::SendSetText:
            return 1 + 1 + 8;
        case Op::SendGetText:
            return 1 + 1 + 8 + 4 + TextRoom(r.size);
        case Op::PostMessage:
        case Op::CloseHandle:
        case Op::WatchRooms:
            return 1 + 1;
        case Op::GetWindowText:
            return 1 + 4 + TextRoom(r.size);
        case Op::GetWindowThreadProcessId:
            return 1 + 8 + 4;
        case Op::ReadProcessMemory:
            return 1 + 1 + 4 + r.size;
        case Op::ReadRoomTexts:
            return kMaxAnswerBytes;
    }
    return 0;
}

std::string AnswerMessage(Op op, const Answer& answer) {
    return static_cast<char>(Kind::Answer) + EncodeAnswer(op, answer);
}

std::string RoomsChangedMessage() {
    return std::string(1, static_cast<char>(Kind::RoomsChanged));
}

std::string ClientProcessMessage(std::uint32_t processId) {
    Writer w;
    w.u8(static_cast<std::uint8_t>(Kind::ClientProcess));
    w.u32(processId);
    return w.take();
}

std::optional<Kind> KindOf(std::string_view message) {
    if (message.empty() || static_cast<std::uint8_t>(message[0]) > 2) return std::nullopt;
    return static_cast<Kind>(message[0]);
}

std::optional<std::uint32_t> ParseClientProcess(std::string_view message) {
    Reader in(message);
    if (in.u8() != static_cast<std::uint8_t>(Kind::ClientProcess)) return std::nullopt;
    const std::uint32_t process = in.u32();
    if (!in.atEnd()) return std::nullopt;
    return process;
}

std::string Frame(std::string_view message) {
    std::string out;
    out.reserve(4 + message.size());
    const auto n = static_cast<std::uint32_t>(message.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
    out.append(message);
    return out;
}

int TakeFrame(std::string& buffer, std::string& message, std::uint32_t limit) {
    if (buffer.size() < 4) return 0;
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::uint32_t{static_cast<unsigned char>(buffer[i])} << (8 * i);
    if (n > limit) return -1;
    if (buffer.size() - 4 < n) return 0;
    message.assign(buffer, 4, n);
    buffer.erase(0, 4 + static_cast<std::size_t>(n));
    return 1;
}

std::uint64_t TextHash(std::string_view text) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    return h;
}

}  // namespace bridge
