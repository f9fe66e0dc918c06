#pragma once
// The program's real media player: libmpg123 decodes, an audio output (SDL2 unless another is
// given) plays. Decoding runs on the output's thread, a buffer at a time, so it never holds up
// the event loop; that thread touches no Qt object and only posts the end of a track to the
// player's own thread.
//
// The calls never wait for a decode. Open reads and checks the file on the caller's thread and
// hands the track over; Play, Pause, Stop and seeks post what the next buffer should be; the
// volume is an atomic gain; the position is read from the stamp of the buffer playing, without
// a lock the output's thread holds. Only starting and stopping the output (Open, Play, Pause,
// Stop, an end) may wait for the buffer being filled at that moment, as the output's own
// pause does.
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
// - The calls may come from any thread; they are serialised among themselves.
#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "audio/AudioOutput.h"
#include "audio/Playback.h"
#include "base/MediaPlayer.h"

namespace melodrop {

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

    void postTrackEnd(uint64_t generation);  // from any thread
    Q_INVOKABLE void deliverTrackEnd();      // on the player's thread
    // The rest runs under controlMutex_.
    bool ensureOutputOpen();
    void runOutput(bool running);
    void cue(std::optional<double> seekTo = std::nullopt);
    audio::Cue currentCue() const;
    double audiblePosition() const;
    void newGeneration();
    void holdAt(double seconds);

    // The newest generation whose end was posted. Ends are posted by name with no arguments,
    // so nothing written on another thread travels inside Qt's event queue (whose lock the
    // thread sanitizer does not see); the generation comes through here instead.
    std::atomic<uint64_t> endedGeneration_{0};
    // Declared before the output, so destroyed after it: the output's thread fills through it.
    audio::Playback playback_;
    std::unique_ptr<audio::AudioOutput> output_;

    // The player's side. The output's thread never takes this lock.
    mutable std::mutex controlMutex_;
    bool outputOpen_ = false;
    State state_ = State::Empty;
    uint64_t generation_ = 0;
    uint64_t deliveredGeneration_ = 0;  // the generation whose end was raised last
    double length_ = 0;
    double heldPosition_ = 0;  // the position when not playing; while playing, where it began
    // Every hold starts a new segment: the clock's stamps from an older one are not this
    // playing's, and until the output stamps a buffer of this one, the sound is at its start.
    uint64_t segment_ = 0;
};

}  // namespace melodrop
