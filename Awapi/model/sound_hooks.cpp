#include "Awapi/model/sound_hooks.h"

namespace {

class SilentSoundService final : public AwSoundService {
public:
    int32_t LoadSound(const char*) override { return 0; }
    int32_t GetSampleVariant(int32_t, int32_t, float, float, float, bool) override { return 0; }
    void PlayFollowing(int32_t, AwObject*) override {}
};

SilentSoundService silent;
AwSoundService* installed = nullptr;

} // namespace

AwSoundService* InstallSoundService(AwSoundService* service) {
    AwSoundService* previous = installed;
    installed = service;
    return previous;
}

AwSoundService& SoundService() { return installed ? *installed : silent; }
