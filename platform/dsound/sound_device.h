#pragma once
// The one sound device of the process: the mixer and the backend that takes
// its frames. Every DirectSound object and buffer holds it; it closes when
// the last of them goes. Internal to the sound layer.

#include <memory>
#include <mutex>

#include "platform/dsound/audio_output.h"
#include "platform/dsound/mixer.h"

namespace plat {

class SoundDevice {
public:
    // The open device, or a new one on the installed backend; null when the backend cannot start.
    static std::shared_ptr<SoundDevice> Open();

    explicit SoundDevice(std::shared_ptr<AudioOutput> output);
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Locks the mixer and lets the backend take the frames that are due.
    std::unique_lock<std::mutex> Enter();
    Mixer& MixerLocked() { return mixer_; }
    SoundCaps Caps() const { return caps_; }

    // The mix runs at this format from now on; false when the backend refuses it.
    bool SetFormat(const WaveFormat& format);

private:
    bool Start();

    const std::shared_ptr<AudioOutput> output_;
    const SoundCaps caps_;
    Mixer mixer_;
    std::mutex formatMutex_; // one format change at a time
};

} // namespace plat
