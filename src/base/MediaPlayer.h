#pragma once
// The one audio player of the program: one MP3 file at a time, headless.
#include <QObject>
#include <QString>

namespace melodrop {

class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MediaPlayer() override = default;

    // Loads the file and starts playing it at once, replacing whatever played before.
    // Returns false (and plays nothing) for a missing, empty, truncated or non-MP3 file.
    virtual bool Open(const QString& path) = 0;
    // Resumes where Pause left off.
    virtual bool Play() = 0;
    virtual bool Pause() = 0;
    virtual bool Stop() = 0;
    // Playing position in seconds from the start of the file.
    virtual double CurrentPosition() const = 0;
    // Moves playback: before the start plays from the start; past the end ends the track.
    virtual bool SetCurrentPosition(double seconds) = 0;
    // Hundredths of a decibel: -2500 is -25 dB, 0 is full. gain = 10^(volume / 2000).
    virtual bool SetVolume(int hundredthsOfDecibel) = 0;
    // Length of the opened file in seconds; 0 when nothing is open or the length is not known.
    virtual double Length() const { return 0; }

signals:
    // Raised on the UI thread once when an opened file plays to its end; never after Stop or
    // when Open replaces the track.
    void TrackEnded(int reason);
};

}  // namespace melodrop
