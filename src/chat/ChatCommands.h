#pragma once
// The chat command service: the dispatcher on the command scanner, the commands, and automatic
// ignoring on the second scanner.
#include <memory>

#include "player/Context.h"

namespace melodrop {

class IdleMode;

class ChatCommands {
  public:
    ChatCommands(Context& ctx, IdleMode& idle);
    ~ChatCommands();

    // The `chatcommands` and `viewcommands` menu items.
    void toggleChatCommands();
    void viewCommands();

  private:
    Context& ctx_;
    IdleMode& idle_;
};

}  // namespace melodrop
