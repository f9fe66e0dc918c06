#pragma once
// The real chat scanner: reads the open room's transcript through the WindowSystem, so it works
// with the simulated client and the real one alike, and raises ChatLine once per new line, in
// transcript order, the user's own lines included. When it looks is up to its TranscriptWatch
// (shared by the program's scanners: one timer, adaptive polling, change notifications).
//
// The lines present at ScanOn are the baseline and are not reported; nothing is reported after
// ScanOff, not even the rest of a batch being delivered when a handler switches the scanner off
// (or off and on again). A handler that waits with event pumping does not hold the scanner up:
// lines that arrive meanwhile are delivered inside the wait, after the lines that came before
// them, so every line is dispatched in full and in order.
#include <deque>
#include <memory>

#include "aol/TranscriptReader.h"
#include "aol/WindowSystem.h"
#include "base/ChatScanner.h"
#include "base/Clock.h"
#include "chat/TranscriptWatch.h"

namespace melodrop {

class TranscriptChatScanner : public ChatScanner {
    Q_OBJECT
public:
    // Watched by the given watch (which must outlive the scanner).
    TranscriptChatScanner(aol::WindowSystem& windows, TranscriptWatch& watch,
                          QObject* parent = nullptr);
    // Watched by a polling watch of its own.
    TranscriptChatScanner(aol::WindowSystem& windows, Clock& clock, QObject* parent = nullptr);
    ~TranscriptChatScanner() override;

    void ScanOn() override;
    void ScanOff() override;
    bool isScanning() const override { return scanning_; }

    // Reads the new lines and delivers them (and any still waiting); does nothing while off.
    // The watch calls this; it may be called again from inside a handler of this scanner.
    void poll();

    TranscriptWatch& watch() { return watch_; }
    // Lines read but not yet delivered (a handler of an earlier one is still running).
    bool hasPending() const { return !pending_.empty(); }

private:
    aol::TranscriptReader reader_;
    std::unique_ptr<TranscriptWatch> ownWatch_;
    TranscriptWatch& watch_;
    bool scanning_ = false;
    // Read but not yet delivered, oldest first; shared by nested deliveries so order holds.
    std::deque<aol::TranscriptLine> pending_;
};

}  // namespace melodrop
