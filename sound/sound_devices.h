#pragma once
// The sound devices the layer offers, probed at start-up, and the choice of
// one. The list lives only during start-up.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dsound/sound_types.h"

namespace plat {
class DirectSound;
}

struct SoundDeviceEntry {
    bool hasGuid = false; // false for the default device
    plat::Guid guid{};
    std::string description;
    std::string module;
    plat::SoundCaps caps{};
    uint32_t capabilityBits = 0; // bit 0: the device offers EAX reverb

    const plat::Guid* GuidPointer() const { return hasGuid ? &guid : nullptr; }
};

constexpr uint32_t kSoundDeviceEax = 1;

class SoundDeviceList {
public:
    // Empties the list, then appends and probes every device of the layer.
    void Enumerate();
    // The last entry sharing a capability bit with the union of all entries'
    // bits; the first when none has any; null when the list is empty.
    const SoundDeviceEntry* ChooseBest() const;

    const std::vector<SoundDeviceEntry>& Entries() const { return entries_; }

private:
    std::vector<SoundDeviceEntry> entries_;
};

// The device object for a device (null: the default one), or null.
plat::DirectSound* SoundCreateDirectSound(const plat::Guid* guid);

// The chosen device's object, shared with the music streams; null without sound.
extern plat::DirectSound* DirectSoundObject;
