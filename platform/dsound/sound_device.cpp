#include "platform/dsound/sound_device.h"

namespace plat {

std::shared_ptr<SoundDevice> SoundDevice::Open() {
    static std::mutex mutex;
    static std::weak_ptr<SoundDevice> open;
    std::lock_guard hold(mutex);
    if (auto device = open.lock()) return device;
    auto device = std::make_shared<SoundDevice>(CurrentAudioBackend());
    if (!device->Start()) return nullptr;
    open = device;
    return device;
}

SoundDevice::SoundDevice(std::shared_ptr<AudioOutput> output) : output_(std::move(output)), caps_(output_->Caps()) {}

SoundDevice::~SoundDevice() { output_->Stop(); }

bool SoundDevice::Start() {
    WaveFormat format;
    {
        std::lock_guard hold(mixer_.Mutex());
        format = mixer_.FormatLocked();
    }
    return output_->Start(mixer_, format);
}

std::unique_lock<std::mutex> SoundDevice::Enter() {
    std::unique_lock hold(mixer_.Mutex());
    output_->CatchUpLocked(mixer_);
    return hold;
}

bool SoundDevice::SetFormat(const WaveFormat& format) {
    std::lock_guard one(formatMutex_);
    // The backend stops first (its callback may be waiting for the mixer's lock).
    output_->Stop();
    WaveFormat previous;
    {
        std::lock_guard hold(mixer_.Mutex());
        previous = mixer_.FormatLocked();
        mixer_.SetFormatLocked(format);
    }
    if (output_->Start(mixer_, format)) return true;
    {
        std::lock_guard hold(mixer_.Mutex());
        mixer_.SetFormatLocked(previous);
    }
    output_->Start(mixer_, previous);
    return false;
}

} // namespace plat
