#include "bridge/service/RoomWatch.h"

#include <algorithm>
#include <optional>

#include "aol/ClientWindows.h"

namespace bridge {
namespace {

constexpr std::size_t kHeadBytes = 64;

}  // namespace

std::optional<std::intptr_t> RoomWatch::Length(aol::WindowSystem& ws, aol::Hwnd transcript) {
    return aol::client::Send(ws, transcript, aol::kWmGetTextLength);
}

bool RoomWatch::Head(aol::WindowSystem& ws, aol::Hwnd transcript, std::string& head) {
    char buffer[kHeadBytes + 1] = {};
    const std::optional<std::intptr_t> copied = aol::client::Send(
        ws, transcript, aol::kWmGetText, sizeof buffer, reinterpret_cast<std::intptr_t>(buffer));
    if (!copied) return false;
    const std::size_t got =
        *copied <= 0 ? 0 : std::min(static_cast<std::size_t>(*copied), kHeadBytes);
    head.assign(buffer, got);
    return true;
}

bool RoomWatch::Walk(aol::WindowSystem& ws, double now) {
    namespace client = aol::client;
    if (!walkCut_ && now - walkedAt_ < walkSeconds_ && now >= walkedAt_) return false;
    walkedAt_ = now;
    const aol::Hwnd frame = client::Frame(ws);
    const aol::Hwnd mdi = client::Child(ws, frame, client::kMdiClass);
    bool complete = true;
    std::vector<aol::Hwnd> documents = client::Documents(ws, mdi, &complete);
    walkCut_ = !complete;
    if (walkCut_) return false;
    const bool sameWindows =
        frame != 0 && frame == frame_ && mdi == mdi_ && documents == documents_;
    frame_ = frame;
    mdi_ = mdi;
    documents_ = std::move(documents);
    if (sameWindows) return false;
    std::vector<Room> rooms;
    for (const aol::Hwnd w : documents_) {
        if (!client::IsChatRoom(ws, w)) continue;
        Room room;
        room.room = w;
        room.transcript = client::RoomTranscript(ws, w);
        // The text last read stands in for a transcript that does not answer at its next read.
        const auto before = std::find_if(rooms_.begin(), rooms_.end(), [&room](const Room& r) {
            return r.room == room.room && r.transcript == room.transcript;
        });
        if (before != rooms_.end() && before->read) {
            room.text = std::move(before->text);
            room.read = true;
        }
        rooms.push_back(room);
    }
    rooms_ = std::move(rooms);
    return true;
}

std::vector<aol::RoomText> RoomWatch::Read(aol::WindowSystem& ws, double now) {
    Walk(ws, now);
    std::vector<aol::RoomText> out;
    for (Room& room : rooms_) {
        const std::optional<std::intptr_t> length = Length(ws, room.transcript);
        if (!length && walkedAt_ != now) {
            // A room closed since the last walk: walk again now.
            walkedAt_ = -1e9;
            return Read(ws, now);
        }
        const bool sameLength = length && *length == room.length;
        if (sameLength && ++room.readsSinceHead < kHeadEvery) {
            out.push_back({room.room, room.text});
            continue;
        }
        room.readsSinceHead = 0;
        std::string head;
        const bool headRead = length && Head(ws, room.transcript, head);
        if (sameLength && headRead && head == room.head) {
            out.push_back({room.room, room.text});
            continue;
        }
        std::optional<std::string> text = aol::client::ReadControlBytes(ws, room.transcript);
        if (!text) {
            // A transcript that does not answer (a hung client) has not become empty: its last
            // text stands and it is read again next time. Never read, it is left out for now.
            room.length = -1;
            if (room.read) out.push_back({room.room, room.text});
            continue;
        }
        room.length = length.value_or(-1);
        room.head = head;
        room.text = std::move(*text);
        room.read = true;
        out.push_back({room.room, room.text});
    }
    return out;
}

bool RoomWatch::Changed(aol::WindowSystem& ws, double now) {
    if (Walk(ws, now)) return true;
    for (Room& room : rooms_) {
        const std::optional<std::intptr_t> length = Length(ws, room.transcript);
        if (!length) {
            walkedAt_ = -1e9;  // the room closed: the next look walks again
            return true;
        }
        if (*length != room.length) return true;
        if (++room.looksSinceHead < kHeadEvery) continue;
        room.looksSinceHead = 0;
        std::string head;
        if (!Head(ws, room.transcript, head) || head != room.head) return true;
    }
    return false;
}

}  // namespace bridge
