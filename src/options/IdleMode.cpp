#include "options/IdleMode.h"

#include "base/NumberText.h"

namespace melodrop {

namespace {

constexpr int kMinuteMs = 60000;

QString plusOne(const QString& counter) {
    return QString::number(parseNumber(counter).value_or(0) + 1, 'g', 15);
}

// Switching a running timer on again would postpone its next minute; leave it running.
void start(Timer& timer) {
    if (!timer.isEnabled()) timer.setEnabled(true);
}

}  // namespace

void countIdleMinute(QString& days, QString& hours, QString& minutes) {
    if (minutes == QLatin1String("59")) {
        minutes = QStringLiteral("0");
        hours = plusOne(hours);
    } else {
        minutes = plusOne(minutes);
    }
    if (hours == QLatin1String("24")) {
        hours = QStringLiteral("0");
        minutes = QStringLiteral("0");
        days = plusOne(days);
    }
}

IdleMode::IdleMode(OptionsState& state, Announcer& announcer, Desktop& desktop, Clock& clock)
    : state_(state),
      announcer_(announcer),
      desktop_(desktop),
      idleTimer_(clock.createTimer()),
      linkerTimer_(clock.createTimer()) {
    idleTimer_->setInterval(kMinuteMs);
    linkerTimer_->setInterval(kMinuteMs);
    idleTimer_->onTick = [this] { idleMinute(); };
    linkerTimer_->onTick = [this] { linkerMinute(); };
}

IdleMode::~IdleMode() = default;

void IdleMode::resetCounters() {
    state_.lblDays = QStringLiteral("0");
    state_.lblHours = QStringLiteral("0");
    state_.lblMins = QStringLiteral("0");
}

void IdleMode::switchOffIdle() {
    idleTimer_->setEnabled(false);
    resetCounters();
    state_.lblReason.clear();
    state_.idle = false;
}

void IdleMode::switchOffLinker() {
    state_.idlelinker = false;
    linkerTimer_->setEnabled(false);
    resetCounters();
    state_.lblURL.clear();
    state_.lblURLText.clear();
}

void IdleMode::menuIdle() {
    OptionsState& s = state_;
    if (s.idle) {
        switchOffIdle();
        announcer_.announce(Announcement::SetIdleOff);
        return;
    }
    if (s.idlelinker) return;

    s.idle = true;
    desktop_.minimizePlayer();
    const QString reason = desktop_.ask(QStringLiteral("idle reason"));
    if (reason.isEmpty()) {
        s.idle = false;
        desktop_.restorePlayer();
        return;
    }
    // The minute timer starts once the reason is given: no minute line may go out while the
    // question is still open, nor after it was cancelled.
    s.idle = true;
    s.lblReason = reason;
    start(*idleTimer_);
    announcer_.send(idleOnLine(reason));
    desktop_.restorePlayer();
}

void IdleMode::menuIdleLinker() {
    OptionsState& s = state_;
    if (s.idlelinker) {
        switchOffLinker();
        announcer_.announce(Announcement::SetIdleLinkerOff);
        return;
    }
    if (s.idle) return;

    desktop_.minimizePlayer();
    const QString url = desktop_.ask(QStringLiteral("url"));
    const QString urlText = desktop_.ask(QStringLiteral("url text"));
    if (url.isEmpty() || urlText.isEmpty()) {
        desktop_.restorePlayer();
        return;
    }
    s.idlelinker = true;
    s.lblURL = url;
    s.lblURLText = urlText;
    start(*linkerTimer_);
    announcer_.announce(Announcement::SetIdleLinkerOn);
    desktop_.restorePlayer();
}

void IdleMode::commandIdleOn(const QString& reason) {
    start(*idleTimer_);
    state_.lblReason = reason;
    if (state_.advertise) announcer_.send(idleOnLine(reason));
    state_.idle = true;
}

void IdleMode::commandIdleLinkerOn(const QString& url, const QString& urlText) {
    state_.lblURL = url;
    state_.lblURLText = urlText;
    state_.idlelinker = true;
    start(*linkerTimer_);
    announcer_.announce(Announcement::SetIdleLinkerOn);
}

void IdleMode::commandIdleLinkerOff() {
    switchOffLinker();
    announcer_.announce(Announcement::SetIdleLinkerOff);
}

void IdleMode::commandIdleOff() {
    idleTimer_->setEnabled(false);
    if (state_.idle) announcer_.announce(Announcement::SetIdleOff);
    switchOffIdle();
}

void IdleMode::idleMinute() {
    OptionsState& s = state_;
    countIdleMinute(s.lblDays, s.lblHours, s.lblMins);
    announcer_.send(idleMinuteLine(s.txtHandle, s.lblReason, s.lblDays, s.lblHours, s.lblMins));
}

void IdleMode::linkerMinute() {
    OptionsState& s = state_;
    countIdleMinute(s.lblDays, s.lblHours, s.lblMins);
    announcer_.send(idleLinkerMinuteLine(s.txtHandle, s.lblURL, s.lblURLText, s.lblDays, s.lblHours,
                                         s.lblMins));
}

void IdleMode::stopTimers() {
    idleTimer_->setEnabled(false);
    linkerTimer_->setEnabled(false);
}

}  // namespace melodrop
