#pragma once
// The real chat scanner: reads the open room's transcript through the WindowSystem,
// so it works with the simulated client and the real one alike. While on, it polls every 20 ms
// with a Clock timer and raises ChatLine once per new line, in order, the user's own lines
// included. The lines present at ScanOn are the baseline and are not reported; nothing is
// reported after ScanOff, not even the rest of a batch being delivered when a handler switches
// the scanner off (or off and on again).
#include <cstdint>
#include <memory>

#include "aol/TranscriptReader.h"
#include "aol/WindowSystem.h"
#include "chat/ChatScanner.h"
#include "player/Clock.h"

namespace melodrop {

class TranscriptChatScanner : public ChatScanner {
    Q_OBJECT
public:
    static constexpr int kPollMilliseconds = 20;

    TranscriptChatScanner(aol::WindowSystem& windows, Clock& clock, QObject* parent = nullptr);
    ~TranscriptChatScanner() override;

    void ScanOn() override;
    void ScanOff() override;
    bool isScanning() const override { return scanning_; }

    // One poll now (the timer calls this); does nothing while off, or when called from a
    // handler of this scanner's own lines (the batch in delivery comes first).
    void poll();

private:
    aol::TranscriptReader reader_;
    std::unique_ptr<Timer> timer_;
    bool scanning_ = false;
    bool polling_ = false;
    std::uint64_t generation_ = 0;  // changes at every ScanOn and ScanOff
};

}  // namespace melodrop
