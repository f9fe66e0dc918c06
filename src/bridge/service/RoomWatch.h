#pragma once
// The bridge's reading of every open room's transcript, kept cheap for a client that is asked
// many times a second. Every call to a client under Wine costs a round trip to the wine server,
// and a full walk of the client's rooms takes some fifty of them; so the watch remembers the
// last walk: the frame, the MDI client, its document windows in order, and for each room its
// transcript control with the transcript's length, its first bytes and its text. When the
// frame, the MDI client and the documents are the same windows in the same order, a room whose
// transcript has the same length and the same first bytes is taken as unchanged, and only those
// two small questions are asked of it. (A full transcript that drops its first line for a new
// line of the very same length, with the same first bytes after the drop, would be missed until
// the next change: the same blind spot as a reader of the whole text has for a room repeating
// one line.) The signature is taken before the text is read, so a change in between is seen on
// the next read, never lost.
#include <cstdint>
#include <string>
#include <vector>

#include "aol/WindowSystem.h"

namespace bridge {

class RoomWatch {
public:
    // Every open chat room, first in child order first, with its transcript.
    std::vector<aol::RoomText> Read(aol::WindowSystem& ws);

private:
    struct Room {
        aol::Hwnd room = 0;
        aol::Hwnd transcript = 0;
        std::intptr_t length = -1;
        std::string head;
        std::string text;
    };
    bool Signature(aol::WindowSystem& ws, aol::Hwnd transcript, std::intptr_t& length,
                   std::string& head);

    aol::Hwnd frame_ = 0;
    aol::Hwnd mdi_ = 0;
    std::vector<aol::Hwnd> documents_;
    std::vector<Room> rooms_;
};

}  // namespace bridge
