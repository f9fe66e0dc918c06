#include "player/Transport.h"

#include "player/RandomPick.h"

namespace melodrop {

Transport::Transport(Context& ctx) : ctx_(ctx) {}

bool Transport::trackChosen() const {
    return ctx_.state.lblMP3Name != kNoTrack;
}

void Transport::openSelected() {
    ctx_.state.lblMP3Name = ctx_.tracks.selectedName();
    ctx_.player.Open(ctx_.tracks.pathOf(ctx_.state.lblMP3Name));
    ctx_.announcer.announce(Announcement::Playing, ctx_.state.lblMP3Name);
    ctx_.notifyOptionsChanged();
}

bool Transport::openRandom() {
    const int index = randomPick(ctx_.clock, ctx_.tracks.count());
    if (index < 0) return false;
    ctx_.tracks.select(index);
    ctx_.state.lblMP3Name = ctx_.tracks.selectedName();
    ctx_.player.Open(joinTrackPath(ctx_.state.txtMP3sPath, ctx_.state.lblMP3Name));
    ctx_.announcer.announce(Announcement::Random, ctx_.state.lblMP3Name);
    ctx_.notifyOptionsChanged();
    return true;
}

void Transport::play() {
    if (ctx_.window.paused()) {
        ctx_.window.setPaused(false);
        ctx_.player.Play();
        ctx_.announcer.announce(Announcement::Upaused, ctx_.state.lblMP3Name);
        return;
    }
    if (ctx_.state.random) {
        openRandom();
        return;
    }
    // Nothing selected would open the bare folder as a file: there is nothing to play.
    if (ctx_.tracks.selectedIndex() < 0) return;
    openSelected();
}

void Transport::pause() {
    if (!trackChosen()) return;
    ctx_.player.Pause();
    ctx_.announcer.announce(Announcement::Pausing, ctx_.state.lblMP3Name);
    ctx_.window.setPaused(true);
}

void Transport::stop() {
    if (!trackChosen()) return;
    ctx_.player.Stop();
    ctx_.announcer.announce(Announcement::Stopped, ctx_.state.lblMP3Name);
}

void Transport::next() {
    const int count = ctx_.tracks.count();
    if (count == 0) return;
    const int at = ctx_.tracks.selectedIndex();
    ctx_.tracks.select(at == count - 1 ? 0 : at + 1);
    openSelected();
}

void Transport::previous() {
    const int count = ctx_.tracks.count();
    if (count == 0) return;
    const int at = ctx_.tracks.selectedIndex();
    // With nothing selected there is no entry before it; the last one is the sensible step back.
    ctx_.tracks.select(at <= 0 ? count - 1 : at - 1);
    openSelected();
}

void Transport::seekTo(double seconds) {
    ctx_.player.SetCurrentPosition(seconds);
}

void Transport::fastForward() {
    seekTo(ctx_.player.CurrentPosition() + 5.0);
}

void Transport::rewind() {
    seekTo(ctx_.player.CurrentPosition() - 5.0);
}

void Transport::playListed(int index) {
    if (!ctx_.tracks.select(index) || index < 0) return;
    openSelected();
}

void Transport::sliderMoved(int position) {
    ctx_.window.setSlider(position);
    const int level = ctx_.window.slider();
    ctx_.player.SetVolume(level * 25 - 2500);
    ctx_.save(QStringLiteral("vol"), QString::number(level));
}

void Transport::trackEnded() {
    if (!ctx_.state.continuous) return;
    if (ctx_.state.random) {
        openRandom();
        return;
    }
    if (ctx_.tracks.selectedIndex() < 0) return;
    openSelected();
}

void Transport::menuPlay() {
    if (ctx_.tracks.selectedIndex() < 0) return;
    openSelected();
}

void Transport::menuStop() {
    stop();
}

void Transport::menuPause() {
    if (!trackChosen()) return;
    ctx_.player.Pause();
    ctx_.announcer.announce(Announcement::Paused, ctx_.state.lblMP3Name);
    ctx_.window.setPaused(true);
}

void Transport::menuUnpause() {
    if (ctx_.window.paused()) {
        ctx_.window.setPaused(false);
        ctx_.player.Play();
    }
    ctx_.announcer.announce(Announcement::Upaused, ctx_.state.lblMP3Name);
}

}  // namespace melodrop
