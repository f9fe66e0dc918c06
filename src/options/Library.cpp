#include "options/Library.h"

#include "options/NumberText.h"

namespace melodrop {

bool setFolderRelay(Context& ctx, const QString& folder) {
    if (!ctx.tracks.setFolder(folder)) return false;
    ctx.state.dirMP3s = folder;
    return true;
}

void Library::setMp3Dir() {
    ctx_.desktop.minimizePlayer();
    ctx_.desktop.showFolderDialog();
}

void Library::folderDialogOk(const QString& folder) {
    if (setFolderRelay(ctx_, folder)) {
        ctx_.state.txtMP3sPath = folder;
        ctx_.save(QStringLiteral("mp3dir"), folder);
        ctx_.notifyOptionsChanged();
    }
    ctx_.desktop.hideFolderDialog();
    ctx_.desktop.restorePlayer();
}

void Library::folderDialogCancel() {
    ctx_.desktop.hideFolderDialog();
    ctx_.desktop.restorePlayer();
}

void Library::refresh() {
    ctx_.tracks.refresh();
}

void Library::findMp3() {
    ctx_.desktop.minimizePlayer();
    const QString wanted = ctx_.ask(QStringLiteral("mp3 to search for"));
    if (wanted.isEmpty()) {
        ctx_.desktop.restorePlayer();
        return;
    }
    const QString needle = wanted.toLower();
    const int i = ctx_.tracks.findLowerCase(needle);
    if (i >= 0) {
        const QString name = ctx_.tracks.entry(i);
        ctx_.tracks.select(i);
        const MessageAnswer answer =
            ctx_.message(name.toLower() + QStringLiteral(" was found, would you like to play it?"),
                         MessageIcon::Question, MessageButtons::YesNo);
        if (answer == MessageAnswer::Yes)
            ctx_.player.Open(joinTrackPath(ctx_.state.txtMP3sPath, ctx_.tracks.selectedName()));
        ctx_.desktop.restorePlayer();
        return;
    }
    ctx_.message(needle + QStringLiteral(" was not found."));
    ctx_.desktop.restorePlayer();
}

void Library::mp3Name() {
    const QString name = ctx_.tracks.selectedName();
    if (name.isEmpty()) return;
    ctx_.desktop.minimizePlayer();
    ctx_.message(QStringLiteral("selected mp3: ") + name.toLower());
    ctx_.desktop.restorePlayer();
}

void Library::setVolume() {
    ctx_.desktop.minimizePlayer();
    const auto level = parseNumber(ctx_.ask(QStringLiteral("enter volume level '1 - 100'")));
    if (level && *level >= 0 && *level <= 100) {
        ctx_.player.SetVolume(static_cast<int>(roundHalfEven(*level * 25 - 2500)));
        ctx_.window.setSlider(static_cast<int>(roundHalfEven(*level)));
        ctx_.save(QStringLiteral("vol"), QString::number(ctx_.window.slider()));
    }
    ctx_.desktop.restorePlayer();
}

}  // namespace melodrop
