#include "chat/TranscriptChatScanner.h"

#include <QPointer>

namespace melodrop {

TranscriptChatScanner::TranscriptChatScanner(aol::WindowSystem& windows, TranscriptWatch& watch,
                                             QObject* parent)
    : reader_(windows), watch_(watch) {
    setParent(parent);
    watch_.attach(this);
}

TranscriptChatScanner::TranscriptChatScanner(aol::WindowSystem& windows, Clock& clock,
                                             QObject* parent)
    : reader_(windows), ownWatch_(std::make_unique<TranscriptWatch>(clock)), watch_(*ownWatch_) {
    setParent(parent);
    watch_.attach(this);
}

TranscriptChatScanner::~TranscriptChatScanner() {
    scanning_ = false;
    watch_.detach(this);
}

void TranscriptChatScanner::ScanOn() {
    if (scanning_) return;
    reader_.Reset();
    pending_.clear();
    scanning_ = true;
    watch_.scanningChanged();
}

void TranscriptChatScanner::ScanOff() {
    if (!scanning_) return;
    scanning_ = false;
    pending_.clear();
    watch_.scanningChanged();
}

void TranscriptChatScanner::poll() {
    if (!scanning_) return;
    std::vector<aol::TranscriptLine> lines = reader_.ReadNew();
    if (!lines.empty()) {
        for (aol::TranscriptLine& line : lines) pending_.push_back(std::move(line));
        watch_.sawLines();
    }
    const QPointer<TranscriptChatScanner> alive(this);
    // A handler may switch the scanner off (which drops what is pending), poll again from a wait
    // (which delivers the rest in order), or delete the scanner.
    while (scanning_ && !pending_.empty()) {
        const aol::TranscriptLine line = std::move(pending_.front());
        pending_.pop_front();
        emit ChatLine(QString::fromStdString(line.screenName), QString::fromStdString(line.text));
        if (!alive) return;
    }
}

}  // namespace melodrop
