#include "base/PlaybackTracker.h"

namespace melodrop {

PlaybackTracker::PlaybackTracker(MediaPlayer& inner, QObject* parent)
    : MediaPlayer(parent), inner_(inner) {
    connect(&inner_, &MediaPlayer::TrackEnded, this, [this](int reason) {
        setStatus(Status::Stopped);
        emit TrackEnded(reason);
    });
}

void PlaybackTracker::setStatus(Status status) {
    if (status_ == status) return;
    status_ = status;
    emit changed();
}

bool PlaybackTracker::Open(const QString& path) {
    const bool ok = inner_.Open(path);
    // Open replaces the track either way: a file that fails leaves nothing open.
    openedPath_ = ok ? path : QString();
    if (ok) ++trackNumber_;
    status_ = ok ? Status::Playing : Status::Stopped;
    emit changed();
    return ok;
}

bool PlaybackTracker::Play() {
    const bool ok = inner_.Play();
    if (ok && !openedPath_.isEmpty()) setStatus(Status::Playing);
    return ok;
}

bool PlaybackTracker::Pause() {
    const bool ok = inner_.Pause();
    if (ok && status_ == Status::Playing) setStatus(Status::Paused);
    return ok;
}

bool PlaybackTracker::Stop() {
    const bool ok = inner_.Stop();
    if (ok) setStatus(Status::Stopped);
    return ok;
}

bool PlaybackTracker::SetCurrentPosition(double seconds) {
    const bool ok = inner_.SetCurrentPosition(seconds);
    if (ok && !openedPath_.isEmpty()) emit seeked(inner_.CurrentPosition());
    return ok;
}

}  // namespace melodrop
