#include "chat/PlaybackCommands.h"

#include <cmath>

#include "base/NumberText.h"
#include "base/RandomPick.h"
#include "base/VolumeLevel.h"
#include "options/Library.h"

namespace melodrop {

void PlaybackCommands::play(const QString& search) {
    const int found = uses_.tracks.findLowerCase(search.toLower());
    if (found < 0) return;
    // The list may be re-read while the line goes out: the name is taken first.
    transport_.openTrack(uses_.tracks.entry(found), TrackFolder::Mp3FolderText,
                         Announcement::Playing, AnnounceWhen::BeforeOpening);
}

void PlaybackCommands::rand(const std::optional<QString>& search) {
    QString chosen;
    if (search) {
        const QString needle = search->toLower();
        QStringList& matches = state_.lstRandom;
        matches.clear();
        for (int i = uses_.tracks.findLowerCase(needle); i >= 0;
             i = uses_.tracks.findLowerCase(needle, i + 1))
            matches << uses_.tracks.entry(i);
        const int index = randomPick(uses_.clock, static_cast<int>(matches.size()));
        if (index < 0) return;
        chosen = matches.at(index);
    } else {
        const int index = randomPick(uses_.clock, uses_.tracks.count());
        if (index < 0) return;
        uses_.tracks.select(index);
        chosen = uses_.tracks.selectedName();
    }
    transport_.openTrack(chosen, TrackFolder::Mp3FolderText, Announcement::Random);
}

void PlaybackCommands::openSelected(Announcement line) {
    // With nothing to select the name is empty and the open fails; the line still goes out.
    transport_.openTrack(uses_.tracks.selectedName(), TrackFolder::List, line);
}

void PlaybackCommands::next() {
    const int at = uses_.tracks.selectedIndex();
    // An index outside the list (an empty list) fails and is skipped.
    uses_.tracks.select(at == uses_.tracks.count() - 1 ? 0 : at + 1);
    openSelected(Announcement::Playing);
}

void PlaybackCommands::prev() {
    const int at = uses_.tracks.selectedIndex();
    // From no selection this asks for index -2, which fails and is skipped.
    uses_.tracks.select(at == 0 ? uses_.tracks.count() - 1 : at - 1);
    openSelected(Announcement::Previous);
}

void PlaybackCommands::stop() {
    if (!transport_.trackChosen()) return;
    uses_.player.Stop();
    uses_.announcer.announce(Announcement::Stopped, transport_.lblMP3Name());
}

void PlaybackCommands::pause() {
    if (!transport_.trackChosen()) return;
    uses_.player.Pause();
    uses_.window.setPaused(true);
    uses_.announcer.announce(Announcement::Paused, transport_.lblMP3Name());
}

void PlaybackCommands::unpause() {
    // Resumes without reading or clearing the player window's paused flag.
    if (!transport_.trackChosen()) return;
    uses_.player.Play();
    uses_.announcer.announce(Announcement::Upaused, transport_.lblMP3Name());
}

void PlaybackCommands::seek(const QString& seconds, double direction, Announcement line) {
    const std::optional<double> amount = parseNumber(seconds);
    if (!amount) return;
    const double target = uses_.player.CurrentPosition() + direction * *amount;
    // No clamping; only a position that is no number at all is not handed over.
    if (std::isfinite(target)) uses_.player.SetCurrentPosition(target);
    uses_.announcer.announce(line, seconds);
}

void PlaybackCommands::fwd(const QString& seconds) {
    seek(seconds, 1.0, Announcement::FastForward);
}

void PlaybackCommands::rwnd(const QString& seconds) {
    seek(seconds, -1.0, Announcement::Rewind);
}

void PlaybackCommands::songQuery() {
    uses_.announcer.announce(Announcement::Song, transport_.lblMP3Name());
}

void PlaybackCommands::vol(const QString& level) {
    const std::optional<double> value = parseNumber(level);
    if (!value || *value < 0 || *value > 100) return;
    uses_.player.SetVolume(playerVolumeThroughText(*value));
    uses_.window.setSlider(sliderPositionFor(*value));
    uses_.announcer.announce(Announcement::SetVolume, level);
    uses_.options.set(setting::volume, uses_.window.slider());
}

void PlaybackCommands::volQuery() {
    uses_.announcer.announce(Announcement::Volume, QString::number(uses_.window.slider()));
}

void PlaybackCommands::dir(const QString& folder) {
    // The hidden folder list relays its folder to the track list, which reads it. A folder that
    // does not exist leaves both where they were; the list is then read again where it is.
    if (!setFolderRelay(uses_.tracks, state_, folder)) uses_.tracks.refresh();
    uses_.options.set(setting::mp3Folder, folder);
    uses_.announcer.announce(Announcement::SetDir, folder);
}

void PlaybackCommands::dirQuery() {
    uses_.announcer.announce(Announcement::Dir, uses_.tracks.folder());
}

void PlaybackCommands::refresh() {
    uses_.tracks.refresh();
    uses_.announcer.announce(Announcement::Mp3ListRefreshed);
}

void PlaybackCommands::setContinuous(bool on) {
    uses_.announcer.announce(on ? Announcement::SetContinuousOn : Announcement::SetContinuousOff);
    uses_.options.set(setting::continuous, on);
}

void PlaybackCommands::setRandom(bool on) {
    uses_.announcer.announce(on ? Announcement::SetRandomOn : Announcement::SetRandomOff);
    uses_.options.set(setting::random, on);
}

}  // namespace melodrop
