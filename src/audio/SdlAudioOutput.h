#pragma once
// The sound device, through SDL2. If SDL's usual driver cannot open a device (no sound card),
// SDL's "dummy" driver stands in: it plays nothing but asks for samples at real-time pace, so
// tracks still advance and end as they would on a speaker.
#include <SDL_audio.h>

#include "audio/AudioOutput.h"

namespace melodrop::audio {

class SdlAudioOutput : public AudioOutput {
public:
    SdlAudioOutput() = default;
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    bool open(Pull pull) override;
    void setRunning(bool running) override;

private:
    static void callback(void* self, Uint8* stream, int bytes);
    SDL_AudioDeviceID openDevice();

    Pull pull_;
    SDL_AudioDeviceID device_ = 0;
};

}  // namespace melodrop::audio
