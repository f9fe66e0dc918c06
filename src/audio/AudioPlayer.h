#pragma once
// The program's real media player: libmpg123 decodes, an audio output (SDL2 unless another is
// given) plays. Decoding runs on the output's thread, a buffer at a time, so it never holds up
// the event loop; that thread touches no Qt object and only posts the end of a track to the
// player's own thread.
//
// Behaviour at the edges:
// - Open of a file that cannot be played (missing, empty, not MP3, cut short: fewer frames than
//   its own header promises) returns false; the track that played before is stopped and
//   dropped, as Open replaces it either way. Play, Pause and Stop then do nothing.
// - Stop rewinds to the start and keeps the track; Play after Stop plays it from the start, and
//   Play after the track has ended plays it again.
// - SetCurrentPosition keeps playing, paused or stopped as it was; a negative position means
//   the start. At or past the end, a playing or paused track ends there and then (TrackEnded
//   follows through the event loop); a stopped or ended one just stays at its end.
// - TrackEnded comes once per played-out track. Every Open, Stop, seek and replay starts a new
//   generation; an end from an older generation is dropped.
#include <QObject>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>

#include "audio/AudioOutput.h"
#include "base/MediaPlayer.h"

namespace melodrop {

namespace audio {
class TrackStream;
}

class AudioPlayer : public MediaPlayer {
    Q_OBJECT
public:
    // Plays through the sound device (SDL2, with the dummy driver when there is no sound card).
    explicit AudioPlayer(QObject* parent = nullptr);
    // Plays into the given output. The output is opened at the first Open and kept after.
    explicit AudioPlayer(std::unique_ptr<audio::AudioOutput> output, QObject* parent = nullptr);
    ~AudioPlayer() override;

    bool Open(const QString& path) override;
    bool Play() override;
    bool Pause() override;
    bool Stop() override;
    double CurrentPosition() const override;
    bool SetCurrentPosition(double seconds) override;
    bool SetVolume(int hundredthsOfDecibel) override;
    double Length() const override;

private:
    enum class State { Empty, Playing, Paused, Stopped, Ended };
    using Clock = std::chrono::steady_clock;

    void Fill(float* out, int frames);  // on the output's thread
    void PostTrackEnd(uint64_t generation);
    void DeliverTrackEnd(uint64_t generation);
    bool EnsureOutputOpen();
    double AudiblePositionLocked() const;
    void NewGenerationLocked();
    void HoldAtLocked(double seconds);

    std::unique_ptr<audio::AudioOutput> output_;
    bool outputOpen_ = false;

    mutable std::mutex mutex_;
    // Everything below is shared with the output's thread and guarded by mutex_.
    std::unique_ptr<audio::TrackStream> track_;
    State state_ = State::Empty;
    uint64_t generation_ = 0;
    float gain_ = 1.0f;
    double heldPosition_ = 0;  // the position whenever not playing
    // The buffer handed to the output last: where it starts in the track, how many frames of
    // the track it holds and when it was handed over. The audible position lies inside it.
    double bufferStart_ = 0;
    int bufferFrames_ = 0;
    Clock::time_point bufferTime_;
    bool lastBufferGiven_ = false;  // the buffer with the end of the track is out
    bool endPosted_ = false;
};

}  // namespace melodrop
