#pragma once
// Keeps the simulated chat room lively: now and then (every half a minute to a minute and a
// half, on the program's clock) one of the other members says one of a few canned lines.
#include <QObject>
#include <QRandomGenerator>
#include <QStringList>
#include <memory>

#include "base/Clock.h"

namespace aol::sim {
class SimClient;
}

namespace melodrop::simroom {

class RoomChatter : public QObject {
    Q_OBJECT
public:
    RoomChatter(aol::sim::SimClient& sim, Clock& clock, quint32 seed, QObject* parent = nullptr);
    ~RoomChatter() override;

    void setEnabled(bool enabled);
    bool isEnabled() const;
    // The pause between two lines is drawn between these, in seconds.
    void setPace(double shortestSeconds, double longestSeconds);

    static const QStringList& cannedLines();

    // One member says one line now (the timer calls this).
    void speak();

signals:
    void enabledChanged(bool enabled);

private:
    void arm();

    aol::sim::SimClient& sim_;
    std::unique_ptr<Timer> timer_;
    QRandomGenerator random_;
    double shortest_ = 30.0;
    double longest_ = 90.0;
};

}  // namespace melodrop::simroom
