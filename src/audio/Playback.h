#pragma once
// The output thread's half of the player. It owns the track while it plays: at the start of
// each buffer it takes what the player's thread asked for since the last one (a new track, a
// seek, playing or not), then decodes, applies the gain, stamps the buffer on the clock and
// reports the end of the track. The player's thread never waits for a decode: its requests go
// through a slot that either side holds only to move a few fields, the gain is an atomic and
// the clock is read without a lock.
//
// Who may call what:
// - post, postTrack, setGain, clock: any thread (the player serialises its own calls).
// - fill: the output's thread.
// - applyPosted: the output's thread (fill calls it), or the player's thread while the output
//   is stopped, since then nothing runs on the output's thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "audio/BufferClock.h"

namespace melodrop::audio {

class TrackStream;

// What the player wants the output to do from its next buffer on.
struct Cue {
    uint64_t generation = 0;  // the end of the track is reported with it
    uint64_t segment = 0;     // the clock's stamps carry it
    bool playing = false;     // false: silence
};

class Playback {
public:
    // Called on the output's thread, once per generation, when the buffer with the end of
    // the track has been taken and the output asks for more.
    using EndReport = std::function<void(uint64_t generation)>;

    explicit Playback(EndReport reportEnd);
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Replaces the cue; with seekTo, also moves the track there. A later post replaces an
    // earlier one not yet taken, keeping the earlier seek unless it brings one of its own.
    void post(const Cue& cue, std::optional<double> seekTo = std::nullopt);
    // Replaces the track (null: none) and the cue; a seek not yet taken is dropped.
    void postTrack(const Cue& cue, std::unique_ptr<TrackStream> track);
    void setGain(float gain) { gain_.store(gain, std::memory_order_relaxed); }
    const BufferClock& clock() const { return clock_; }

    // Fills `frames` interleaved stereo frames: the track, or silence.
    void fill(float* out, int frames);
    // Takes what was posted, if anything.
    void applyPosted();

private:
    struct Request {
        bool posted = false;
        Cue cue;
        bool replaceTrack = false;
        std::unique_ptr<TrackStream> track;
        std::optional<double> seekTo;
    };

    const EndReport reportEnd_;
    std::atomic<float> gain_{1.0f};
    BufferClock clock_;

    std::mutex requestMutex_;  // held only to move a request in or out, never across a decode
    Request pending_;

    // The output's side: touched only by whoever may call applyPosted.
    std::unique_ptr<TrackStream> track_;
    Cue cue_;
    bool lastBufferGiven_ = false;  // the buffer with the end of the track is out
    bool endReported_ = false;
};

}  // namespace melodrop::audio
