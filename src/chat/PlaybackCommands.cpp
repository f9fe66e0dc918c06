#include "chat/PlaybackCommands.h"

#include <cmath>

#include "base/NumberText.h"
#include "base/RandomPick.h"
#include "base/VolumeLevel.h"
#include "options/Library.h"

namespace melodrop {

bool PlaybackCommands::trackChosen() const {
    return state_.lblMP3Name != kNoTrack;
}

void PlaybackCommands::play(const QString& search) {
    const int found = tracks_.findLowerCase(search.toLower());
    if (found < 0) return;
    const QString chosen = tracks_.entry(found);  // the list may be re-read meanwhile
    announcer_.announce(Announcement::Playing, chosen);
    state_.lblMP3Name = chosen;
    player_.Open(joinTrackPath(state_.txtMP3sPath, chosen));
}

void PlaybackCommands::rand(const std::optional<QString>& search) {
    if (search) {
        const QString needle = search->toLower();
        QStringList& matches = state_.lstRandom;
        matches.clear();
        for (int i = tracks_.findLowerCase(needle); i >= 0;
             i = tracks_.findLowerCase(needle, i + 1))
            matches << tracks_.entry(i);
        const int index = randomPick(clock_, static_cast<int>(matches.size()));
        if (index < 0) return;
        state_.lblMP3Name = matches.at(index);
    } else {
        const int index = randomPick(clock_, tracks_.count());
        if (index < 0) return;
        tracks_.select(index);
        state_.lblMP3Name = tracks_.selectedName();
    }
    player_.Open(joinTrackPath(state_.txtMP3sPath, state_.lblMP3Name));
    announcer_.announce(Announcement::Random, state_.lblMP3Name);
}

void PlaybackCommands::openSelected(Announcement line) {
    // With nothing to select the name is empty and the open fails; the line still goes out.
    state_.lblMP3Name = tracks_.selectedName();
    player_.Open(tracks_.pathOf(state_.lblMP3Name));
    announcer_.announce(line, state_.lblMP3Name);
}

void PlaybackCommands::next() {
    const int at = tracks_.selectedIndex();
    // An index outside the list (an empty list) fails and is skipped.
    tracks_.select(at == tracks_.count() - 1 ? 0 : at + 1);
    openSelected(Announcement::Playing);
}

void PlaybackCommands::prev() {
    const int at = tracks_.selectedIndex();
    // From no selection this asks for index -2, which fails and is skipped.
    tracks_.select(at == 0 ? tracks_.count() - 1 : at - 1);
    openSelected(Announcement::Previous);
}

void PlaybackCommands::stop() {
    if (!trackChosen()) return;
    player_.Stop();
    announcer_.announce(Announcement::Stopped, state_.lblMP3Name);
}

void PlaybackCommands::pause() {
    if (!trackChosen()) return;
    player_.Pause();
    window_.setPaused(true);
    announcer_.announce(Announcement::Paused, state_.lblMP3Name);
}

void PlaybackCommands::unpause() {
    // Resumes without reading or clearing the player window's paused flag.
    if (!trackChosen()) return;
    player_.Play();
    announcer_.announce(Announcement::Upaused, state_.lblMP3Name);
}

void PlaybackCommands::seek(const QString& seconds, double direction, Announcement line) {
    const std::optional<double> amount = parseNumber(seconds);
    if (!amount) return;
    const double target = player_.CurrentPosition() + direction * *amount;
    // No clamping; only a position that is no number at all is not handed over.
    if (std::isfinite(target)) player_.SetCurrentPosition(target);
    announcer_.announce(line, seconds);
}

void PlaybackCommands::fwd(const QString& seconds) {
    seek(seconds, 1.0, Announcement::FastForward);
}

void PlaybackCommands::rwnd(const QString& seconds) {
    seek(seconds, -1.0, Announcement::Rewind);
}

void PlaybackCommands::songQuery() {
    announcer_.announce(Announcement::Song, state_.lblMP3Name);
}

void PlaybackCommands::vol(const QString& level) {
    const std::optional<double> value = parseNumber(level);
    if (!value || *value < 0 || *value > 100) return;
    player_.SetVolume(playerVolumeThroughText(*value));
    window_.setSlider(sliderPositionFor(*value));
    announcer_.announce(Announcement::SetVolume, level);
    options_.set(setting::volume, window_.slider());
}

void PlaybackCommands::volQuery() {
    announcer_.announce(Announcement::Volume, QString::number(window_.slider()));
}

void PlaybackCommands::dir(const QString& folder) {
    // The hidden folder list relays its folder to the track list, which reads it. A folder that
    // does not exist leaves both where they were; the list is then read again where it is.
    if (!setFolderRelay(tracks_, state_, folder)) tracks_.refresh();
    options_.set(setting::mp3Folder, folder);
    announcer_.announce(Announcement::SetDir, folder);
}

void PlaybackCommands::dirQuery() {
    announcer_.announce(Announcement::Dir, tracks_.folder());
}

void PlaybackCommands::refresh() {
    tracks_.refresh();
    announcer_.announce(Announcement::Mp3ListRefreshed);
}

void PlaybackCommands::setContinuous(bool on) {
    announcer_.announce(on ? Announcement::SetContinuousOn : Announcement::SetContinuousOff);
    options_.set(setting::continuous, on);
}

void PlaybackCommands::setRandom(bool on) {
    announcer_.announce(on ? Announcement::SetRandomOn : Announcement::SetRandomOff);
    options_.set(setting::random, on);
}

}  // namespace melodrop
