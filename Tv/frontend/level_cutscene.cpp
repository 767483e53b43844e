#include "Tv/frontend/level_cutscene.h"

#include <utility>

namespace {
LevelCutsceneFactory installed = nullptr;
}

LevelCutsceneFactory InstallLevelCutsceneFactory(LevelCutsceneFactory factory) {
    return std::exchange(installed, factory);
}

Cutscene* TvNewLevelCutscene(std::unique_ptr<ParticleGeneratorRecord> first,
                             std::unique_ptr<ParticleGeneratorRecord> second) {
    return installed ? installed(std::move(first), std::move(second)) : nullptr;
}
