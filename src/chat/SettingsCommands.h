#pragma once
// The remaining chat commands: the command service's own settings (trig, trig?, hndle), idle
// mode and the idle linker, the chat client (pr, imson, imsoff), the player window (show, mini,
// vcmds) and exit.
#include <QString>

#include <functional>
#include "chat/CommandLine.h"

#include "aol/Quartzline.h"
#include "base/Announcer.h"
#include "base/Desktop.h"
#include "base/Options.h"
#include "locations/FileLocations.h"

namespace melodrop {

class IdleMode;

class SettingsCommands {
public:
    SettingsCommands(Options& options, Announcer& announcer, aol::Quartzline& aol, Desktop& desktop,
                     const FileLocations& files, IdleMode& idle, std::function<void()> quit)
        : options_(options),
          state_(options.state()),
          announcer_(announcer),
          aol_(aol),
          desktop_(desktop),
          files_(files),
          idle_(idle),
          quit_(std::move(quit)) {}

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
    Options& options_;
    OptionsState& state_;
    Announcer& announcer_;
    aol::Quartzline& aol_;
    Desktop& desktop_;
    const FileLocations& files_;
    IdleMode& idle_;
    std::function<void()> quit_;
};

}  // namespace melodrop
