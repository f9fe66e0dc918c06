#pragma once
// A media player that plays nothing: it opens any file that exists, keeps the position where it
// was last put, and ends a track only when told to. Scenarios use it for fast, exact runs.
#include "base/MediaPlayer.h"

namespace melodrop::scenario {

class SilentMediaPlayer : public MediaPlayer {
    Q_OBJECT
public:
    using MediaPlayer::MediaPlayer;

    bool Open(const QString& path) override;
    bool Play() override { return loaded_; }
    bool Pause() override { return loaded_; }
    bool Stop() override;
    double CurrentPosition() const override { return position_; }
    bool SetCurrentPosition(double seconds) override;
    bool SetVolume(int) override { return true; }

    // The opened track has played to its end.
    void finishTrack();

private:
    bool loaded_ = false;
    double position_ = 0;
};

}  // namespace melodrop::scenario
