#include "sound/sound_drivers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "platform/dsound/direct_sound.h"
#include "sound/sound_devices.h"

namespace {

constexpr int32_t kDirectSoundSamples = 1024;
constexpr uint32_t kPrimaryFlags = plat::kBufferPrimary | plat::kBufferCtrlVolume; // 0x81

// 16-bit stereo 22,050 Hz as far as the device offers it.
plat::WaveFormat PrimaryFormat(const plat::SoundCaps& caps) {
    uint16_t bits = 16;
    if (!(caps.flags & plat::kCapsPrimary16Bit)) bits = 8;
    if (!(caps.flags & plat::kCapsPrimary8Bit)) bits = 16;
    uint16_t channels = 2;
    if (!(caps.flags & plat::kCapsPrimaryStereo)) channels = 1;
    if (!(caps.flags & plat::kCapsPrimaryMono)) channels = 2;
    const uint32_t rate = std::clamp<uint32_t>(22050, caps.minSecondarySampleRate, caps.maxSecondarySampleRate);
    return plat::PcmFormat(rate, bits, channels);
}

} // namespace

DirectSoundSystem::DirectSoundSystem(const SoundDeviceEntry* device, int32_t sampleCount)
    : SoundSystem(device, sampleCount) {
    if (!DirectSoundObject) return;
    plat::SoundBufferDesc desc;
    desc.flags = kPrimaryFlags;
    if (const plat::HResult r = DirectSoundObject->CreateSoundBuffer(desc, &primaryBuffer_, nullptr); plat::Failed(r)) {
        AwReportError(r);
        return;
    }
    DirectSoundObject->SetCooperativeLevel(AwDevice.Window, plat::kCoopPriority);
    plat::SoundCaps caps;
    if (device) caps = device->caps;
    else DirectSoundObject->GetCaps(&caps);
    const plat::WaveFormat format = PrimaryFormat(caps);
    primaryBuffer_->Stop();
    primaryBuffer_->SetFormat(format);
    if (plat::Failed(primaryBuffer_->Play(0, 0, plat::kPlayLooping))) return;
    state_ = kReady;
    volumeTable_[0] = -10000;
    // In single precision and the program's rounding mode: 50 gives -1,000.
    for (int32_t i = 1; i <= 100; ++i)
        volumeTable_[i] = static_cast<int32_t>(std::log10(static_cast<float>(i) * 0.01f) * 3321.928f);
}

DirectSoundSystem::~DirectSoundSystem() {
    if (primaryBuffer_) primaryBuffer_->Release();
}

int32_t DirectSoundSystem::VolumeTable(int32_t volume) const { return volumeTable_[std::clamp(volume, 0, 100)]; }

void DirectSoundSystem::Shutdown() {
    if (primaryBuffer_) {
        primaryBuffer_->Stop();
        primaryBuffer_->Release();
        primaryBuffer_ = nullptr;
    }
    if (DirectSoundObject) DirectSoundObject->Release();
    DirectSoundObject = nullptr;
}

bool DirectSoundSystem::SetBufferVolume(SoundBufferHandle buffer, int32_t volume) {
    // A volume outside 0 to 100 is clamped rather than read past the table.
    return buffer && plat::Succeeded(buffer->SetVolume(VolumeTable(volume)));
}

bool DirectSoundSystem::IsBufferFinished(SoundBufferHandle buffer) {
    plat::SoundBufferCaps caps;
    uint32_t play = 0;
    if (!buffer || plat::Failed(buffer->GetCaps(&caps)) || plat::Failed(buffer->GetCurrentPosition(&play, nullptr)))
        return true;
    return play == 0 || play == caps.bufferBytes;
}

int32_t DirectSoundSystem::StopBuffer(SoundBufferHandle buffer) {
    if (buffer) buffer->Stop();
    return 0;
}

int32_t DirectSoundSystem::CheckBuffer(SoundBufferHandle buffer) {
    uint32_t status = 0;
    return buffer && plat::Succeeded(buffer->GetStatus(&status)) ? 0 : 8;
}

int32_t DirectSoundSystem::CreateBuffer(const plat::SoundBufferDesc& desc, SoundBufferHandle* out, void* outer) {
    if (!DirectSoundObject) return plat::kDsErrNoDriver;
    return DirectSoundObject->CreateSoundBuffer(desc, out, outer);
}

int32_t DirectSoundSystem::SetBufferPosition(SoundBufferHandle buffer, uint32_t offset) {
    return buffer ? buffer->SetCurrentPosition(offset) : plat::kDsErrInvalidParam;
}

int32_t DirectSoundSystem::PlayBuffer(SoundBufferHandle buffer, uint32_t flags) {
    return buffer ? buffer->Play(0, 0, (flags & 0xFF) ? plat::kPlayLooping : 0) : plat::kDsErrInvalidParam;
}

int32_t DirectSoundSystem::DuplicateBuffer(SoundBufferHandle source, SoundBufferHandle* out) {
    if (!DirectSoundObject) return plat::kDsErrNoDriver;
    return DirectSoundObject->DuplicateSoundBuffer(source, out);
}

int32_t DirectSoundSystem::FillBuffer(SoundBufferHandle buffer, const void* data, uint32_t length) {
    // A failure is reported; the buffer stays its owner's to release.
    if (!buffer) return plat::kDsErrInvalidParam;
    void* first = nullptr;
    void* second = nullptr;
    uint32_t firstBytes = 0, secondBytes = 0;
    plat::HResult r = buffer->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, plat::kLockEntireBuffer);
    if (plat::Failed(r)) return r;
    if (second) {
        buffer->Unlock(first, 0, second, 0);
        return plat::kDsErrInvalidCall;
    }
    std::memcpy(first, data, std::min(firstBytes, length));
    return buffer->Unlock(first, firstBytes, nullptr, 0);
}

SoundSystem* CreateSoundSystem(bool soundOff, const SoundDeviceEntry* device) {
    if (!soundOff) {
        auto* direct = new DirectSoundSystem(device, kDirectSoundSamples);
        if (direct->State() == SoundSystem::kReady) return direct;
        delete direct;
    }
    return new NullSoundSystem();
}
