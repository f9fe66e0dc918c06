#include "chat/PlaybackCommands.h"

#include <cmath>

#include "options/Library.h"
#include "options/NumberText.h"
#include "player/RandomPick.h"

namespace melodrop {

int playerVolumeForLevel(double level) {
    const QString text = QString::number(level * 25 - 2500, 'g', 15);
    return static_cast<int>(roundHalfEven(text.toDouble()));
}

bool PlaybackCommands::trackChosen() const {
    return ctx_.state.lblMP3Name != kNoTrack;
}

void PlaybackCommands::play(const QString& search) {
    const int found = ctx_.tracks.findLowerCase(search.toLower());
    if (found < 0) return;
    const QString chosen = ctx_.tracks.entry(found);  // the list may be re-read meanwhile
    ctx_.announcer.announce(Announcement::Playing, chosen);
    ctx_.state.lblMP3Name = chosen;
    ctx_.player.Open(joinTrackPath(ctx_.state.txtMP3sPath, chosen));
    ctx_.notifyOptionsChanged();
}

void PlaybackCommands::rand(const std::optional<QString>& search) {
    if (search) {
        const QString needle = search->toLower();
        QStringList& matches = ctx_.state.lstRandom;
        matches.clear();
        for (int i = ctx_.tracks.findLowerCase(needle); i >= 0;
             i = ctx_.tracks.findLowerCase(needle, i + 1))
            matches << ctx_.tracks.entry(i);
        const int index = randomPick(ctx_.clock, static_cast<int>(matches.size()));
        if (index < 0) return;
        ctx_.state.lblMP3Name = matches.at(index);
    } else {
        const int index = randomPick(ctx_.clock, ctx_.tracks.count());
        if (index < 0) return;
        ctx_.tracks.select(index);
        ctx_.state.lblMP3Name = ctx_.tracks.selectedName();
    }
    ctx_.player.Open(joinTrackPath(ctx_.state.txtMP3sPath, ctx_.state.lblMP3Name));
    ctx_.announcer.announce(Announcement::Random, ctx_.state.lblMP3Name);
    ctx_.notifyOptionsChanged();
}

void PlaybackCommands::openSelected(Announcement line) {
    // With nothing to select the name is empty and the open fails; the line still goes out.
    ctx_.state.lblMP3Name = ctx_.tracks.selectedName();
    ctx_.player.Open(ctx_.tracks.pathOf(ctx_.state.lblMP3Name));
    ctx_.announcer.announce(line, ctx_.state.lblMP3Name);
    ctx_.notifyOptionsChanged();
}

void PlaybackCommands::next() {
    const int at = ctx_.tracks.selectedIndex();
    // An index outside the list (an empty list) fails and is skipped.
    ctx_.tracks.select(at == ctx_.tracks.count() - 1 ? 0 : at + 1);
    openSelected(Announcement::Playing);
}

void PlaybackCommands::prev() {
    const int at = ctx_.tracks.selectedIndex();
    // From no selection this asks for index -2, which fails and is skipped.
    ctx_.tracks.select(at == 0 ? ctx_.tracks.count() - 1 : at - 1);
    openSelected(Announcement::Previous);
}

void PlaybackCommands::stop() {
    if (!trackChosen()) return;
    ctx_.player.Stop();
    ctx_.announcer.announce(Announcement::Stopped, ctx_.state.lblMP3Name);
}

void PlaybackCommands::pause() {
    if (!trackChosen()) return;
    ctx_.player.Pause();
    ctx_.window.setPaused(true);
    ctx_.announcer.announce(Announcement::Paused, ctx_.state.lblMP3Name);
}

void PlaybackCommands::unpause() {
    // Resumes without reading or clearing the player window's paused flag.
    if (!trackChosen()) return;
    ctx_.player.Play();
    ctx_.announcer.announce(Announcement::Upaused, ctx_.state.lblMP3Name);
}

void PlaybackCommands::seek(const QString& seconds, double direction, Announcement line) {
    const std::optional<double> amount = parseNumber(seconds);
    if (!amount) return;
    const double target = ctx_.player.CurrentPosition() + direction * *amount;
    // No clamping; only a position that is no number at all is not handed over.
    if (std::isfinite(target)) ctx_.player.SetCurrentPosition(target);
    ctx_.announcer.announce(line, seconds);
}

void PlaybackCommands::fwd(const QString& seconds) {
    seek(seconds, 1.0, Announcement::FastForward);
}

void PlaybackCommands::rwnd(const QString& seconds) {
    seek(seconds, -1.0, Announcement::Rewind);
}

void PlaybackCommands::songQuery() {
    ctx_.announcer.announce(Announcement::Song, ctx_.state.lblMP3Name);
}

void PlaybackCommands::vol(const QString& level) {
    const std::optional<double> value = parseNumber(level);
    if (!value || *value < 0 || *value > 100) return;
    ctx_.player.SetVolume(playerVolumeForLevel(*value));
    ctx_.window.setSlider(static_cast<int>(roundHalfEven(*value)));
    ctx_.announcer.announce(Announcement::SetVolume, level);
    ctx_.save(QStringLiteral("vol"), QString::number(ctx_.window.slider()));
}

void PlaybackCommands::volQuery() {
    ctx_.announcer.announce(Announcement::Volume, QString::number(ctx_.window.slider()));
}

void PlaybackCommands::dir(const QString& folder) {
    // The hidden folder list relays its folder to the track list, which reads it. A folder that
    // does not exist leaves both where they were; the list is then read again where it is.
    if (!setFolderRelay(ctx_, folder)) ctx_.tracks.refresh();
    ctx_.state.txtMP3sPath = folder;
    ctx_.save(QStringLiteral("mp3dir"), folder);
    ctx_.announcer.announce(Announcement::SetDir, folder);
    ctx_.notifyOptionsChanged();
}

void PlaybackCommands::dirQuery() {
    ctx_.announcer.announce(Announcement::Dir, ctx_.tracks.folder());
}

void PlaybackCommands::refresh() {
    ctx_.tracks.refresh();
    ctx_.announcer.announce(Announcement::Mp3ListRefreshed);
}

void PlaybackCommands::setContinuous(bool on) {
    ctx_.announcer.announce(on ? Announcement::SetContinuousOn : Announcement::SetContinuousOff);
    ctx_.save(QStringLiteral("continuous"), on);
    ctx_.state.continuous = on;
    ctx_.notifyOptionsChanged();
}

void PlaybackCommands::setRandom(bool on) {
    ctx_.announcer.announce(on ? Announcement::SetRandomOn : Announcement::SetRandomOff);
    ctx_.save(QStringLiteral("random"), on);
    ctx_.state.random = on;
    ctx_.notifyOptionsChanged();
}

}  // namespace melodrop
