#pragma once
// An opened track as a stream of output samples: the decoder's frames at the file's own rate,
// resampled to the output rate, with the playing position kept in seconds of the track.
// Not thread-safe: one thread at a time uses it (the output's thread while it plays).
#include <SDL_audio.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/Mp3Decoder.h"

namespace melodrop::audio {

class TrackStream {
public:
    // Null without a decoder or when the resampler cannot be made.
    static std::unique_ptr<TrackStream> create(std::unique_ptr<Mp3Decoder> decoder);
    ~TrackStream();
    TrackStream(const TrackStream&) = delete;
    TrackStream& operator=(const TrackStream&) = delete;

    double lengthSeconds() const;
    // Where the next frame render gives lies in the track.
    double positionSeconds() const;
    // Fills up to `frames` output frames (interleaved stereo at kOutputRate). Returns how many
    // it filled: fewer than asked only at the end of the track.
    int render(float* out, int frames);
    // Moves to a position, sample-accurately, clamped to the track.
    void seek(double seconds);

private:
    TrackStream(std::unique_ptr<Mp3Decoder> decoder, SDL_AudioStream* resampler);
    // Decodes one more chunk into the resampler; false once the track has nothing more.
    bool refill();

    std::unique_ptr<Mp3Decoder> decoder_;
    SDL_AudioStream* resampler_;
    std::vector<float> scratch_;
    double startSeconds_ = 0;  // where the last seek landed
    int64_t rendered_ = 0;     // output frames given since then
    int64_t toRender_ = 0;     // output frames from there to the end of the track
    bool flushed_ = false;     // the decoder is done and the resampler was told so
};

}  // namespace melodrop::audio
