#include "platform/dsound/direct_sound.h"

#include <algorithm>
#include <cstring>

#include "platform/dsound/sound_device.h"

namespace plat {
namespace {

bool IsPlayablePcm(const WaveFormat& f) {
    return f.formatTag == kWaveFormatPcm && (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
           (f.channels == 1 || f.channels == 2) && f.blockAlign == f.channels * f.bitsPerSample / 8;
}

} // namespace

// ---------------------------------------------------------------- DirectSound

HResult DirectSoundEnumerate(
    const std::function<bool(const Guid* guid, const char* description, const char* module)>& callback) {
    callback(nullptr, "Default sound output", "");
    return kDsOk;
}

HResult DirectSoundCreate(const Guid* device, DirectSound** out, void* outer) {
    if (!out) return kDsErrInvalidParam;
    *out = nullptr;
    if (outer) return kDsErrNoAggregation;
    if (device) return kDsErrNoDriver;
    std::shared_ptr<SoundDevice> open = SoundDevice::Open();
    if (!open) return kDsErrNoDriver;
    *out = new DirectSound(std::move(open));
    return kDsOk;
}

HResult DirectSound::GetCaps(SoundCaps* caps) const {
    if (!caps || caps->size != sizeof(SoundCaps)) return kDsErrInvalidParam;
    *caps = device_->Caps();
    caps->size = sizeof(SoundCaps);
    return kDsOk;
}

HResult DirectSound::SetCooperativeLevel(void*, uint32_t level) {
    if (level < kCoopNormal || level > kCoopWritePrimary) return kDsErrInvalidParam;
    level_.store(level);
    return kDsOk;
}

HResult DirectSound::CheckSecondary(const SoundBufferDesc& desc) const {
    if (!desc.format || !IsPlayablePcm(*desc.format)) return kDsErrBadFormat;
    const SoundCaps caps = device_->Caps();
    const WaveFormat& f = *desc.format;
    if (f.samplesPerSec < caps.minSecondarySampleRate || f.samplesPerSec > caps.maxSecondarySampleRate)
        return kDsErrBadFormat;
    if (!(caps.flags & (f.channels == 1 ? kCapsSecondaryMono : kCapsSecondaryStereo)) ||
        !(caps.flags & (f.bitsPerSample == 8 ? kCapsSecondary8Bit : kCapsSecondary16Bit)))
        return kDsErrBadFormat;
    if (desc.bufferBytes < kBufferSizeMin || desc.bufferBytes > kBufferSizeMax || desc.bufferBytes < f.blockAlign)
        return kDsErrInvalidParam;
    return kDsOk;
}

HResult DirectSound::CreateSoundBuffer(const SoundBufferDesc& desc, SoundBuffer** out, void* outer) {
    if (!out) return kDsErrInvalidParam;
    *out = nullptr;
    if (outer) return kDsErrNoAggregation;
    if (desc.size != kSoundBufferDescSize) return kDsErrInvalidParam;
    if (desc.flags & kBufferPrimary) {
        if (desc.bufferBytes != 0 || desc.format || (desc.flags & kBufferCtrlFrequency)) return kDsErrInvalidParam;
        if (device_->Caps().primaryBuffers == 0) return kDsErrUnsupported;
        *out = new SoundBuffer(this, device_, desc.flags, nullptr);
        return kDsOk;
    }
    if (const HResult r = CheckSecondary(desc); Failed(r)) return r;
    auto data = std::make_shared<SoundData>(*desc.format, desc.bufferBytes);
    *out = new SoundBuffer(this, device_, desc.flags, std::move(data));
    return kDsOk;
}

HResult DirectSound::DuplicateSoundBuffer(SoundBuffer* original, SoundBuffer** out) {
    if (!out) return kDsErrInvalidParam;
    *out = nullptr;
    if (!original) return kDsErrInvalidParam;
    if (original->IsPrimary()) return kDsErrInvalidCall;
    auto* copy = new SoundBuffer(this, device_, original->flags_, original->data_);
    {
        auto hold = device_->Enter();
        copy->volume_ = original->volume_;
        copy->pan_ = original->pan_;
        copy->channel_.frequency = original->channel_.frequency;
        copy->channel_.group = original->channel_.group;
        copy->UpdateGainsLocked();
    }
    *out = copy;
    return kDsOk;
}

// ---------------------------------------------------------------- SoundBuffer

SoundBuffer::SoundBuffer(DirectSound* owner, std::shared_ptr<SoundDevice> device, uint32_t flags,
                         std::shared_ptr<SoundData> data)
    : owner_(owner), device_(std::move(device)), flags_(flags), data_(std::move(data)) {
    owner_->AddRef();
    channel_.data = data_;
    if (data_) channel_.frequency = data_->format.samplesPerSec;
}

SoundBuffer::~SoundBuffer() {
    {
        auto hold = device_->Enter();
        if (IsPrimary()) device_->MixerLocked().SetMasterVolumeLocked(0);
        else device_->MixerLocked().StopLocked(channel_);
    }
    owner_->Release();
}

HResult SoundBuffer::GetCaps(SoundBufferCaps* caps) const {
    if (!caps) return kDsErrInvalidParam;
    caps->size = sizeof(SoundBufferCaps);
    caps->flags = flags_;
    caps->bufferBytes = data_ ? data_->size : 0;
    caps->unlockTransferRate = 0;
    caps->playCpuOverhead = 0;
    return kDsOk;
}

HResult SoundBuffer::GetFormat(WaveFormat* format) const {
    if (!format) return kDsErrInvalidParam;
    if (data_) {
        *format = data_->format;
        return kDsOk;
    }
    auto hold = device_->Enter();
    *format = device_->MixerLocked().FormatLocked();
    return kDsOk;
}

HResult SoundBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write) {
    uint32_t cursor = 0;
    if (data_) {
        auto hold = device_->Enter();
        cursor = static_cast<uint32_t>(channel_.position >> 32) * data_->format.blockAlign;
    }
    if (play) *play = cursor;
    if (write) *write = cursor;
    return kDsOk;
}

HResult SoundBuffer::GetStatus(uint32_t* status) {
    if (!status) return kDsErrInvalidParam;
    auto hold = device_->Enter();
    if (IsPrimary()) *status = primaryPlaying_ ? kStatusPlaying | kStatusLooping : 0;
    else *status = channel_.playing ? kStatusPlaying | (channel_.looping ? kStatusLooping : 0) : 0;
    return kDsOk;
}

HResult SoundBuffer::GetVolume(int32_t* volume) const {
    if (!volume) return kDsErrInvalidParam;
    if (!(flags_ & kBufferCtrlVolume)) return kDsErrControlUnavailable;
    auto hold = device_->Enter();
    *volume = volume_;
    return kDsOk;
}

HResult SoundBuffer::GetPan(int32_t* pan) const {
    if (!pan) return kDsErrInvalidParam;
    if (!(flags_ & kBufferCtrlPan)) return kDsErrControlUnavailable;
    auto hold = device_->Enter();
    *pan = pan_;
    return kDsOk;
}

HResult SoundBuffer::GetFrequency(uint32_t* frequency) const {
    if (!frequency) return kDsErrInvalidParam;
    if (!(flags_ & kBufferCtrlFrequency)) return kDsErrControlUnavailable;
    auto hold = device_->Enter();
    *frequency = channel_.frequency;
    return kDsOk;
}

HResult SoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** first, uint32_t* firstBytes, void** second,
                          uint32_t* secondBytes, uint32_t flags) {
    if (!first || !firstBytes) return kDsErrInvalidParam;
    *first = nullptr;
    *firstBytes = 0;
    if (second) *second = nullptr;
    if (secondBytes) *secondBytes = 0;
    if (IsPrimary()) return kDsErrPrioLevelNeeded;
    const uint32_t size = data_->size;
    if (flags & kLockEntireBuffer) bytes = size;
    if (bytes == 0 || bytes > size) return kDsErrInvalidParam;
    // Staging bytes are made before the mixer's lock is taken.
    auto staging = std::make_unique<uint8_t[]>(bytes);

    auto hold = device_->Enter();
    if (staging_) return kDsErrInvalidCall; // already locked
    if (flags & kLockEntireBuffer) offset = 0;
    else if (flags & kLockFromWriteCursor) offset = static_cast<uint32_t>(channel_.position >> 32) * data_->format.blockAlign;
    if (offset >= size) return kDsErrInvalidParam;
    const uint32_t n1 = std::min(bytes, size - offset);
    const uint32_t n2 = bytes - n1;
    if (n2 && !second) return kDsErrInvalidParam;
    std::memcpy(staging.get(), data_->bytes.get() + offset, n1);
    std::memcpy(staging.get() + n1, data_->bytes.get(), n2);
    staging_ = std::move(staging);
    lockOffset_ = offset;
    lockFirst_ = n1;
    lockSecond_ = n2;
    *first = staging_.get();
    *firstBytes = n1;
    if (n2) {
        *second = staging_.get() + n1;
        *secondBytes = n2;
    }
    return kDsOk;
}

