#pragma once
// The program's media player as the program itself knows it: every call of the program passes
// through here on its way to the real player, and what a listener outside needs (the media
// keys, desktop media widgets) is kept: whether a track plays, is paused or stopped, which file
// was opened last, and when the position jumped.
#include <QString>

#include "base/MediaPlayer.h"

namespace melodrop {

class PlaybackTracker : public MediaPlayer {
    Q_OBJECT
public:
    enum class Status { Stopped, Playing, Paused };

    explicit PlaybackTracker(MediaPlayer& inner, QObject* parent = nullptr);

    bool Open(const QString& path) override;
    bool Play() override;
    bool Pause() override;
    bool Stop() override;
    double CurrentPosition() const override { return inner_.CurrentPosition(); }
    bool SetCurrentPosition(double seconds) override;
    bool SetVolume(int hundredthsOfDecibel) override {
        return inner_.SetVolume(hundredthsOfDecibel);
    }
    double Length() const override { return inner_.Length(); }

    Status status() const { return status_; }
    // The file opened last, "" before the first open and after one that failed.
    QString openedPath() const { return openedPath_; }
    // Counts the opens that succeeded: tells one playing of a file from the next.
    int trackNumber() const { return trackNumber_; }

signals:
    // The status or the opened file changed.
    void changed();
    // The position was moved (fast forward, rewind, a seek); the new position in seconds.
    void seeked(double seconds);

private:
    void setStatus(Status status);

    MediaPlayer& inner_;
    Status status_ = Status::Stopped;
    QString openedPath_;
    int trackNumber_ = 0;
};

}  // namespace melodrop
