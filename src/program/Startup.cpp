// The start-up sequence: the welcome box and splash, then the player window's load, which copies
// the stored settings into the options state and applies them one step at a time.
#include <algorithm>
#include <cmath>

#include "base/NumberText.h"
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
    auto read = [&c](SettingKey key) { return c.options.stored(key); };

    // Only one player per user.
    if (c.desktop.anotherInstanceRunning()) {
        c.desktop.closeIntro();
        end();
        return;
    }

    const QString onTop = read(SettingKey::AlwaysOnTop);
    c.state.alwaysontop = onTop == QLatin1String("true") || onTop.isEmpty();
    c.desktop.setPlayerOnTop(c.state.alwaysontop);

    windowBehaviour_->setRolledUp(read(SettingKey::Rollup) == QLatin1String("true"));

    c.state.random = read(SettingKey::Random) != QLatin1String("false");
    c.state.continuous = read(SettingKey::Continuous) != QLatin1String("false");

    const QString folder = read(SettingKey::Mp3Folder);
    if (!folder.isEmpty()) c.state.txtMP3sPath = folder;
    // A folder that no longer exists leaves the list on the working folder.
    setFolderRelay(c.tracks, c.state, c.state.txtMP3sPath);

    if (const auto level = parseNumber(read(SettingKey::Volume))) {
        // A stored level outside 0 to 100 is taken at the nearest end rather than as a gain
        // the slider cannot show.
        const double clamped = std::clamp(*level, 0.0, 100.0);
        c.player.SetVolume(playerVolumeRounded(clamped));
        c.window.setSlider(sliderPositionFor(clamped));
    }

    // A stored skin that is gone or broken leaves the built-in look; the load goes on, and the
    // user is told once it has finished.
    const QString skinProblem = skins_->applyAtStartup();

    c.state.chatcommands = read(SettingKey::ChatCommands) != QLatin1String("false");
    if (c.state.chatcommands)
        c.chtMelodrop.ScanOn();
    else
        c.chtMelodrop.ScanOff();

    c.state.txtTrigger = read(SettingKey::Trigger);
    c.state.advertise = read(SettingKey::Advertise) != QLatin1String("false");
    const QString handle = read(SettingKey::Handle);
    if (!handle.isEmpty()) c.state.txtHandle = handle;

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
