#include "audio/TrackStream.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioOutput.h"

namespace melodrop::audio {

namespace {
constexpr int kFrameBytes = sizeof(float) * kOutputChannels;
constexpr int kChunkFrames = 4096;
// SDL's resampler keeps back the last few hundred frames it was given, even when flushed;
// silence put after the track pushes them out. More than enough at any MP3 rate.
constexpr int kTailPaddingFrames = 4096;
static_assert(kTailPaddingFrames <= kChunkFrames, "the padding is put from the scratch buffer");
}  // namespace

std::unique_ptr<TrackStream> TrackStream::create(std::unique_ptr<Mp3Decoder> decoder) {
    if (!decoder) {
        return nullptr;
    }
    SDL_AudioStream* resampler =
        SDL_NewAudioStream(AUDIO_F32SYS, Mp3Decoder::kChannels, decoder->sampleRate(), AUDIO_F32SYS,
                           kOutputChannels, kOutputRate);
    if (resampler == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<TrackStream>(new TrackStream(std::move(decoder), resampler));
}

TrackStream::TrackStream(std::unique_ptr<Mp3Decoder> decoder, SDL_AudioStream* resampler)
    : decoder_(std::move(decoder)),
      resampler_(resampler),
      scratch_(static_cast<size_t>(kChunkFrames) * Mp3Decoder::kChannels) {
    seek(0);
}

TrackStream::~TrackStream() {
    SDL_FreeAudioStream(resampler_);
}

double TrackStream::lengthSeconds() const {
    return static_cast<double>(decoder_->lengthFrames()) / decoder_->sampleRate();
}

double TrackStream::positionSeconds() const {
    if (rendered_ >= toRender_) {
        return lengthSeconds();
    }
    return std::min(lengthSeconds(), startSeconds_ + static_cast<double>(rendered_) / kOutputRate);
}

int TrackStream::render(float* out, int frames) {
    // Exactly the output frames that the rest of the track lasts, not the resampler's padding.
    frames = static_cast<int>(std::min<int64_t>(frames, toRender_ - rendered_));
    int filled = 0;
    while (filled < frames) {
        const int available = SDL_AudioStreamAvailable(resampler_) / kFrameBytes;
        if (available == 0) {
            if (!refill()) {
                break;
            }
            continue;
        }
        const int want = std::min(available, frames - filled);
        const int got =
            SDL_AudioStreamGet(resampler_, out + filled * kOutputChannels, want * kFrameBytes);
        if (got <= 0) {
            break;
        }
        filled += got / kFrameBytes;
    }
    rendered_ += filled;
    return filled;
}

bool TrackStream::refill() {
    if (flushed_) {
        return false;
    }
    const int decoded = decoder_->read(scratch_.data(), kChunkFrames);
    if (decoded > 0 &&
        SDL_AudioStreamPut(resampler_, scratch_.data(), decoded * kFrameBytes) == 0) {
        return true;
    }
    // The end of the track: let the resampler give out what it still holds.
    std::fill(scratch_.begin(), scratch_.end(), 0.0f);
    SDL_AudioStreamPut(resampler_, scratch_.data(), kTailPaddingFrames * kFrameBytes);
    SDL_AudioStreamFlush(resampler_);
    flushed_ = true;
    return SDL_AudioStreamAvailable(resampler_) > 0;
}

void TrackStream::seek(double seconds) {
    const int rate = decoder_->sampleRate();
    const int64_t length = decoder_->lengthFrames();
    // Compared first so that no huge, infinite or NaN value is ever turned into an integer.
    int64_t frame = 0;
    if (seconds >= lengthSeconds()) {
        frame = length;
    } else if (seconds > 0) {
        frame = std::min(std::llround(seconds * rate), static_cast<long long>(length));
    }
    decoder_->seek(frame);
    SDL_AudioStreamClear(resampler_);
    flushed_ = false;
    startSeconds_ = static_cast<double>(frame) / rate;
    rendered_ = 0;
    toRender_ = std::llround(static_cast<double>(length - frame) * kOutputRate / rate);
}

}  // namespace melodrop::audio
