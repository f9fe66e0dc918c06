#include "scenario/SilentMediaPlayer.h"

#include <QFileInfo>

namespace melodrop::scenario {

bool SilentMediaPlayer::Open(const QString& path) {
    loaded_ = QFileInfo(path).isFile();
    position_ = 0;
    return loaded_;
}

bool SilentMediaPlayer::Stop() {
    position_ = 0;
    return loaded_;
}

bool SilentMediaPlayer::SetCurrentPosition(double seconds) {
    if (!loaded_) return false;
    position_ = seconds < 0 ? 0 : seconds;
    return true;
}

void SilentMediaPlayer::finishTrack() {
    if (loaded_) emit TrackEnded(0);
}

}  // namespace melodrop::scenario
