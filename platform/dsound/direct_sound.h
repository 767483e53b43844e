#pragma once
// The DirectSound shaped device object and its buffers. There is one device,
// the default one (no GUID), mixed in software by the mixer of the installed
// backend. The primary buffer sets the output format; secondary buffers hold
// 8-bit unsigned or 16-bit signed PCM, mono or stereo, at any rate the device
// takes, and play once or looping with their own volume, pan and frequency.
// Duplicates share their original's bytes. Every call is safe from any
// thread; failures are negative results.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/d3d/com_object.h"
#include "platform/dsound/mixer.h"
#include "platform/dsound/sound_types.h"

namespace plat {

class DirectSound;
class SoundDevice;

class SoundBuffer final : public ComObject {
public:
    HResult GetCaps(SoundBufferCaps* caps) const;
    HResult GetFormat(WaveFormat* format) const;
    // Play and write cursors in bytes (the primary buffer answers 0).
    HResult GetCurrentPosition(uint32_t* play, uint32_t* write);
    HResult GetStatus(uint32_t* status);
    HResult GetVolume(int32_t* volume) const;
    HResult GetPan(int32_t* pan) const;
    HResult GetFrequency(uint32_t* frequency) const;

    // Bytes from an offset (or the write cursor, or the whole buffer), as one
    // region or, when they wrap past the end, two. One lock at a time; the
    // bytes written reach the buffer at Unlock.
    HResult Lock(uint32_t offset, uint32_t bytes, void** first, uint32_t* firstBytes, void** second,
                 uint32_t* secondBytes, uint32_t flags);
    HResult Unlock(void* first, uint32_t firstBytes, void* second, uint32_t secondBytes);

    // kPlayLooping loops; the primary buffer must be played looping.
    HResult Play(uint32_t reserved, uint32_t priority, uint32_t flags);
    HResult Stop();
    HResult SetCurrentPosition(uint32_t offset);
    // The primary buffer only, at the priority level: the mix's format.
    HResult SetFormat(const WaveFormat& format);
    // Hundredths of a decibel, -10,000 (silent) to 0; on the primary buffer, the whole mix.
    HResult SetVolume(int32_t volume);
    // -10,000 (left only) to 10,000 (right only).
    HResult SetPan(int32_t pan);
    // Hz; 0 restores the format's rate.
    HResult SetFrequency(uint32_t frequency);

    // No further interfaces: the 3D and property-set queries answer no interface.
    HResult QueryInterface(const Guid& iid, void** out);

    // The gain group the buffer plays in (wave unless the music sets it).
    void SetGainGroup(GainGroup group);

private:
    friend class DirectSound;
    SoundBuffer(DirectSound* owner, std::shared_ptr<SoundDevice> device, uint32_t flags,
                std::shared_ptr<SoundData> data);
    ~SoundBuffer() override;

    bool IsPrimary() const { return data_ == nullptr; }
    // Recomputes the channel's gains from volume and pan (under the lock).
    void UpdateGainsLocked();

    DirectSound* const owner_; // one reference held
    const std::shared_ptr<SoundDevice> device_;
    const uint32_t flags_;
    const std::shared_ptr<SoundData> data_; // null for the primary buffer
    MixChannel channel_;
    int32_t volume_ = 0;
    int32_t pan_ = 0;
    bool primaryPlaying_ = false;
    // The open lock: its staging bytes, where they go, and how many.
    std::unique_ptr<uint8_t[]> staging_;
    uint32_t lockOffset_ = 0, lockFirst_ = 0, lockSecond_ = 0;
};

class DirectSound final : public ComObject {
public:
    // `caps->size` must be 96.
    HResult GetCaps(SoundCaps* caps) const;
    // kCoopNormal to kCoopWritePrimary; the mix's format needs kCoopPriority.
    HResult SetCooperativeLevel(void* window, uint32_t level);
    // `outer` must be null (no aggregation).
    HResult CreateSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** out, void* outer);
    // A new buffer over the original's bytes, with its volume, pan, frequency
    // and gain group, stopped at position 0.
    HResult DuplicateSoundBuffer(SoundBuffer* original, SoundBuffer** out);

    uint32_t CooperativeLevel() const { return level_.load(); }

private:
    friend HResult DirectSoundCreate(const Guid* device, DirectSound** out, void* outer);
    explicit DirectSound(std::shared_ptr<SoundDevice> device) : device_(std::move(device)) {}
    ~DirectSound() override = default;

    HResult CheckSecondary(const SoundBufferDesc& desc) const;

    const std::shared_ptr<SoundDevice> device_;
    std::atomic<uint32_t> level_{0};
};

// DirectSoundEnumerate: the one device (guid null) with its description and
// module texts; the callback returns false to stop.
HResult DirectSoundEnumerate(const std::function<bool(const Guid* guid, const char* description,
                                                      const char* module)>& callback);
// DirectSoundCreate: the device object of a device (null: the default one).
HResult DirectSoundCreate(const Guid* device, DirectSound** out, void* outer);

} // namespace plat
