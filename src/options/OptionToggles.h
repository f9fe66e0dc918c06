#pragma once
// The four plain toggles of the options menu: always on top, advertise, continuous, random.
#include "base/Announcer.h"
#include "base/Desktop.h"
#include "base/Options.h"

namespace melodrop {

class OptionToggles {
public:
    OptionToggles(Options& options, Announcer& announcer, Desktop& desktop)
        : options_(options), state_(options.state()), announcer_(announcer), desktop_(desktop) {}

    void toggleAlwaysOnTop();
    void toggleAdvertise();
    void toggleContinuous();
    void toggleRandom();

private:
    Options& options_;
    OptionsState& state_;
    Announcer& announcer_;
    Desktop& desktop_;
};

}  // namespace melodrop
