#include "chat/TranscriptChatScanner.h"

#include <QPointer>

namespace melodrop {

TranscriptChatScanner::TranscriptChatScanner(aol::WindowSystem& windows, Clock& clock,
                                             QObject* parent)
    : reader_(windows), timer_(clock.createTimer()) {
    setParent(parent);
    timer_->setInterval(kPollMilliseconds);
    timer_->onTick = [this] { poll(); };
}

TranscriptChatScanner::~TranscriptChatScanner() {
    timer_->onTick = nullptr;
    timer_->setEnabled(false);
}

void TranscriptChatScanner::ScanOn() {
    if (scanning_) return;
    ++generation_;
    reader_.Reset();
    scanning_ = true;
    timer_->setEnabled(true);
}

void TranscriptChatScanner::ScanOff() {
    if (!scanning_) return;
    ++generation_;
    scanning_ = false;
    timer_->setEnabled(false);
}

void TranscriptChatScanner::poll() {
    if (!scanning_ || polling_) return;
    const std::uint64_t generation = generation_;
    const std::vector<aol::TranscriptLine> lines = reader_.ReadNew();
    const QPointer<TranscriptChatScanner> alive(this);
    polling_ = true;
    for (const aol::TranscriptLine& line : lines) {
        // A handler may switch the scanner off (and on again, taking a new baseline) or delete it.
        emit ChatLine(QString::fromStdString(line.screenName), QString::fromStdString(line.text));
        if (!alive) return;
        if (generation_ != generation) break;
    }
    polling_ = false;
}

}  // namespace melodrop
