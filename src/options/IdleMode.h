#pragma once
// Idle mode and idle-linker mode: once a minute a line tells the room how long the user has been
// away. Switched from the options menu and by the chat commands, on the same fields and timers.
#include <memory>

#include "player/Context.h"

namespace melodrop {

class IdleMode {
  public:
    explicit IdleMode(Context& ctx);
    ~IdleMode();

    // The `idle` and `idlelinker` menu items.
    void menuIdle();
    void menuIdleLinker();

  private:
    Context& ctx_;
    std::unique_ptr<Timer> idleTimer_;    // Timer1: one minute of idle mode
    std::unique_ptr<Timer> linkerTimer_;  // Timer3: one minute of idle-linker mode
};

}  // namespace melodrop
