#include "options/IdleMode.h"

#include "options/NumberText.h"

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

IdleMode::IdleMode(Context& ctx)
    : ctx_(ctx), idleTimer_(ctx.clock.createTimer()), linkerTimer_(ctx.clock.createTimer()) {
    idleTimer_->setInterval(kMinuteMs);
    linkerTimer_->setInterval(kMinuteMs);
    idleTimer_->onTick = [this] { idleMinute(); };
    linkerTimer_->onTick = [this] { linkerMinute(); };
}

IdleMode::~IdleMode() = default;

void IdleMode::resetCounters() {
    ctx_.state.lblDays = QStringLiteral("0");
    ctx_.state.lblHours = QStringLiteral("0");
    ctx_.state.lblMins = QStringLiteral("0");
}

void IdleMode::switchOffIdle() {
    idleTimer_->setEnabled(false);
    resetCounters();
    ctx_.state.lblReason.clear();
    ctx_.state.idle = false;
    ctx_.notifyOptionsChanged();
}

void IdleMode::switchOffLinker() {
    ctx_.state.idlelinker = false;
    linkerTimer_->setEnabled(false);
    resetCounters();
    ctx_.state.lblURL.clear();
    ctx_.state.lblURLText.clear();
    ctx_.notifyOptionsChanged();
}

void IdleMode::menuIdle() {
    OptionsState& s = ctx_.state;
    if (s.idle) {
        switchOffIdle();
        ctx_.announcer.announce(Announcement::SetIdleOff);
        return;
    }
    if (s.idlelinker) return;

    s.idle = true;
    ctx_.notifyOptionsChanged();
    ctx_.desktop.minimizePlayer();
    const QString reason = ctx_.ask(QStringLiteral("idle reason"));
    if (reason.isEmpty()) {
        s.idle = false;
        ctx_.notifyOptionsChanged();
        ctx_.desktop.restorePlayer();
        return;
    }
    // The minute timer starts once the reason is given: no minute line may go out while the
    // question is still open, nor after it was cancelled.
    s.idle = true;
    s.lblReason = reason;
    start(*idleTimer_);
    ctx_.announcer.send(idleOnLine(reason));
    ctx_.desktop.restorePlayer();
    ctx_.notifyOptionsChanged();
}

void IdleMode::menuIdleLinker() {
    OptionsState& s = ctx_.state;
    if (s.idlelinker) {
        switchOffLinker();
        ctx_.announcer.announce(Announcement::SetIdleLinkerOff);
        return;
    }
    if (s.idle) return;

    ctx_.desktop.minimizePlayer();
    const QString url = ctx_.ask(QStringLiteral("url"));
    const QString urlText = ctx_.ask(QStringLiteral("url text"));
    if (url.isEmpty() || urlText.isEmpty()) {
        ctx_.desktop.restorePlayer();
        return;
    }
    s.idlelinker = true;
    s.lblURL = url;
    s.lblURLText = urlText;
    start(*linkerTimer_);
    ctx_.announcer.announce(Announcement::SetIdleLinkerOn);
    ctx_.desktop.restorePlayer();
    ctx_.notifyOptionsChanged();
}

void IdleMode::commandIdleOn(const QString& reason) {
    start(*idleTimer_);
    ctx_.state.lblReason = reason;
    if (ctx_.state.advertise) ctx_.announcer.send(idleOnLine(reason));
    ctx_.state.idle = true;
    ctx_.notifyOptionsChanged();
}

void IdleMode::commandIdleLinkerOn(const QString& url, const QString& urlText) {
    ctx_.state.lblURL = url;
    ctx_.state.lblURLText = urlText;
    ctx_.state.idlelinker = true;
    start(*linkerTimer_);
    ctx_.announcer.announce(Announcement::SetIdleLinkerOn);
    ctx_.notifyOptionsChanged();
}

void IdleMode::commandIdleLinkerOff() {
    switchOffLinker();
    ctx_.announcer.announce(Announcement::SetIdleLinkerOff);
}

void IdleMode::commandIdleOff() {
    idleTimer_->setEnabled(false);
    if (ctx_.state.idle) ctx_.announcer.announce(Announcement::SetIdleOff);
    switchOffIdle();
}

void IdleMode::idleMinute() {
    OptionsState& s = ctx_.state;
    countIdleMinute(s.lblDays, s.lblHours, s.lblMins);
    ctx_.announcer.send(idleMinuteLine(s.txtHandle, s.lblReason, s.lblDays, s.lblHours, s.lblMins));
}

void IdleMode::linkerMinute() {
    OptionsState& s = ctx_.state;
    countIdleMinute(s.lblDays, s.lblHours, s.lblMins);
    ctx_.announcer.send(idleLinkerMinuteLine(s.txtHandle, s.lblURL, s.lblURLText, s.lblDays,
                                             s.lblHours, s.lblMins));
}

void IdleMode::stopTimers() {
    idleTimer_->setEnabled(false);
    linkerTimer_->setEnabled(false);
}

}  // namespace melodrop
