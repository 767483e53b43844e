#pragma once
// The two drivers of the sound manager: DirectSoundSystem plays through the
// DirectSound shaped layer; NullSoundSystem is silent (sound switched off, or
// no usable device) and the manager never calls its operations.

#include <cstdint>

#include "sound/sound_system.h"

namespace plat {
class SoundBuffer;
}

class DirectSoundSystem final : public SoundSystem {
public:
    // Makes the primary buffer, sets its format and plays it; ready (state 0)
    // when all of that worked, silent otherwise.
    DirectSoundSystem(const SoundDeviceEntry* device, int32_t sampleCount);
    ~DirectSoundSystem() override;

    void Shutdown() override;
    bool SetBufferVolume(SoundBufferHandle buffer, int32_t volume) override;
    bool IsBufferFinished(SoundBufferHandle buffer) override;
    int32_t StopBuffer(SoundBufferHandle buffer) override;
    int32_t CheckBuffer(SoundBufferHandle buffer) override;
    int32_t CreateBuffer(const plat::SoundBufferDesc& desc, SoundBufferHandle* out, void* outer) override;
    int32_t SetBufferPosition(SoundBufferHandle buffer, uint32_t offset) override;
    int32_t PlayBuffer(SoundBufferHandle buffer, uint32_t flags) override;
    int32_t DuplicateBuffer(SoundBufferHandle source, SoundBufferHandle* out) override;
    int32_t FillBuffer(SoundBufferHandle buffer, const void* data, uint32_t length) override;

    // Attenuation in hundredths of a decibel of volume 0 to 100.
    int32_t VolumeTable(int32_t volume) const;

private:
    plat::SoundBuffer* primaryBuffer_ = nullptr;
    int32_t volumeTable_[101] = {};
};

class NullSoundSystem final : public SoundSystem {
public:
    NullSoundSystem() : SoundSystem(nullptr, 0) {}

    void ReleaseBuffer(SoundBufferHandle) override {}
    void Shutdown() override {}
    bool SetBufferVolume(SoundBufferHandle, int32_t) override { return true; }
    bool IsBufferFinished(SoundBufferHandle) override { return true; }
    int32_t StopBuffer(SoundBufferHandle) override { return 0; }
    int32_t CheckBuffer(SoundBufferHandle) override { return 1; }
    int32_t CreateBuffer(const plat::SoundBufferDesc&, SoundBufferHandle*, void*) override { return 0; }
    int32_t SetBufferPosition(SoundBufferHandle, uint32_t) override { return 0; }
    int32_t PlayBuffer(SoundBufferHandle, uint32_t) override { return 0; }
    int32_t DuplicateBuffer(SoundBufferHandle, SoundBufferHandle*) override { return 0; }
    int32_t FillBuffer(SoundBufferHandle, const void*, uint32_t) override { return 0; }
};

// The manager: a DirectSoundSystem with 1,024 samples unless sound is off or
// its device does not start, else a NullSoundSystem.
SoundSystem* CreateSoundSystem(bool soundOff, const SoundDeviceEntry* device);
