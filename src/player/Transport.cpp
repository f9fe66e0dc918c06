#include "player/Transport.h"

#include "base/RandomPick.h"
#include "base/VolumeLevel.h"

namespace melodrop {

Transport::Transport(MediaPlayer& player, TrackList& tracks, PlayerWindowModel& window,
                     Options& options, Announcer& announcer, Clock& clock)
    : player_(player),
      tracks_(tracks),
      window_(window),
      options_(options),
      state_(options.state()),
      announcer_(announcer),
      clock_(clock) {}

bool Transport::trackChosen() const {
    return state_.lblMP3Name != kNoTrack;
}

bool Transport::selectSomething() {
    // Nothing selected would open the bare folder as a file: play means the first track then,
    // and the selection moves to it. An empty list has nothing to play.
    return tracks_.selectedIndex() >= 0 || tracks_.select(0);
}

void Transport::openSelected() {
    state_.lblMP3Name = tracks_.selectedName();
    player_.Open(tracks_.pathOf(state_.lblMP3Name));
    announcer_.announce(Announcement::Playing, state_.lblMP3Name);
}

bool Transport::openRandom() {
    const int index = randomPick(clock_, tracks_.count());
    if (index < 0) return false;
    tracks_.select(index);
    state_.lblMP3Name = tracks_.selectedName();
    player_.Open(joinTrackPath(state_.txtMP3sPath, state_.lblMP3Name));
    announcer_.announce(Announcement::Random, state_.lblMP3Name);
    return true;
}

void Transport::play() {
    if (window_.paused()) {
        window_.setPaused(false);
        player_.Play();
        announcer_.announce(Announcement::Upaused, state_.lblMP3Name);
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
    player_.Pause();
    announcer_.announce(Announcement::Pausing, state_.lblMP3Name);
    window_.setPaused(true);
}

void Transport::stop() {
    if (!trackChosen()) return;
    player_.Stop();
    announcer_.announce(Announcement::Stopped, state_.lblMP3Name);
}

void Transport::next() {
    const int count = tracks_.count();
    if (count == 0) return;
    const int at = tracks_.selectedIndex();
    tracks_.select(at == count - 1 ? 0 : at + 1);
    openSelected();
}

void Transport::previous() {
    const int count = tracks_.count();
    if (count == 0) return;
    const int at = tracks_.selectedIndex();
    // With nothing selected there is no entry before it; the last one is the sensible step back.
    tracks_.select(at <= 0 ? count - 1 : at - 1);
    openSelected();
}

void Transport::seekTo(double seconds) {
    player_.SetCurrentPosition(seconds);
}

void Transport::fastForward() {
    seekTo(player_.CurrentPosition() + 5.0);
}

void Transport::rewind() {
    seekTo(player_.CurrentPosition() - 5.0);
}

void Transport::playListed(int index) {
    if (!tracks_.select(index) || index < 0) return;
    openSelected();
}

void Transport::sliderMoved(int position) {
    window_.setSlider(position);
    const int level = window_.slider();
    player_.SetVolume(playerVolumeRounded(level));
    options_.set(setting::volume, level);
}

void Transport::trackEnded() {
    if (!state_.continuous) return;
    if (state_.random) {
        openRandom();
        return;
    }
    if (tracks_.selectedIndex() < 0) return;
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
    player_.Pause();
    announcer_.announce(Announcement::Paused, state_.lblMP3Name);
    window_.setPaused(true);
}

void Transport::menuUnpause() {
    if (window_.paused()) {
        window_.setPaused(false);
        player_.Play();
    }
    announcer_.announce(Announcement::Upaused, state_.lblMP3Name);
}

}  // namespace melodrop
