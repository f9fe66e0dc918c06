#include "options/OptionToggles.h"

namespace melodrop {

void OptionToggles::toggleAlwaysOnTop() {
    const bool on = !state_.alwaysontop;
    options_.set(setting::alwaysOnTop, on);
    desktop_.setPlayerOnTop(on);
}

void OptionToggles::toggleAdvertise() {
    const bool on = !state_.advertise;
    options_.set(setting::advertise, on);
}

void OptionToggles::toggleContinuous() {
    const bool on = !state_.continuous;
    options_.set(setting::continuous, on);
    announcer_.announce(on ? Announcement::SetContinuousOn : Announcement::SetContinuousOff);
}

void OptionToggles::toggleRandom() {
    const bool on = !state_.random;
    options_.set(setting::random, on);
}

}  // namespace melodrop
