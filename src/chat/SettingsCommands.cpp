#include "chat/SettingsCommands.h"

#include "options/IdleMode.h"

namespace melodrop {

namespace {}

void SettingsCommands::trig(const QString& trigger) {
    ctx_.state.txtTrigger = trigger;
    ctx_.announcer.announce(Announcement::SetTrigger, trigger);
    ctx_.save(QStringLiteral("trig"), ctx_.state.txtTrigger);
    ctx_.notifyOptionsChanged();
}

void SettingsCommands::trigQuery() {
    ctx_.announcer.announce(Announcement::Trigger, ctx_.state.txtTrigger);
}

void SettingsCommands::hndle(const QString& handle) {
    // The author's own handle is refused; any other spelling of it is taken.
    if (handle == QLatin1String("zeph")) return;
    ctx_.state.txtHandle = handle;
    ctx_.announcer.announce(Announcement::Handle, ctx_.state.txtHandle);
    ctx_.save(QStringLiteral("hndle"), ctx_.state.txtHandle);
    ctx_.notifyOptionsChanged();
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
    ctx_.announcer.announce(Announcement::PrivateRoom, room);
    ctx_.aol.PrivateRoom(room.toStdString());
}

void SettingsCommands::instantMessages(bool on) {
    // Only while advertising; otherwise the reception of instant messages stays as it is.
    if (!ctx_.state.advertise) return;
    if (on)
        ctx_.aol.IMsOn();
    else
        ctx_.aol.IMsOff();
    ctx_.announcer.announce(on ? Announcement::SetImsOn : Announcement::SetImsOff);
}

void SettingsCommands::viewCommands() {
    ctx_.desktop.openWithShell(ctx_.commandsFile());
    ctx_.announcer.announce(Announcement::ViewingChatCommands);
}

void SettingsCommands::show() {
    if (ctx_.desktop.isPlayerVisible()) return;
    ctx_.desktop.showPlayer();
    ctx_.desktop.removeTrayIcon();
    ctx_.announcer.announce(Announcement::MelodropShown);
}

void SettingsCommands::mini() {
    ctx_.desktop.addTrayIcon(kTrayTip);
    ctx_.desktop.hidePlayer();
    ctx_.announcer.announce(Announcement::MelodropMinimized);
}

void SettingsCommands::exit() {
    // At once: no line, no question, the tray icon stays as it is.
    if (ctx_.quit)
        ctx_.quit();
    else
        ctx_.desktop.quit();
}

}  // namespace melodrop
