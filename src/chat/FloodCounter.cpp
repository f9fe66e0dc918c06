#include "chat/FloodCounter.h"

namespace melodrop {

bool FloodCounter::countLine(const QString& speaker, double threshold) {
    if (speaker != lastSpeaker_) {
        lastSpeaker_ = speaker;
        runCount_ = 1;
    } else if (runCount_ < kMaxRun) {
        ++runCount_;
    } else {
        return false;
    }
    return runCount_ == threshold;
}

void FloodCounter::restart() {
    lastSpeaker_.clear();
    runCount_ = 1;
}

}  // namespace melodrop
