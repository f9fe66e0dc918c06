// The start-up sequence: the welcome box and splash, then the player window's load, which copies
// the stored settings into the options state and applies them one step at a time.
#include <optional>

#include "base/VolumeLevel.h"
#include "chat/ChatCommands.h"
#include "options/Library.h"
#include "options/Skins.h"
#include "player/WindowBehaviour.h"
#include "program/Melodrop.h"

namespace melodrop {

namespace {
const QString kWelcome = QStringLiteral(
    "welcome to melodrop beta 1 [build 0.0.2], please be sure to check for updates daily by "
    "click the options menu the clicking 'check for updates'");
}

void Melodrop::launch() {
    Context& c = *ctx_;
    c.desktop.message(kWelcome, MessageIcon::Information);
    c.desktop.showIntro();
    c.aol.TimeOut(3.0);
    load();
    if (ended_) return;
    c.desktop.showPlayer();
    c.desktop.closeIntro();
}

void Melodrop::load() {
    Context& c = *ctx_;

    // Only one player per user.
    if (c.desktop.anotherInstanceRunning()) {
        c.desktop.closeIntro();
        end();
        return;
    }

    c.state.alwaysontop = c.options.read(setting::alwaysOnTop);
    c.desktop.setPlayerOnTop(c.state.alwaysontop);

    windowBehaviour_->setRolledUp(c.options.read(setting::rollup));

    c.state.random = c.options.read(setting::random);
    c.state.continuous = c.options.read(setting::continuous);

    c.state.txtMP3sPath = c.options.read(setting::mp3Folder);
    // A folder that no longer exists leaves the list on the working folder.
    setFolderRelay(c.tracks, c.state, c.state.txtMP3sPath);

    if (const std::optional<double> level = c.options.read(setting::volume)) {
        c.player.SetVolume(playerVolumeRounded(*level));
        c.window.setSlider(sliderPositionFor(*level));
    }

    // A stored skin that is gone or broken leaves the built-in look; the load goes on, and the
    // user is told once it has finished.
    const QString skinProblem = skins_->applyAtStartup();

    c.state.chatcommands = c.options.read(setting::chatCommands);
    if (c.state.chatcommands)
        c.chtMelodrop.ScanOn();
    else
        c.chtMelodrop.ScanOff();

    c.state.txtTrigger = c.options.read(setting::trigger);
    c.state.advertise = c.options.read(setting::advertise);
    c.state.txtHandle = c.options.read(setting::handle);

    if (c.state.advertise) {
        c.announcer.send(loadedBanner());
        c.aol.TimeOut(0.8);
        if (ended_) return;  // an exit command may have run during the wait
        c.announcer.send(userLine(c.state.txtHandle, c.tracks.count(), c.announcer.downloadPage()));
    }

    std::vector<std::string> immune;
    c.aol.LoadList(immune, c.files.immuneFile().toStdString());
    for (const std::string& entry : immune) c.state.lstImmune << QString::fromStdString(entry);

    if (!skinProblem.isEmpty() && !ended_) c.desktop.message(skinProblem, MessageIcon::Warning);
}

}  // namespace melodrop
