#include "chunkfile/cutscene_builder.h"

#include <atomic>

namespace {
std::atomic<CutsceneBuilder> installed{nullptr};
} // namespace

CutsceneBuilder InstallCutsceneBuilder(CutsceneBuilder builder) { return installed.exchange(builder); }

bool TvBuildCutscene(Cutscene* cutscene, const CutsceneChunk& chunk, float worldScale, Vector3 origin) {
    const CutsceneBuilder builder = installed.load();
    if (!builder) return false;
    builder(cutscene, chunk, worldScale, origin);
    return true;
}
