#include "audio/AudioPlayer.h"

#include <algorithm>
#include <cmath>

#include "audio/Mp3Decoder.h"
#include "audio/SdlAudioOutput.h"
#include "audio/TrackStream.h"
#include "audio/VolumeGain.h"
#include "base/FileNames.h"

namespace melodrop {

using audio::kOutputChannels;
using audio::kOutputRate;

namespace {
// The argument TrackEnded carries; listeners ignore it.
constexpr int kEndOfStream = 0;
}  // namespace

AudioPlayer::AudioPlayer(QObject* parent)
    : AudioPlayer(std::make_unique<audio::SdlAudioOutput>(), parent) {}

AudioPlayer::AudioPlayer(std::unique_ptr<audio::AudioOutput> output, QObject* parent)
    : MediaPlayer(parent), output_(std::move(output)) {}

AudioPlayer::~AudioPlayer() {
    // Closing the output first guarantees that its thread posts nothing more; what it posted
    // already is discarded with this object.
    output_.reset();
}

bool AudioPlayer::EnsureOutputOpen() {
    if (!outputOpen_) {
        outputOpen_ = output_->Open([this](float* out, int frames) { Fill(out, frames); });
    }
    return outputOpen_;
}

bool AudioPlayer::Open(const QString& path) {
    audio::DecoderError error = audio::DecoderError::None;
    auto track = audio::TrackStream::Create(
        audio::Mp3Decoder::Open(nativeFilePath(path).toStdString(), &error));
    const bool playing = track != nullptr && EnsureOutputOpen();
    std::unique_ptr<audio::TrackStream> replaced;
    {
        std::lock_guard lock(mutex_);
        replaced = std::move(track_);
        NewGenerationLocked();
        HoldAtLocked(0);
        if (playing) {
            track_ = std::move(track);
            state_ = State::Playing;
        } else {
            state_ = State::Empty;
        }
    }
    if (outputOpen_) {
        output_->SetRunning(playing);
    }
    return playing;
}

bool AudioPlayer::Play() {
    {
        std::lock_guard lock(mutex_);
        switch (state_) {
            case State::Empty:
                return false;
            case State::Playing:
                return true;
            case State::Ended:
                NewGenerationLocked();
                track_->Seek(0);
                HoldAtLocked(0);
                break;
            case State::Paused:
            case State::Stopped:
                HoldAtLocked(heldPosition_);
                break;
        }
        state_ = State::Playing;
    }
    output_->SetRunning(true);
    return true;
}

bool AudioPlayer::Pause() {
    {
        std::lock_guard lock(mutex_);
        if (state_ == State::Empty) {
            return false;
        }
        if (state_ != State::Playing) {
            return true;
        }
        // The output drops the rest of the buffer it is playing, so the track goes back to
        // what was heard last: resuming continues from exactly there.
        const double heard = AudiblePositionLocked();
        track_->Seek(heard);
        HoldAtLocked(heard);
        lastBufferGiven_ = false;
        state_ = State::Paused;
    }
    output_->SetRunning(false);
    return true;
}

bool AudioPlayer::Stop() {
    {
        std::lock_guard lock(mutex_);
        if (state_ == State::Empty) {
            return false;
        }
        NewGenerationLocked();
        track_->Seek(0);
        HoldAtLocked(0);
        state_ = State::Stopped;
    }
    output_->SetRunning(false);
    return true;
}

double AudioPlayer::CurrentPosition() const {
    std::lock_guard lock(mutex_);
    return state_ == State::Playing ? AudiblePositionLocked() : heldPosition_;
}

double AudioPlayer::Length() const {
    std::lock_guard lock(mutex_);
    return (state_ == State::Empty || !track_) ? 0.0 : track_->LengthSeconds();
}

bool AudioPlayer::SetCurrentPosition(double seconds) {
    if (std::isnan(seconds)) {
        return false;
    }
    bool endsNow = false;
    uint64_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        if (state_ == State::Empty) {
            return false;
        }
        NewGenerationLocked();
        generation = generation_;
        const double length = track_->LengthSeconds();
        if (seconds >= length) {
            endsNow = state_ == State::Playing || state_ == State::Paused;
            endPosted_ = endsNow;
            track_->Seek(length);
            HoldAtLocked(length);
            state_ = State::Ended;
        } else {
            seconds = std::max(0.0, seconds);
            track_->Seek(seconds);
            HoldAtLocked(seconds);
            if (state_ == State::Ended) {
                state_ = State::Stopped;
            }
        }
    }
    if (endsNow) {
        output_->SetRunning(false);
        PostTrackEnd(generation);
    }
    return true;
}

bool AudioPlayer::SetVolume(int hundredthsOfDecibel) {
    std::lock_guard lock(mutex_);
    gain_ = audio::GainForVolume(hundredthsOfDecibel);
    return true;
}

void AudioPlayer::Fill(float* out, int frames) {
    std::lock_guard lock(mutex_);
    int filled = 0;
    if (state_ == State::Playing && !endPosted_) {
        if (lastBufferGiven_) {
            // The output asks again, so the buffer with the track's last samples has played.
            endPosted_ = true;
            PostTrackEnd(generation_);
        } else {
            const double start = track_->PositionSeconds();
            filled = track_->Render(out, frames);
            audio::ApplyGain(out, static_cast<size_t>(filled) * kOutputChannels, gain_);
            bufferStart_ = start;
            bufferFrames_ = filled;
            bufferTime_ = Clock::now();
            lastBufferGiven_ = filled < frames;
        }
    }
    std::fill(out + static_cast<size_t>(filled) * kOutputChannels,
              out + static_cast<size_t>(frames) * kOutputChannels, 0.0f);
}

void AudioPlayer::PostTrackEnd(uint64_t generation) {
    QMetaObject::invokeMethod(
        this, [this, generation] { DeliverTrackEnd(generation); }, Qt::QueuedConnection);
}

void AudioPlayer::DeliverTrackEnd(uint64_t generation) {
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_) {
            return;  // Open, Stop, a seek or a replay came first: that end is stale
        }
        HoldAtLocked(track_->LengthSeconds());
        state_ = State::Ended;
    }
    output_->SetRunning(false);
    emit TrackEnded(kEndOfStream);
}

double AudioPlayer::AudiblePositionLocked() const {
    // The output plays a buffer from the moment it takes it, at the output rate.
    const double elapsed = std::chrono::duration<double>(Clock::now() - bufferTime_).count();
    const double played = std::min(elapsed * kOutputRate, static_cast<double>(bufferFrames_));
    return std::min(bufferStart_ + played / kOutputRate, track_->LengthSeconds());
}

void AudioPlayer::NewGenerationLocked() {
    ++generation_;
    endPosted_ = false;
    lastBufferGiven_ = false;
}

void AudioPlayer::HoldAtLocked(double seconds) {
    heldPosition_ = seconds;
    bufferStart_ = seconds;
    bufferFrames_ = 0;
    bufferTime_ = Clock::now();
}

}  // namespace melodrop
