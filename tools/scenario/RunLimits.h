#pragma once
// What a run may take, checked when it ends (the `limit` steps): real time since the run began,
// and the process's peak resident memory since the run began (on Linux, where the peak can be
// reset; elsewhere since the process began).
#include <QElapsedTimer>
#include <QString>
#include <optional>

namespace melodrop::scenario {

class RunLimits {
public:
    // Starts the clock and a new memory peak.
    RunLimits();

    std::optional<double> seconds;
    std::optional<double> megabytes;

    double elapsedSeconds() const;
    // The peak resident memory in MB, or a negative number where it cannot be read.
    static double peakMegabytes();

    bool any() const { return seconds || megabytes; }
    // "time 3.2 s (at most 60 s), peak memory 180 MB (at most 500 MB)"
    QString report() const;
    // What was exceeded, or "".
    QString exceeded() const;

private:
    QElapsedTimer clock_;
};

}  // namespace melodrop::scenario
