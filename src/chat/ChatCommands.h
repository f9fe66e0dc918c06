#pragma once
// The chat command service: the dispatcher on the command scanner, the commands, and automatic
// ignoring on the second scanner.
#include <QMetaObject>
#include <memory>

#include <functional>

#include "aol/Quartzline.h"
#include "base/Announcer.h"
#include "base/ChatScanner.h"
#include "base/Desktop.h"
#include "base/Options.h"
#include "locations/FileLocations.h"

namespace melodrop {

class IdleMode;
class Transport;
class PlaybackCommands;
class IgnoreCommands;
class SettingsCommands;
class CommandDispatcher;
class AutoIgnore;

class ChatCommands {
public:
    // What the commands act on: the service reaches the player, the list, the room and the
    // user's settings, as the commands do.
    struct Uses {
        Transport& transport;  // the player, as the player window runs it
        Options& options;
        Announcer& announcer;
        Desktop& desktop;
        aol::Quartzline& aol;
        const FileLocations& files;
        ChatScanner& commandScanner;     // the lines the commands come from
        ChatScanner& autoIgnoreScanner;  // the lines automatic ignoring counts
        IdleMode& idle;
        std::function<void()> quit;  // the exit command
    };
    explicit ChatCommands(const Uses& uses);
    ~ChatCommands();
    ChatCommands(const ChatCommands&) = delete;
    ChatCommands& operator=(const ChatCommands&) = delete;

    // The `chatcommands` and `viewcommands` menu items.
    void toggleChatCommands();
    void viewCommands();

private:
    Options& options_;
    Desktop& desktop_;
    const FileLocations& files_;
    ChatScanner& commandScanner_;
    std::unique_ptr<PlaybackCommands> playback_;
    std::unique_ptr<IgnoreCommands> ignore_;
    std::unique_ptr<SettingsCommands> settings_;
    std::unique_ptr<CommandDispatcher> dispatcher_;
    std::unique_ptr<AutoIgnore> autoIgnore_;
    QMetaObject::Connection connection_;
};

}  // namespace melodrop
