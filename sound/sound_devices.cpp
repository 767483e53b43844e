#include "sound/sound_devices.h"

#include "Awapi/aw3d/device_state.h"
#include "platform/dsound/direct_sound.h"

plat::DirectSound* DirectSoundObject = nullptr;

namespace {

constexpr uint32_t kProbeBufferFlags = plat::kBufferStatic | plat::kBufferLocHardware | plat::kBufferCtrl3D |
                                       plat::kBufferMute3DAtMaxDistance; // 131,094

// Whether the device offers EAX reverb: a small 3D buffer is asked for its 3D
// and property-set interfaces, through which the reverb property set would
// be asked about. The layer offers neither, so the answer is no.
bool ProbeEax(plat::DirectSound& ds, const plat::SoundCaps& caps) {
    if (!(caps.flags & plat::kCapsSecondaryMono)) return false;
    const uint16_t bits = (caps.flags & plat::kCapsSecondary8Bit) ? 8 : 16;
    const plat::WaveFormat format =
        plat::PcmFormat((caps.minSecondarySampleRate + caps.maxSecondarySampleRate) / 2, bits, 1);
    plat::SoundBufferDesc desc;
    desc.flags = kProbeBufferFlags;
    desc.bufferBytes = 8;
    desc.format = &format;
    plat::SoundBuffer* buffer = nullptr;
    if (plat::Failed(ds.CreateSoundBuffer(desc, &buffer, nullptr))) return false;
    void* buffer3D = nullptr;
    void* propertySet = nullptr;
    const bool offered = plat::Succeeded(buffer->QueryInterface(plat::kIidSound3DBuffer, &buffer3D)) &&
                         plat::Succeeded(buffer->QueryInterface(plat::kIidPropertySet, &propertySet));
    buffer->Release();
    return offered;
}

} // namespace

void SoundDeviceList::Enumerate() {
    entries_.clear();
    plat::DirectSoundEnumerate([this](const plat::Guid* guid, const char* description, const char* module) {
        SoundDeviceEntry& e = entries_.emplace_back();
        if (guid) {
            e.guid = *guid;
            e.hasGuid = true;
        }
        e.description = description ? description : "";
        e.module = module ? module : "";
        plat::DirectSound* ds = SoundCreateDirectSound(guid);
        if (!ds) return true;
        ds->SetCooperativeLevel(AwDevice.Window, plat::kCoopNormal);
        ds->GetCaps(&e.caps);
        if (ProbeEax(*ds, e.caps)) e.capabilityBits |= kSoundDeviceEax;
        ds->Release();
        return true;
    });
}

const SoundDeviceEntry* SoundDeviceList::ChooseBest() const {
    if (entries_.empty()) return nullptr;
    uint32_t all = 0;
    for (const SoundDeviceEntry& e : entries_) all |= e.capabilityBits;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (it->capabilityBits & all) return &*it;
    return &entries_.front();
}

plat::DirectSound* SoundCreateDirectSound(const plat::Guid* guid) {
    plat::DirectSound* ds = nullptr;
    return plat::Succeeded(plat::DirectSoundCreate(guid, &ds, nullptr)) ? ds : nullptr;
}
