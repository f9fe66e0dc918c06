#include "options/Library.h"

#include "base/NumberText.h"
#include "base/VolumeLevel.h"

namespace melodrop {

bool setFolderRelay(TrackList& tracks, OptionsState& state, const QString& folder) {
    if (!tracks.setFolder(folder)) return false;
    state.dirMP3s = folder;
    return true;
}

void Library::setMp3Dir() {
    desktop_.minimizePlayer();
    desktop_.showFolderDialog();
}

void Library::folderDialogOk(const QString& folder) {
    if (setFolderRelay(tracks_, state_, folder)) {
        options_.set(setting::mp3Folder, folder);
    }
    desktop_.hideFolderDialog();
    desktop_.restorePlayer();
}

void Library::folderDialogCancel() {
    desktop_.hideFolderDialog();
    desktop_.restorePlayer();
}

void Library::refresh() {
    tracks_.refresh();
}

void Library::findMp3() {
    desktop_.minimizePlayer();
    const QString wanted = desktop_.ask(QStringLiteral("mp3 to search for"));
    if (wanted.isEmpty()) {
        desktop_.restorePlayer();
        return;
    }
    const QString needle = wanted.toLower();
    const int i = tracks_.findLowerCase(needle);
    if (i >= 0) {
        const QString name = tracks_.entry(i);
        tracks_.select(i);
        const MessageAnswer answer = desktop_.message(
            name.toLower() + QStringLiteral(" was found, would you like to play it?"),
            MessageIcon::Question, MessageButtons::YesNo);
        if (answer == MessageAnswer::Yes)
            player_.Open(joinTrackPath(state_.txtMP3sPath, tracks_.selectedName()));
        desktop_.restorePlayer();
        return;
    }
    desktop_.message(needle + QStringLiteral(" was not found."));
    desktop_.restorePlayer();
}

void Library::mp3Name() {
    const QString name = tracks_.selectedName();
    if (name.isEmpty()) return;
    desktop_.minimizePlayer();
    desktop_.message(QStringLiteral("selected mp3: ") + name.toLower());
    desktop_.restorePlayer();
}

void Library::setVolume() {
    desktop_.minimizePlayer();
    const auto level = parseNumber(desktop_.ask(QStringLiteral("enter volume level '1 - 100'")));
    if (level && *level >= 0 && *level <= 100) {
        player_.SetVolume(playerVolumeRounded(*level));
        window_.setSlider(sliderPositionFor(*level));
        options_.set(setting::volume, window_.slider());
    }
    desktop_.restorePlayer();
}

}  // namespace melodrop
