#pragma once
// Counts how many lines one member has sent in a row: the flood state of automatic ignoring.
#include <QString>

namespace melodrop {

class FloodCounter {
public:
    // The run count is a 16-bit count; a longer run stays at the top instead of wrapping.
    static constexpr int kMaxRun = 32767;

    // Counts one line of a member. Returns true when this line brings the run to the threshold
    // (only that line: a run that stays at the top of the count does not reach it again).
    bool countLine(const QString& speaker, double threshold);
    // After an automatic ignore: no last speaker, run count 1.
    void restart();

    const QString& lastSpeaker() const { return lastSpeaker_; }
    int runCount() const { return runCount_; }

private:
    QString lastSpeaker_;
    int runCount_ = 0;
};

}  // namespace melodrop
