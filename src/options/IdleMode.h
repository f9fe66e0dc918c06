#pragma once
// Idle mode and idle-linker mode: once a minute a line tells the room how long the user has been
// away. Switched from the options menu and by the chat commands, on the same fields and timers.
#include <QString>
#include <memory>

#include "base/Announcer.h"
#include "base/Clock.h"
#include "base/Desktop.h"
#include "base/OptionsState.h"

namespace melodrop {

// One minute more on the away-time counters, each a decimal number as text: minute "59" rolls
// into the next hour, hour "24" into the next day (exact text comparisons).
void countIdleMinute(QString& days, QString& hours, QString& minutes);

class IdleMode {
public:
    IdleMode(OptionsState& state, Announcer& announcer, Desktop& desktop, Clock& clock);
    ~IdleMode();

    // The `idle` and `idlelinker` menu items.
    void menuIdle();
    void menuIdleLinker();

    // What the idle chat commands do. The idle command's line goes out only while advertising;
    // the commands neither consult nor change the other mode.
    void commandIdleOn(const QString& reason);
    void commandIdleLinkerOn(const QString& url, const QString& urlText);
    void commandIdleLinkerOff();
    void commandIdleOff();

    // Both minute timers off, the modes left as they are (the program is ending).
    void stopTimers();

    bool idleTimerRunning() const { return idleTimer_->isEnabled(); }
    bool linkerTimerRunning() const { return linkerTimer_->isEnabled(); }

private:
    void idleMinute();
    void linkerMinute();
    void resetCounters();
    void switchOffIdle();
    void switchOffLinker();

    OptionsState& state_;
    Announcer& announcer_;
    Desktop& desktop_;
    std::unique_ptr<Timer> idleTimer_;    // Timer1: one minute of idle mode
    std::unique_ptr<Timer> linkerTimer_;  // Timer3: one minute of idle-linker mode
};

}  // namespace melodrop
