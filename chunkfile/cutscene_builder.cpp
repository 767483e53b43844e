#include "chunkfile/cutscene_builder.h"

#include <atomic>

namespace {
std::atomic<CutsceneBuilder> installed{nullptr};
} // namespace

CutsceneBuilder InstallCutsceneBuilder(CutsceneBuilder builder) { return installed.exchange(builder); }

void TvBuildCutscene(Cutscene* cutscene, const CutsceneChunk& chunk, float worldScale, Vector3 origin) {
    if (const CutsceneBuilder builder = installed.load()) builder(cutscene, chunk, worldScale, origin);
}
