#pragma once
// What model loading and animation playback ask of the sound system. The
// engine sits below it, so the sound system installs its service at
// start-up; until then no sound loads and nothing plays.

#include <cstdint>

class AwObject;

class AwSoundService {
public:
    virtual ~AwSoundService() = default;
    // A sound by name: above 0 a sample index, below 0 a cue, 0 not found.
    virtual int32_t LoadSound(const char* name) = 0;
    // A sample with the same name and exactly these settings (the sample
    // itself, a loaded copy or a new copy); 0 when none can be had.
    virtual int32_t GetSampleVariant(int32_t sample, int32_t volumePercent, float frequency, float range,
                                     float secondRange, bool levelScoped) = 0;
    // Plays the sample following the object's position.
    virtual void PlayFollowing(int32_t sample, AwObject* object) = 0;
};

// Returns the service it replaces (null for none). The caller keeps ownership.
AwSoundService* InstallSoundService(AwSoundService* service);
// The installed service, or one that loads and plays nothing.
AwSoundService& SoundService();
