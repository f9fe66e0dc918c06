#pragma once
// Decides when the transcript scanners look at the room: one timer for every scanner it watches.
//
// Polling (any client): while something happens the room is looked at every 15 ms (a command
// waits 7.5 ms for it on average); after three seconds without a new line, every 250 ms on a
// coarse timer, so that an idle program hardly wakes up. The first poll that finds a line (any
// scanner's) brings the fast interval back at once. A real client cannot tell of its changes,
// and a user's first line after a quiet spell would wait 125 ms on average for the slow poll:
// there the quiet interval is kResponsiveSlowMilliseconds (setQuietInterval).
//
// Change notifications (a client that tells of its changes): the room is looked at only after the
// client said that something changed, at the next turn of the event loop; no timer runs while the
// room is quiet.
//
// Handlers of chat lines may wait with event pumping, and a timer never re-enters its own handler.
// So while the scanners deliver (one nesting level), the next level's timer keeps watching: lines
// that arrive while a handler waits are delivered inside that wait, the waiting scanner's own
// lines included.
#include <functional>
#include <memory>
#include <vector>

#include "base/Clock.h"

namespace melodrop {

class TranscriptChatScanner;

class TranscriptWatch {
public:
    static constexpr int kFastMilliseconds = 15;
    static constexpr int kSlowMilliseconds = 250;
    // The quiet interval for a real client, whose lines come only through polling.
    static constexpr int kResponsiveSlowMilliseconds = 60;
    // How long the fast interval lasts after the last line seen (or a scanner switched on).
    static constexpr double kFastSeconds = 3.0;

    explicit TranscriptWatch(Clock& clock);
    ~TranscriptWatch();
    TranscriptWatch(const TranscriptWatch&) = delete;
    TranscriptWatch& operator=(const TranscriptWatch&) = delete;

    // For a client that tells of its changes: the function to call after each of them. From the
    // first call of this on, the watch no longer polls. The function may outlive the watch (it
    // then does nothing), and calling it from inside the client's own message handling is safe:
    // the room is read later, from the event loop.
    std::function<void()> changeListener();
    bool followsChanges() const { return followsChanges_; }

    // The interval used after the fast spell (kSlowMilliseconds unless set).
    void setQuietInterval(int milliseconds);

    // The interval of the timer that watches now in milliseconds; -1 when none runs.
    int currentInterval() const;
    bool isCoarse() const { return coarse_; }

    // ---- for the scanners ----
    void attach(TranscriptChatScanner* scanner);
    void detach(TranscriptChatScanner* scanner);
    // A scanner switched on or off.
    void scanningChanged();
    // A poll found new lines.
    void sawLines();

private:
    void roomChanged();
    void tick(std::size_t level);
    // Sets the timer of the current level as the scanners need it now.
    void arm();
    Timer& level(std::size_t index);
    bool anyScanning() const;
    bool anyPending() const;

    Clock& clock_;
    std::vector<std::unique_ptr<Timer>> levels_;  // one per nesting level of deliveries
    std::size_t depth_ = 0;                       // deliveries in progress
    std::vector<TranscriptChatScanner*> scanners_;
    bool followsChanges_ = false;
    bool changed_ = false;  // the client told of a change not yet looked at
    bool coarse_ = false;
    int quietMilliseconds_ = kSlowMilliseconds;
    double lastActivity_ = -1e9;
    std::shared_ptr<TranscriptWatch*> self_;  // what outliving listeners hold
};

}  // namespace melodrop
