#include "chat/TranscriptWatch.h"

#include <algorithm>

#include "chat/TranscriptChatScanner.h"

namespace melodrop {

TranscriptWatch::TranscriptWatch(Clock& clock)
    : clock_(clock), self_(std::make_shared<TranscriptWatch*>(this)) {}

TranscriptWatch::~TranscriptWatch() {
    self_.reset();
    for (auto& timer : levels_) {
        timer->onTick = nullptr;
        timer->setEnabled(false);
    }
}

std::function<void()> TranscriptWatch::changeListener() {
    followsChanges_ = true;
    arm();
    return [watch = std::weak_ptr<TranscriptWatch*>(self_)] {
        if (const auto alive = watch.lock()) (*alive)->roomChanged();
    };
}

int TranscriptWatch::currentInterval() const {
    for (const auto& timer : levels_)
        if (timer->isEnabled()) return timer->interval();
    return -1;
}

void TranscriptWatch::attach(TranscriptChatScanner* scanner) {
    scanners_.push_back(scanner);
}

void TranscriptWatch::detach(TranscriptChatScanner* scanner) {
    std::erase(scanners_, scanner);
    arm();
}

void TranscriptWatch::scanningChanged() {
    // A scanner that starts takes its baseline now; what follows is likely to be lively.
    if (anyScanning()) lastActivity_ = clock_.Now();
    arm();
}

void TranscriptWatch::sawLines() {
    lastActivity_ = clock_.Now();
    arm();  // back to the fast interval at once, also for a level that watches during a wait
}

void TranscriptWatch::roomChanged() {
    changed_ = true;
    arm();
}

bool TranscriptWatch::anyScanning() const {
    return std::any_of(scanners_.begin(), scanners_.end(),
                       [](const TranscriptChatScanner* s) { return s->isScanning(); });
}

bool TranscriptWatch::anyPending() const {
    return std::any_of(scanners_.begin(), scanners_.end(),
                       [](const TranscriptChatScanner* s) { return s->hasPending(); });
}

Timer& TranscriptWatch::level(std::size_t index) {
    while (levels_.size() <= index) {
        const std::size_t made = levels_.size();
        levels_.push_back(clock_.createTimer());
        levels_.back()->onTick = [this, made] { tick(made); };
    }
    return *levels_[index];
}

void TranscriptWatch::setQuietInterval(int milliseconds) {
    quietMilliseconds_ = std::max(kFastMilliseconds, milliseconds);
    arm();
}

void TranscriptWatch::arm() {
    Timer& timer = level(depth_);
    int wanted = -1;
    bool coarse = false;
    if (anyScanning()) {
        if (followsChanges_) {
            // Lines of a batch still waiting for delivery (their predecessor's handler waits)
            // are delivered by the next level as well.
            if (changed_ || anyPending()) wanted = 0;
        } else if (clock_.Now() - lastActivity_ < kFastSeconds) {
            wanted = kFastMilliseconds;
        } else {
            wanted = quietMilliseconds_;
            coarse = true;
        }
    }
    if (wanted < 0) {
        timer.setEnabled(false);
        return;
    }
    if (timer.isEnabled() && timer.interval() == wanted && coarse == coarse_) return;
    coarse_ = coarse;
    timer.setInterval(wanted);
    timer.setCoarse(coarse);
    timer.setEnabled(true);
}

void TranscriptWatch::tick(std::size_t index) {
    // While the scanners deliver, their handlers may wait; the next level watches meanwhile.
    level(index).setEnabled(false);
    depth_ = index + 1;
    changed_ = false;
    arm();
    const std::weak_ptr<TranscriptWatch*> alive = self_;
    const std::vector<TranscriptChatScanner*> scanners = scanners_;
    for (TranscriptChatScanner* scanner : scanners) {
        // A handler may have deleted a scanner, or the watch itself.
        if (alive.expired()) return;
        if (std::find(scanners_.begin(), scanners_.end(), scanner) != scanners_.end())
            scanner->poll();
    }
    if (alive.expired()) return;
    level(index + 1).setEnabled(false);
    depth_ = index;
    arm();
}

}  // namespace melodrop
