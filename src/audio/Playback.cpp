#include "audio/Playback.h"

#include <algorithm>
#include <utility>

#include "audio/AudioOutput.h"
#include "audio/TrackStream.h"
#include "audio/VolumeGain.h"

namespace melodrop::audio {

Playback::Playback(EndReport reportEnd) : reportEnd_(std::move(reportEnd)) {}

Playback::~Playback() = default;

void Playback::post(const Cue& cue, std::optional<double> seekTo) {
    std::lock_guard lock(requestMutex_);
    pending_.posted = true;
    pending_.cue = cue;
    if (seekTo) {
        pending_.seekTo = seekTo;
    }
}

void Playback::postTrack(const Cue& cue, std::unique_ptr<TrackStream> track) {
    std::unique_ptr<TrackStream> superseded;  // a track posted before and never taken
    {
        std::lock_guard lock(requestMutex_);
        superseded = std::exchange(pending_.track, std::move(track));
        pending_.posted = true;
        pending_.cue = cue;
        pending_.replaceTrack = true;
        pending_.seekTo.reset();
    }
}

void Playback::applyPosted() {
    Request request;
    {
        std::lock_guard lock(requestMutex_);
        if (!pending_.posted) {
            return;
        }
        request = std::exchange(pending_, Request{});
    }
    if (request.replaceTrack) {
        // The track replaced goes out with `request`, outside the lock.
        std::swap(track_, request.track);
        lastBufferGiven_ = false;
    }
    if (request.seekTo && track_) {
        track_->seek(*request.seekTo);
        lastBufferGiven_ = false;
    }
    if (request.cue.generation != cue_.generation) {
        lastBufferGiven_ = false;
        endReported_ = false;
    }
    cue_ = request.cue;
}

void Playback::fill(float* out, int frames) {
    applyPosted();
    int filled = 0;
    if (cue_.playing && track_ && !endReported_) {
        if (lastBufferGiven_) {
            // The output asks again, so the buffer with the track's last samples has played.
            endReported_ = true;
            reportEnd_(cue_.generation);
        } else {
            const double start = track_->positionSeconds();
            filled = track_->render(out, frames);
            applyGain(out, static_cast<size_t>(filled) * kOutputChannels,
                      gain_.load(std::memory_order_relaxed));
            clock_.publish({cue_.segment, start, filled, BufferStamp::Clock::now()});
            lastBufferGiven_ = filled < frames;
        }
    }
    std::fill(out + static_cast<size_t>(filled) * kOutputChannels,
              out + static_cast<size_t>(frames) * kOutputChannels, 0.0f);
}

}  // namespace melodrop::audio
