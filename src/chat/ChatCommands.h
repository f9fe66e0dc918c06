#pragma once
// The chat command service: the dispatcher on the command scanner, the commands, and automatic
// ignoring on the second scanner.
#include <QMetaObject>
#include <memory>

#include "player/Context.h"

namespace melodrop {

class IdleMode;
class PlaybackCommands;
class IgnoreCommands;
class SettingsCommands;
class CommandDispatcher;
class AutoIgnore;

class ChatCommands {
public:
    ChatCommands(Context& ctx, IdleMode& idle);
    ~ChatCommands();
    ChatCommands(const ChatCommands&) = delete;
    ChatCommands& operator=(const ChatCommands&) = delete;

    // The `chatcommands` and `viewcommands` menu items.
    void toggleChatCommands();
    void viewCommands();

private:
    Context& ctx_;
    IdleMode& idle_;
    std::unique_ptr<PlaybackCommands> playback_;
    std::unique_ptr<IgnoreCommands> ignore_;
    std::unique_ptr<SettingsCommands> settings_;
    std::unique_ptr<CommandDispatcher> dispatcher_;
    std::unique_ptr<AutoIgnore> autoIgnore_;
    QMetaObject::Connection connection_;
};

}  // namespace melodrop
