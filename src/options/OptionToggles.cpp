#include "options/OptionToggles.h"

namespace melodrop {

void OptionToggles::toggleAlwaysOnTop() {
    const bool on = !state_.alwaysontop;
    options_.set(SettingKey::AlwaysOnTop, on);
    desktop_.setPlayerOnTop(on);
}

void OptionToggles::toggleAdvertise() {
    const bool on = !state_.advertise;
    options_.set(SettingKey::Advertise, on);
}

void OptionToggles::toggleContinuous() {
    const bool on = !state_.continuous;
    options_.set(SettingKey::Continuous, on);
    announcer_.announce(on ? Announcement::SetContinuousOn : Announcement::SetContinuousOff);
}

void OptionToggles::toggleRandom() {
    const bool on = !state_.random;
    options_.set(SettingKey::Random, on);
}

}  // namespace melodrop
