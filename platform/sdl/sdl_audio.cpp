#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <cstdio>
#include <memory>
#include <mutex>

#include "platform/dsound/audio_output.h"
#include "platform/dsound/mixer.h"
#include "platform/fpu.h"
#include "platform/sdl/sdl_init.h"

namespace plat {
namespace {

class SdlAudioOutput final : public AudioOutput {
public:
    ~SdlAudioOutput() override { Stop(); }

    SoundCaps Caps() const override { return DefaultSoundCaps(); }

    bool Start(Mixer& mixer, const WaveFormat& format) override {
        Stop();
        NearestRoundingScope nearest;
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(format.samplesPerSec);
        want.format = format.bitsPerSample == 16 ? AUDIO_S16LSB : AUDIO_U8;
        want.channels = static_cast<Uint8>(format.channels);
        want.samples = 1024;
        want.callback = &SdlAudioOutput::Callback;
        want.userdata = this;
        mixer_ = &mixer;
        blockAlign_ = format.blockAlign;
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        if (device_ == 0) return false;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    void Stop() override {
        if (device_ == 0) return;
        NearestRoundingScope nearest;
        // Waits for a running callback to end.
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }

private:
    static void Callback(void* self, Uint8* stream, int length) {
        auto* output = static_cast<SdlAudioOutput*>(self);
        std::lock_guard hold(output->mixer_->Mutex());
        output->mixer_->MixLocked(stream, static_cast<uint32_t>(length) / output->blockAlign_);
    }

    SDL_AudioDeviceID device_ = 0;
    Mixer* mixer_ = nullptr;
    uint32_t blockAlign_ = 1;
};

// SDL's audio subsystem, started once; false when it has no device to open.
bool StartSdlAudio() {
    static const bool started = InitSdlSubsystem(SDL_INIT_AUDIO);
    return started;
}

} // namespace

void RegisterSdlAudioBackend() {
    RegisterAudioBackend("sdl", []() -> std::shared_ptr<AudioOutput> {
        if (!StartSdlAudio()) {
            std::fprintf(stderr, "SDL audio is not available (%s): sound is silent.\n", SDL_GetError());
            return nullptr;
        }
        // A device must open in the format the mix starts with.
        Mixer probe;
        auto output = std::make_shared<SdlAudioOutput>();
        if (!output->Start(probe, PcmFormat(22050, 8, 2))) {
            std::fprintf(stderr, "No sound device opens (%s): sound is silent.\n", SDL_GetError());
            return nullptr;
        }
        output->Stop();
        return output;
    });
}

} // namespace plat
