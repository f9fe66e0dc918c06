#pragma once
// The bridge's reading of every open room's transcript, kept cheap for a client that is asked
// many times a second. Every call to a client under Wine costs a round trip to the wine server,
// and a full walk of the client's rooms takes some fifty of them; so the watch remembers the
// last walk: the frame, the MDI client, its document windows in order, and for each room its
// transcript control with the transcript's length, its first bytes and its text. The windows
// are walked again at most every kWalkSeconds (a room that opens or moves to the front is seen
// that much later; its lines are not lost, the reader finds them then), and at once when a
// transcript no longer answers (its room closed). A room whose transcript has the same length
// is taken as unchanged; its first bytes are compared too at every kHeadEvery-th such read, so
// one small question is asked of it at most reads, two at the others. (A full transcript that drops
// its first line for a new line of the very same length is seen at the next comparison of the first
// bytes, at most kHeadEvery reads later; with the same first bytes after the drop too, it would be
// missed until the next change: the same blind spot as a reader of the whole text has for a room
// repeating one line.) The signature is taken before the text is read, so a change in between is
// seen on the next read, never lost. A walk of the windows that did not hold however often it
// started again (windows kept closing under it: client::Documents) changes nothing: the rooms of
// the last walk that held stand, and the next look walks again. A transcript that does not answer
// in time (a hung client) keeps the text it last gave: it is not taken for an emptied room, whose
// lines would all count as new once it answers again.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "aol/WindowSystem.h"

namespace bridge {

class RoomWatch {
public:
    static constexpr double kWalkSeconds = 0.5;
    static constexpr int kHeadEvery = 4;

    // Every open chat room, first in child order first, with its transcript; `now` in seconds
    // on any steady clock.
    std::vector<aol::RoomText> Read(aol::WindowSystem& ws, double now);

    // Whether a room may have changed since the last Read: a room opened, closed or moved, or
    // a transcript's length differs (at every kHeadEvery-th look its first bytes are compared
    // too). One small question per room at most looks; for a bridge that tells melodrop of
    // changes instead of being asked.
    bool Changed(aol::WindowSystem& ws, double now);

    // How old the last walk may be before a Read or Changed walks again (kWalkSeconds unless
    // set): the bridge lets it grow while the rooms are quiet (LookPace).
    void SetWalkSeconds(double seconds) { walkSeconds_ = seconds; }

private:
    struct Room {
        aol::Hwnd room = 0;
        aol::Hwnd transcript = 0;
        std::intptr_t length = -1;
        std::string head;
        std::string text;
        bool read = false;       // text holds what the transcript answered once
        int readsSinceHead = 0;  // reads that found the length unchanged since the head was read
        int looksSinceHead = 0;  // the same for Changed
    };
    static std::optional<std::intptr_t> Length(aol::WindowSystem& ws, aol::Hwnd transcript);
    static bool Head(aol::WindowSystem& ws, aol::Hwnd transcript, std::string& head);

    // Brings rooms_ up to the windows as they are now when the last walk is not recent: kept
    // when the windows are the same, made afresh (nothing known of the transcripts) when not.
    // True when the rooms changed.
    bool Walk(aol::WindowSystem& ws, double now);

    double walkSeconds_ = kWalkSeconds;
    double walkedAt_ = -1e9;
    bool walkCut_ = false;  // the last walk did not hold: walk again at the next look
    aol::Hwnd frame_ = 0;
    aol::Hwnd mdi_ = 0;
    std::vector<aol::Hwnd> documents_;
    std::vector<Room> rooms_;
};

}  // namespace bridge
