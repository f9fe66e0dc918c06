#pragma once
#include <QElapsedTimer>

#include "base/Clock.h"

namespace melodrop {

// The real clock: QElapsedTimer for monotonic time, QTimer for timers and the Qt event loop
// for pumping.
class QtClock : public Clock {
public:
    QtClock();
    double Now() override;
    void PumpEvents() override;
    void WaitForEvents(double deadline) override;
    double secondsSinceMidnight() override;
    std::unique_ptr<Timer> createTimer() override;

private:
    QElapsedTimer elapsed_;
};

}  // namespace melodrop