HResult SoundBuffer::Unlock(void* first, uint32_t firstBytes, void* second, uint32_t secondBytes) {
    std::unique_ptr<uint8_t[]> done; // freed after the mixer's lock is let go
    auto hold = device_->Enter();
    if (!staging_ || first != staging_.get() || firstBytes > lockFirst_ || secondBytes > lockSecond_ ||
        (secondBytes && second != staging_.get() + lockFirst_))
        return kDsErrInvalidParam;
    std::memcpy(data_->bytes.get() + lockOffset_, staging_.get(), firstBytes);
    std::memcpy(data_->bytes.get(), staging_.get() + lockFirst_, secondBytes);
    done = std::move(staging_);
    return kDsOk;
}

HResult SoundBuffer::Play(uint32_t, uint32_t, uint32_t flags) {
    auto hold = device_->Enter();
    if (IsPrimary()) {
        if (!(flags & kPlayLooping)) return kDsErrInvalidParam;
        primaryPlaying_ = true;
        return kDsOk;
    }
    device_->MixerLocked().StartLocked(channel_, (flags & kPlayLooping) != 0);
    return kDsOk;
}

HResult SoundBuffer::Stop() {
    auto hold = device_->Enter();
    if (IsPrimary()) primaryPlaying_ = false;
    else device_->MixerLocked().StopLocked(channel_);
    return kDsOk;
}

