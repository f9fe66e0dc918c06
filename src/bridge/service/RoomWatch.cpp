#include "bridge/service/RoomWatch.h"

#include <algorithm>
#include <optional>

#include "aol/ClientWindows.h"

namespace bridge {
namespace {

constexpr std::size_t kHeadBytes = 64;

}  // namespace

bool RoomWatch::Signature(aol::WindowSystem& ws, aol::Hwnd transcript, std::intptr_t& length,
                          std::string& head) {
    const std::optional<std::intptr_t> n = aol::client::Send(ws, transcript, aol::kWmGetTextLength);
    if (!n) return false;
    char buffer[kHeadBytes + 1] = {};
    const std::optional<std::intptr_t> copied = aol::client::Send(
        ws, transcript, aol::kWmGetText, sizeof buffer, reinterpret_cast<std::intptr_t>(buffer));
    if (!copied) return false;
    length = *n;
    const std::size_t got =
        *copied <= 0 ? 0 : std::min(static_cast<std::size_t>(*copied), kHeadBytes);
    head.assign(buffer, got);
    return true;
}

std::vector<aol::RoomText> RoomWatch::Read(aol::WindowSystem& ws) {
    namespace client = aol::client;
    const aol::Hwnd frame = client::Frame(ws);
    const aol::Hwnd mdi = client::Child(ws, frame, client::kMdiClass);
    std::vector<aol::Hwnd> documents;
    for (aol::Hwnd w = client::Child(ws, mdi, client::kChildClass); w != 0;
         w = client::Child(ws, mdi, client::kChildClass, w)) {
        documents.push_back(w);
        if (documents.size() > 4096) break;  // a window list that never ends is not believed
    }
    const bool sameWindows =
        frame != 0 && frame == frame_ && mdi == mdi_ && documents == documents_;
    std::vector<Room> rooms;
    if (sameWindows) {
        rooms = rooms_;
    } else {
        for (const aol::Hwnd w : documents) {
            if (!client::IsChatRoom(ws, w)) continue;
            Room room;
            room.room = w;
            room.transcript = client::RoomTranscript(ws, w);
            rooms.push_back(room);
        }
    }
    std::vector<aol::RoomText> out;
    for (Room& room : rooms) {
        std::intptr_t length = -1;
        std::string head;
        if (Signature(ws, room.transcript, length, head) && length == room.length &&
            head == room.head) {
            out.push_back({room.room, room.text});
            continue;
        }
        room.length = length;
        room.head = head;
        room.text = client::ControlBytes(ws, room.transcript);
        out.push_back({room.room, room.text});
    }
    frame_ = frame;
    mdi_ = mdi;
    documents_ = std::move(documents);
    rooms_ = std::move(rooms);
    return out;
}

}  // namespace bridge
