#include "sound/sound_service.h"

#include "Awapi/model/sound_hooks.h"
#include "sound/sound_system.h"

namespace {

class ManagerService final : public AwSoundService {
public:
    int32_t LoadSound(const char* name) override {
        return SoundSystemInstance ? SoundSystemInstance->LoadSound(name) : 0;
    }
    int32_t GetSampleVariant(int32_t sample, int32_t volume, float frequency, float range, float secondRange,
                             bool levelScoped) override {
        return SoundSystemInstance
                   ? SoundSystemInstance->GetSampleVariant(sample, volume, frequency, range, secondRange, levelScoped)
                   : 0;
    }
    void PlayFollowing(int32_t sample, AwObject* object) override {
        if (SoundSystemInstance) SoundSystemInstance->Play(sample, "t", object);
    }
};

} // namespace

AwSoundService& ManagerSoundService() {
    static ManagerService service;
    return service;
}
