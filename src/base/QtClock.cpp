#include "base/QtClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTime>
#include <QTimer>
#include <cmath>

namespace melodrop {

namespace {

class QtTimer : public Timer {
public:
    QtTimer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            // A handler that waits pumps events; do not let this timer re-enter it.
            if (inTick_ || !onTick) return;
            inTick_ = true;
            onTick();
            inTick_ = false;
        });
        timer_.setTimerType(Qt::PreciseTimer);
    }
    void setInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
    int interval() const override { return timer_.interval(); }
    void setEnabled(bool enabled) override {
        if (enabled)
            timer_.start();
        else
            timer_.stop();
    }
    bool isEnabled() const override { return timer_.isActive(); }
    void setCoarse(bool coarse) override {
        timer_.setTimerType(coarse ? Qt::CoarseTimer : Qt::PreciseTimer);
    }

private:
    QTimer timer_;
    bool inTick_ = false;
};

}  // namespace

QtClock::QtClock() {
    elapsed_.start();
}

double QtClock::Now() {
    return static_cast<double>(elapsed_.nsecsElapsed()) / 1e9;
}

void QtClock::PumpEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtClock::WaitForEvents(double deadline) {
    const double remaining = deadline - Now();
    if (remaining <= 0) return;
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(static_cast<int>(std::ceil(remaining * 1000.0)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

double QtClock::secondsSinceMidnight() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

std::unique_ptr<Timer> QtClock::createTimer() {
    return std::make_unique<QtTimer>();
}

}  // namespace melodrop
