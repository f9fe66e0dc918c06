#pragma once
// The remaining chat commands: the command service's own settings (trig, trig?, hndle), idle
// mode and the idle linker, the chat client (pr, imson, imsoff), the player window (show, mini,
// vcmds) and exit.
#include <QString>

#include "chat/CommandLine.h"
#include "player/Context.h"

namespace melodrop {

class IdleMode;

class SettingsCommands {
public:
    SettingsCommands(Context& ctx, IdleMode& idle) : ctx_(ctx), idle_(idle) {}

    void trig(const QString& trigger);
    void trigQuery();
    void hndle(const QString& handle);
    void idle(const QString& reason);
    void idleLinker(const CommandLine& line);
    void idleLinkerOff();
    void idleOff();
    void privateRoom(const QString& room);
    void instantMessages(bool on);
    void viewCommands();
    void show();
    void mini();
    void exit();

private:
    Context& ctx_;
    IdleMode& idle_;
};

}  // namespace melodrop