HResult SoundBuffer::SetCurrentPosition(uint32_t offset) {
    if (IsPrimary()) return kDsErrInvalidCall;
    if (offset >= data_->size) return kDsErrInvalidParam;
    auto hold = device_->Enter();
    channel_.position = uint64_t{offset / data_->format.blockAlign} << 32;
    return kDsOk;
}

HResult SoundBuffer::SetFormat(const WaveFormat& format) {
    if (!IsPrimary()) return kDsErrInvalidCall;
    if (owner_->CooperativeLevel() < kCoopPriority) return kDsErrPrioLevelNeeded;
    const SoundCaps caps = device_->Caps();
    if (!IsPlayablePcm(format) || format.avgBytesPerSec != format.samplesPerSec * format.blockAlign ||
        !(caps.flags & (format.channels == 1 ? kCapsPrimaryMono : kCapsPrimaryStereo)) ||
        !(caps.flags & (format.bitsPerSample == 8 ? kCapsPrimary8Bit : kCapsPrimary16Bit)) ||
        format.samplesPerSec < kFrequencyMin || format.samplesPerSec > kFrequencyMax)
        return kDsErrBadFormat;
    return device_->SetFormat(format) ? kDsOk : kDsErrBadFormat;
}

HResult SoundBuffer::SetVolume(int32_t volume) {
    if (!(flags_ & kBufferCtrlVolume)) return kDsErrControlUnavailable;
    if (volume < kVolumeMin || volume > kVolumeMax) return kDsErrInvalidParam;
    auto hold = device_->Enter();
    volume_ = volume;
    if (IsPrimary()) device_->MixerLocked().SetMasterVolumeLocked(volume);
    else UpdateGainsLocked();
    return kDsOk;
}

HResult SoundBuffer::SetPan(int32_t pan) {
    if (!(flags_ & kBufferCtrlPan) || IsPrimary()) return kDsErrControlUnavailable;
    if (pan < kPanLeft || pan > kPanRight) return kDsErrInvalidParam;
    auto hold = device_->Enter();
    pan_ = pan;
    UpdateGainsLocked();
    return kDsOk;
}

HResult SoundBuffer::SetFrequency(uint32_t frequency) {
    if (!(flags_ & kBufferCtrlFrequency) || IsPrimary()) return kDsErrControlUnavailable;
    if (frequency == kFrequencyOriginal) frequency = data_->format.samplesPerSec;
    const SoundCaps caps = device_->Caps();
    if (frequency < caps.minSecondarySampleRate || frequency > caps.maxSecondarySampleRate) return kDsErrInvalidParam;
    auto hold = device_->Enter();
    channel_.frequency = frequency;
    return kDsOk;
}

HResult SoundBuffer::QueryInterface(const Guid&, void** out) {
    if (out) *out = nullptr;
    return kDsErrNoInterface;
}

void SoundBuffer::SetGainGroup(GainGroup group) {
    auto hold = device_->Enter();
    channel_.group = group;
}

void SoundBuffer::UpdateGainsLocked() {
    // Pan attenuates the other side only.
    channel_.gainMono = AttenuationGain(volume_);
    channel_.gainLeft = AttenuationGain(volume_ - std::max(pan_, 0));
    channel_.gainRight = AttenuationGain(volume_ + std::min(pan_, 0));
}

} // namespace plat
