// Sounds placed in the level: recorded by the map, played looping at their
// positions when the level starts, stopped and forgotten when it ends.
#include "sound/sound_system.h"

#include "core/numeric.h"

bool SoundSystem::AddPersistentSound(int32_t sample, const Vector3& position, int32_t, float frequency, float range,
                                     float secondRange) {
    if (!IsUsableSample(sample)) return false;
    const SoundSample& s = Sample(sample);
    PersistentSound p;
    p.frequency = frequency != 0 ? frequency : s.frequency;
    p.range = range != 0 ? range : s.range;
    p.secondRange = secondRange != 0 ? secondRange : s.secondRange;
    p.volume = s.volume;
    p.position = position;
    p.handle = -1;
    p.sample = GetSampleVariant(sample, p.volume, p.frequency, p.range, p.secondRange, true);
    if (p.sample == 0) return false;
    persistentSounds_.push_back(p);
    return true;
}

void SoundSystem::ReplayPersistentSounds() {
    for (PersistentSound& p : persistentSounds_) {
        const float xyz[3] = {p.position.x, p.position.y, p.position.z};
        Play(p.sample, "lefIRdr", &p.handle, FloorToInt(p.frequency), static_cast<double>(p.range),
             static_cast<double>(p.secondRange), xyz);
    }
}

void SoundSystem::ClearPersistentSounds() {
    for (PersistentSound& p : persistentSounds_) {
        if (p.handle > 0) StopVoice(p.handle);
        // The records go now; their voices end later and must not write to them.
        for (SoundVoice& v : voices_)
            if (v.ownerHandle == &p.handle) v.ownerHandle = nullptr;
    }
    persistentSounds_.clear();
}
