#include "audio/SdlAudioOutput.h"

#include <SDL.h>

#include <mutex>

namespace melodrop::audio {

namespace {

// About 93 ms at 44.1 kHz: quick enough for volume and pause, and each wake-up costs more than
// decoding the buffer, so fewer of them keep playing cheap.
constexpr Uint16 kBufferFrames = 4096;

// SDL's audio subsystem belongs to the whole process; every open device of ours holds it.
std::mutex subsystemMutex;
int subsystemUsers = 0;
enum class Subsystem { Stopped, Usual, Dummy } subsystem = Subsystem::Stopped;

void stopSubsystem() {
    if (subsystem == Subsystem::Usual) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    } else if (subsystem == Subsystem::Dummy) {
        SDL_AudioQuit();
    }
    subsystem = Subsystem::Stopped;
}

bool startSubsystem(Subsystem which) {
    const bool started = which == Subsystem::Usual ? SDL_InitSubSystem(SDL_INIT_AUDIO) == 0
                                                   : SDL_AudioInit("dummy") == 0;
    subsystem = started ? which : Subsystem::Stopped;
    return started;
}

}  // namespace

SdlAudioOutput::~SdlAudioOutput() {
    if (device_ == 0) {
        return;
    }
    std::lock_guard lock(subsystemMutex);
    SDL_CloseAudioDevice(device_);  // waits for a running callback to return
    if (--subsystemUsers == 0) {
        stopSubsystem();
    }
}

bool SdlAudioOutput::open(Pull pull) {
    if (device_ != 0) {
        return true;
    }
    pull_ = std::move(pull);
    std::lock_guard lock(subsystemMutex);
    if (subsystemUsers == 0) {
        // The usual driver first (or the one SDL_AUDIODRIVER names); the dummy one if that
        // cannot give a device. The driver can only be swapped while nobody else uses it.
        if (startSubsystem(Subsystem::Usual)) {
            device_ = openDevice();
        }
        if (device_ == 0) {
            stopSubsystem();
            if (startSubsystem(Subsystem::Dummy)) {
                device_ = openDevice();
            }
        }
    } else {
        device_ = openDevice();
    }
    if (device_ == 0) {
        if (subsystemUsers == 0) {
            stopSubsystem();
        }
        return false;
    }
    ++subsystemUsers;
    return true;
}

SDL_AudioDeviceID SdlAudioOutput::openDevice() {
    SDL_AudioSpec want{};
    want.freq = kOutputRate;
    want.format = AUDIO_F32SYS;
    want.channels = kOutputChannels;
    want.samples = kBufferFrames;
    want.callback = &SdlAudioOutput::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware wants, so the callback always
    // sees this format. The device opens paused.
    return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

void SdlAudioOutput::setRunning(bool running) {
    if (device_ != 0) {
        SDL_PauseAudioDevice(device_, running ? 0 : 1);
    }
}

void SdlAudioOutput::callback(void* self, Uint8* stream, int bytes) {
    constexpr int kFrameBytes = sizeof(float) * kOutputChannels;
    static_cast<SdlAudioOutput*>(self)->pull_(reinterpret_cast<float*>(stream),
                                              bytes / kFrameBytes);
}

}  // namespace melodrop::audio
