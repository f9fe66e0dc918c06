#include "audio/AudioPlayer.h"

#include <algorithm>
#include <cmath>

#include "audio/Mp3Decoder.h"
#include "audio/SdlAudioOutput.h"
#include "audio/TrackStream.h"
#include "audio/VolumeGain.h"
#include "base/FileNames.h"

namespace melodrop {

using audio::kOutputRate;

namespace {
// The argument TrackEnded carries; listeners ignore it.
constexpr int kEndOfStream = 0;
}  // namespace

AudioPlayer::AudioPlayer(QObject* parent)
    : AudioPlayer(std::make_unique<audio::SdlAudioOutput>(), parent) {}

AudioPlayer::AudioPlayer(std::unique_ptr<audio::AudioOutput> output, QObject* parent)
    : MediaPlayer(parent),
      playback_([this](uint64_t generation) { postTrackEnd(generation); }),
      output_(std::move(output)) {}

AudioPlayer::~AudioPlayer() {
    // Closing the output first guarantees that its thread posts nothing more; what it posted
    // already is discarded with this object.
    output_.reset();
}

bool AudioPlayer::ensureOutputOpen() {
    if (!outputOpen_) {
        outputOpen_ =
            output_->open([this](float* out, int frames) { playback_.fill(out, frames); });
    }
    return outputOpen_;
}

void AudioPlayer::runOutput(bool running) {
    if (outputOpen_) {
        output_->setRunning(running);
    }
    if (!running) {
        // Nothing runs on the output's thread now, so what was posted lands at once: a track
        // replaced is closed here rather than whenever the output runs again.
        playback_.applyPosted();
    }
}

bool AudioPlayer::Open(const QString& path) {
    // Reading and checking the file takes a pass over it: done before anything is held.
    audio::DecoderError error = audio::DecoderError::None;
    auto track = audio::TrackStream::create(
        audio::Mp3Decoder::open(nativeFilePath(path).toStdString(), &error));
    std::lock_guard lock(controlMutex_);
    const bool playing = track != nullptr && ensureOutputOpen();
    newGeneration();
    holdAt(0);
    length_ = playing ? track->lengthSeconds() : 0.0;
    state_ = playing ? State::Playing : State::Empty;
    playback_.postTrack(currentCue(), playing ? std::move(track) : nullptr);
    runOutput(playing);
    return playing;
}

bool AudioPlayer::Play() {
    std::lock_guard lock(controlMutex_);
    switch (state_) {
        case State::Empty:
            return false;
        case State::Playing:
            return true;
        case State::Ended:
            newGeneration();
            holdAt(0);
            state_ = State::Playing;
            cue(0.0);
            break;
        case State::Paused:
        case State::Stopped:
            // The track already waits where it was held.
            holdAt(heldPosition_);
            state_ = State::Playing;
            cue();
            break;
    }
    runOutput(true);
    return true;
}

bool AudioPlayer::Pause() {
    std::lock_guard lock(controlMutex_);
    if (state_ == State::Empty) {
        return false;
    }
    if (state_ != State::Playing) {
        return true;
    }
    // The output drops the rest of the buffer it is playing, so the track goes back to what
    // was heard last: resuming continues from exactly there.
    const double heard = audiblePosition();
    holdAt(heard);
    state_ = State::Paused;
    cue(heard);
    runOutput(false);
    return true;
}

bool AudioPlayer::Stop() {
    std::lock_guard lock(controlMutex_);
    if (state_ == State::Empty) {
        return false;
    }
    newGeneration();
    holdAt(0);
    state_ = State::Stopped;
    cue(0.0);
    runOutput(false);
    return true;
}

double AudioPlayer::CurrentPosition() const {
    std::lock_guard lock(controlMutex_);
    return state_ == State::Playing ? audiblePosition() : heldPosition_;
}

double AudioPlayer::Length() const {
    std::lock_guard lock(controlMutex_);
    return length_;
}

bool AudioPlayer::SetCurrentPosition(double seconds) {
    if (std::isnan(seconds)) {
        return false;
    }
    std::lock_guard lock(controlMutex_);
    if (state_ == State::Empty) {
        return false;
    }
    newGeneration();
    if (seconds >= length_) {
        const bool endsNow = state_ == State::Playing || state_ == State::Paused;
        holdAt(length_);
        state_ = State::Ended;
        cue(length_);
        if (endsNow) {
            runOutput(false);
            postTrackEnd(generation_);
        }
        return true;
    }
    seconds = std::max(0.0, seconds);
    holdAt(seconds);
    if (state_ == State::Ended) {
        state_ = State::Stopped;
    }
    cue(seconds);
    return true;
}

bool AudioPlayer::SetVolume(int hundredthsOfDecibel) {
    playback_.setGain(audio::gainForVolume(hundredthsOfDecibel));
    return true;
}

void AudioPlayer::postTrackEnd(uint64_t generation) {
    uint64_t newest = endedGeneration_.load();
    while (newest < generation && !endedGeneration_.compare_exchange_weak(newest, generation)) {
    }
    QMetaObject::invokeMethod(this, "deliverTrackEnd", Qt::QueuedConnection);
}

void AudioPlayer::deliverTrackEnd() {
    {
        std::lock_guard lock(controlMutex_);
        // Ends are only ever posted for the present generation or older ones, so the newest
        // is the present one's unless Open, Stop, a seek or a replay came first.
        const uint64_t ended = endedGeneration_.load();
        if (ended != generation_ || ended == deliveredGeneration_) {
            return;
        }
        deliveredGeneration_ = ended;
        holdAt(length_);
        state_ = State::Ended;
        cue();
        runOutput(false);
    }
    emit TrackEnded(kEndOfStream);
}

void AudioPlayer::cue(std::optional<double> seekTo) {
    playback_.post(currentCue(), seekTo);
}

audio::Cue AudioPlayer::currentCue() const {
    return {generation_, segment_, state_ == State::Playing};
}

double AudioPlayer::audiblePosition() const {
    const audio::BufferStamp stamp = playback_.clock().read();
    if (stamp.segment != segment_) {
        return heldPosition_;  // the output has not played a buffer from there yet
    }
    // The output plays a buffer from the moment it takes it, at the output rate.
    const double elapsed =
        std::chrono::duration<double>(audio::BufferStamp::Clock::now() - stamp.handedAt).count();
    const double played = std::min(elapsed * kOutputRate, static_cast<double>(stamp.frames));
    return std::min(stamp.startSeconds + played / kOutputRate, length_);
}

void AudioPlayer::newGeneration() {
    ++generation_;
}

void AudioPlayer::holdAt(double seconds) {
    heldPosition_ = seconds;
    ++segment_;
}

}  // namespace melodrop
