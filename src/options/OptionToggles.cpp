#include "options/OptionToggles.h"

namespace melodrop {

void OptionToggles::toggleAlwaysOnTop() {
    const bool on = !ctx_.state.alwaysontop;
    ctx_.state.alwaysontop = on;
    ctx_.save(QStringLiteral("alwaysontop"), on);
    ctx_.desktop.setPlayerOnTop(on);
    ctx_.notifyOptionsChanged();
}

void OptionToggles::toggleAdvertise() {
    const bool on = !ctx_.state.advertise;
    ctx_.save(QStringLiteral("advertise"), on);
    ctx_.state.advertise = on;
    ctx_.notifyOptionsChanged();
}

void OptionToggles::toggleContinuous() {
    const bool on = !ctx_.state.continuous;
    ctx_.save(QStringLiteral("continuous"), on);
    ctx_.state.continuous = on;
    ctx_.notifyOptionsChanged();
    ctx_.announcer.announce(on ? Announcement::SetContinuousOn : Announcement::SetContinuousOff);
}

void OptionToggles::toggleRandom() {
    const bool on = !ctx_.state.random;
    ctx_.save(QStringLiteral("random"), on);
    ctx_.state.random = on;
    ctx_.notifyOptionsChanged();
}

}  // namespace melodrop
