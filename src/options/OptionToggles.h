#pragma once
// The four plain toggles of the options menu: always on top, advertise, continuous, random.
#include "player/Context.h"

namespace melodrop {

class OptionToggles {
public:
    explicit OptionToggles(Context& ctx) : ctx_(ctx) {}

    void toggleAlwaysOnTop();
    void toggleAdvertise();
    void toggleContinuous();
    void toggleRandom();

private:
    Context& ctx_;
};

}  // namespace melodrop
