#pragma once
#include <QRegularExpression>
#include <QStringList>

#include "base/MediaPlayer.h"

namespace melodrop::testing {

// Records every call as a line ("Open <path>", "Play", "Volume -1500" ...); positions move only
// when written. Files listed in failingPaths fail to open.
class FakeMediaPlayer : public MediaPlayer {
    Q_OBJECT
public:
    bool Open(const QString& path) override {
        calls << QStringLiteral("Open ") + path;
        openedPath = path;
        position = 0;
        playing = !failingPaths.contains(path);
        return playing;
    }
    bool Play() override { return record(QStringLiteral("Play"), true); }
    bool Pause() override { return record(QStringLiteral("Pause"), false); }
    bool Stop() override { return record(QStringLiteral("Stop"), false); }
    double CurrentPosition() const override { return position; }
    bool SetCurrentPosition(double seconds) override {
        calls << QStringLiteral("Position %1").arg(seconds);
        position = seconds;
        return true;
    }
    bool SetVolume(int level) override {
        calls << QStringLiteral("Volume %1").arg(level);
        volume = level;
        return true;
    }
    double Length() const override { return openedPath.isEmpty() ? 0 : length; }
    void finishTrack() { emit TrackEnded(0); }
    QStringList opens() const { return calls.filter(QRegularExpression(QStringLiteral("^Open "))); }

    QStringList calls;
    QStringList failingPaths;
    QString openedPath;
    double position = 0;
    int volume = 0;     // 0 until set: the player's own initial volume
    double length = 0;  // what Length() says of an opened file
    bool playing = false;

private:
    bool record(const QString& call, bool playingAfter) {
        calls << call;
        playing = playingAfter;
        return true;
    }
};

}  // namespace melodrop::testing
