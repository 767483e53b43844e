#include <memory>
#include <utility>

#include "Awapi/model/dummy_object.h"
#include "Tv/defs/definitiontypes.h"
#include "Tv/defs/leveltwins.h"
#include "Tv/defs/pgeneratorscript.h"
#include "Tv/frontend/level_cutscene.h"
#include "Tv/world/level_world.h"

namespace {

constexpr int kName = 0, kFile = 1, kGenerator = 7, kSecondGenerator = 8;

std::unique_ptr<ParticleGeneratorRecord> MakeGenerator(const ScriptObject* block) {
    return block ? static_cast<const PGeneratorScriptObject*>(block)->MakeGenerator() : nullptr;
}

} // namespace

void CameraTrackScriptObject::Apply() {
    if (!IsComplete()) return;
    // Owned here until the cutscene takes them: an early stop frees them.
    std::unique_ptr<ParticleGeneratorRecord> first = MakeGenerator(GetReference(kGenerator));
    std::unique_ptr<ParticleGeneratorRecord> second = MakeGenerator(GetReference(kSecondGenerator));
    if (!LevelWorldInstance) return;
    Cutscene* cutscene = TvNewLevelCutscene(std::move(first), std::move(second));
    if (!cutscene) return;
    // Opened after the cutscene is made, which may itself open files through the resource cache.
    AwModelFile* file = TvOpenLevelModelFile(GetString(kFile));
    if (!file || !AwBuildCutscene(cutscene, *file, GetString(kName), LevelWorldInstance->negatedOrigin))
        delete cutscene;
}
