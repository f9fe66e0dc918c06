#pragma once
// Reads the open chat room's transcript through the WindowSystem and hands out the lines that are
// new since the previous read, in transcript order. The engine of the chat scanner.
//
// The transcript is the contents of the room's first "RICHCNTL" child (asked of the control with
// WM_GETTEXT: its caption is empty): lines "ScreenName:\tText"
// separated by CR LF (LF or a lone CR also end a line). A line is split at its first ":\t" into
// sender and text; a line without ":\t" has no sender and is not a chat line, so it is not handed
// out (it still counts when lines are matched up).
//
// Finding the new lines: the previous read's lines are matched against the current ones,
// allowing for lines the client dropped from the top of a bounded transcript: the new lines are
// those after the longest tail of the previous read that starts the current transcript, preferring
// the fewest dropped lines. Only the open room (the first chat room in child order, as FindRoom
// gives it) is reported, but every open room is followed, so that when another open room becomes
// the first its earlier lines are not reported again. A room first seen after the baseline (newly
// opened) has only new lines. A room that was out of sight for a while and comes back as the same
// window (the client was out of reach: a bridge restarting, say) starts a new baseline: what was
// said meanwhile is not reported late. A read whose walk of the client's windows did not hold
// (windows kept closing under it: client::ReadRoomTexts) leaves the rooms it did not reach as they
// were: they are neither forgotten nor, after a baseline that missed them, taken for newly opened
// rooms. A transcript that does not answer in time (a hung client) is not taken for an empty one:
// the room stays as it was known, so its lines are not reported again once it answers.
//
// Known limit (shared by every reader that sees only the text): if between two reads the client
// drops exactly as many lines as arrive and the visible transcript repeats with that period (the
// extreme case: every visible line is the same line), the text does not change and the arrivals
// cannot be seen. The scanners read after every change a client tells of, and a client that
// cannot tell is polled every 15 ms while its room is lively: this needs a flood faster than that.
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "aol/WindowSystem.h"

namespace aol {

struct TranscriptLine {
    std::string screenName;  // UTF-8, exactly as the client shows it
    std::string text;        // UTF-8, the message alone
};

class TranscriptReader {
public:
    explicit TranscriptReader(WindowSystem& windows);

    // Takes the baseline: what the transcript holds now counts as already read.
    void Reset();
    // The chat lines added since the previous Reset or ReadNew, oldest first.
    std::vector<TranscriptLine> ReadNew();

    // Splits one transcript line (Windows-1252 bytes); false when it has no ":\t".
    static bool SplitLine(const std::string& line, TranscriptLine& out);
    // The same for a line already in UTF-8 (as the simulated client's driving API shows it):
    // split at its first ":\t", the bytes kept as they are.
    static bool SplitUtf8Line(const std::string& line, TranscriptLine& out);
    // The number of lines of `now` that were already in `before`: the longest tail of `before`
    // that is a prefix of `now`, preferring the fewest lines dropped from the top.
    static std::size_t Overlap(const std::vector<std::string>& before,
                               const std::vector<std::string>& now);

private:
    struct KnownRoom {
        std::string raw;
        std::vector<std::string> lines;
    };
    // Every open chat room, first in child order first, with its transcript bytes; false when
    // the walk did not hold (rooms may be missing).
    bool ReadRooms(std::vector<aol::RoomText>& rooms);
    void Forget(Hwnd room);

    WindowSystem& windows_;
    std::map<Hwnd, KnownRoom> rooms_;
    std::deque<Hwnd> gone_;         // rooms lately out of sight, newest last
    bool partialBaseline_ = false;  // the baseline's walk did not hold: rooms may be missing
};

}  // namespace aol
