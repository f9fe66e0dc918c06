#include "player/Transport.h"

#include "base/RandomPick.h"
#include "base/VolumeLevel.h"

namespace melodrop {

Transport::Transport(const TransportUses& uses) : uses_(uses), state_(uses.options.state()) {}

void Transport::openTrack(const QString& name, TrackFolder folder, Announcement line,
                          AnnounceWhen when) {
    if (when == AnnounceWhen::BeforeOpening) uses_.announcer.announce(line, name);
    lblMP3Name_ = name;
    uses_.player.Open(folder == TrackFolder::List ? uses_.tracks.pathOf(name)
                                                  : joinTrackPath(state_.txtMP3sPath, name));
    if (when == AnnounceWhen::AfterOpening) uses_.announcer.announce(line, lblMP3Name_);
}

bool Transport::selectSomething() {
    // Nothing selected would open the bare folder as a file: play means the first track then,
    // and the selection moves to it. An empty list has nothing to play.
    return uses_.tracks.selectedIndex() >= 0 || uses_.tracks.select(0);
}

void Transport::openSelected() {
    openTrack(uses_.tracks.selectedName(), TrackFolder::List, Announcement::Playing);
}

bool Transport::openRandom() {
    const int index = randomPick(uses_.clock, uses_.tracks.count());
    if (index < 0) return false;
    uses_.tracks.select(index);
    openTrack(uses_.tracks.selectedName(), TrackFolder::Mp3FolderText, Announcement::Random);
    return true;
}

void Transport::play() {
    if (uses_.window.paused()) {
        menuUnpause();  // resumes and says so, as the menu's unpause does
        return;
    }
    if (state_.random) {
        openRandom();
        return;
    }
    if (!selectSomething()) return;
    openSelected();
}

void Transport::pause() {
    if (!trackChosen()) return;
    uses_.player.Pause();
    uses_.announcer.announce(Announcement::Pausing, lblMP3Name_);
    uses_.window.setPaused(true);
}

void Transport::stop() {
    if (!trackChosen()) return;
    uses_.player.Stop();
    uses_.announcer.announce(Announcement::Stopped, lblMP3Name_);
}

void Transport::next() {
    const int count = uses_.tracks.count();
    if (count == 0) return;
    const int at = uses_.tracks.selectedIndex();
    uses_.tracks.select(at == count - 1 ? 0 : at + 1);
    openSelected();
}

void Transport::previous() {
    const int count = uses_.tracks.count();
    if (count == 0) return;
    const int at = uses_.tracks.selectedIndex();
    // With nothing selected there is no entry before it; the last one is the sensible step back.
    uses_.tracks.select(at <= 0 ? count - 1 : at - 1);
    openSelected();
}

void Transport::seekTo(double seconds) {
    uses_.player.SetCurrentPosition(seconds);
}

void Transport::fastForward() {
    seekTo(uses_.player.CurrentPosition() + 5.0);
}

void Transport::rewind() {
    seekTo(uses_.player.CurrentPosition() - 5.0);
}

void Transport::playListed(int index) {
    if (!uses_.tracks.select(index) || index < 0) return;
    openSelected();
}

void Transport::sliderMoved(int position) {
    uses_.window.setSlider(position);
    const int level = uses_.window.slider();
    uses_.player.SetVolume(playerVolumeRounded(level));
    uses_.options.set(setting::volume, level);
}

void Transport::trackEnded() {
    if (!state_.continuous) return;
    if (state_.random) {
        openRandom();
        return;
    }
    if (uses_.tracks.selectedIndex() < 0) return;
    openSelected();
}

void Transport::menuPlay() {
    if (!selectSomething()) return;
    openSelected();
}

void Transport::menuStop() {
    stop();
}

void Transport::menuPause() {
    if (!trackChosen()) return;
    uses_.player.Pause();
    uses_.announcer.announce(Announcement::Paused, lblMP3Name_);
    uses_.window.setPaused(true);
}

void Transport::menuUnpause() {
    if (uses_.window.paused()) {
        uses_.window.setPaused(false);
        uses_.player.Play();
    }
    uses_.announcer.announce(Announcement::Upaused, lblMP3Name_);
}

}  // namespace melodrop
