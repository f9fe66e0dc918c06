#include "chat/SettingsCommands.h"

#include "options/IdleMode.h"

namespace melodrop {

void SettingsCommands::trig(const QString& trigger) {
    options_.set(setting::trigger, trigger);
    announcer_.announce(Announcement::SetTrigger, trigger);
}

void SettingsCommands::trigQuery() {
    announcer_.announce(Announcement::Trigger, state_.txtTrigger);
}

void SettingsCommands::hndle(const QString& handle) {
    // The author's own handle is refused; any other spelling of it is taken.
    if (handle == QLatin1String("zeph")) return;
    options_.set(setting::handle, handle);
    announcer_.announce(Announcement::Handle, state_.txtHandle);
}

void SettingsCommands::idle(const QString& reason) {
    idle_.commandIdleOn(reason);
}

void SettingsCommands::idleLinker(const CommandLine& line) {
    QString url;
    QString urlText;
    if (!splitAtComma(line, url, urlText)) return;
    if (url.isEmpty() || urlText.isEmpty()) return;
    idle_.commandIdleLinkerOn(url, urlText);
}

void SettingsCommands::idleLinkerOff() {
    idle_.commandIdleLinkerOff();
}

void SettingsCommands::idleOff() {
    idle_.commandIdleOff();
}

void SettingsCommands::privateRoom(const QString& room) {
    announcer_.announce(Announcement::PrivateRoom, room);
    aol_.PrivateRoom(room.toStdString());
}

void SettingsCommands::instantMessages(bool on) {
    // Only while advertising; otherwise the reception of instant messages stays as it is.
    if (!state_.advertise) return;
    if (on)
        aol_.IMsOn();
    else
        aol_.IMsOff();
    announcer_.announce(on ? Announcement::SetImsOn : Announcement::SetImsOff);
}

void SettingsCommands::viewCommands() {
    desktop_.openWithShell(files_.commandsFile());
    announcer_.announce(Announcement::ViewingChatCommands);
}

void SettingsCommands::show() {
    if (desktop_.isPlayerVisible()) return;
    desktop_.showPlayer();
    desktop_.removeTrayIcon();
    announcer_.announce(Announcement::MelodropShown);
}

void SettingsCommands::mini() {
    desktop_.addTrayIcon(kTrayTip);
    desktop_.hidePlayer();
    announcer_.announce(Announcement::MelodropMinimized);
}

void SettingsCommands::exit() {
    // At once: no line, no question, the tray icon stays as it is.
    if (quit_)
        quit_();
    else
        desktop_.quit();
}

}  // namespace melodrop
