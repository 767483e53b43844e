// Applying level scripts as a level load does: compile, build every
// definition and weapon table row and the level world, tear the level down
// again. On the sample tree (its models and its level cache kept after the
// first load, as between levels) and on the generated level of 2,500 units.
// Reports applies a second and the script's bytes a second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "Awapi/aw3d/headless_start.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/leveldefinitions.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/world/level_world.h"
#include "bench/generated_level.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "platform/files.h"
#include "platform/fpu.h"
#include "platform/paths.h"

namespace {

// The engine without a window and the sample tree's data directories, once.
void StartOnce() {
    static const bool started = [] {
        plat::SetGameFpuMode();
        RecalibrateClocks(0);
        RegisterAllChunkClasses();
        plat::SetCurrentDir(TAVRIN_DATA_DIR);
        TvLoadDirectoryScript("tvdirs.tvs");
        return AwStartHeadless(640, 480);
    }();
    if (!started) std::abort();
}

// `scriptName` names the level's caches ("" for none).
void ApplyRepeatedly(benchmark::State& state, const std::string& path, const char* scriptName) {
    StartOnce();
    TvSetLevelScriptName(scriptName);
    std::string text;
    if (!plat::ReadWholeFile(path, text)) std::abort();
    const auto bytes = static_cast<int64_t>(text.size());
    int32_t definitions = 0;
    for (auto _ : state) {
        LoadLevelDefinitions(path);
        definitions = DefinitionRegistry::Count();
        ReleaseLevelDefinitions();
        TvReleaseLevelWorld();
    }
    state.counters["definitions"] = definitions;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
    state.counters["applies"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ApplySampleLevel(benchmark::State& state) {
    ApplyRepeatedly(state, std::string(TAVRIN_DATA_DIR) + "/levels/sample.tvs", "sample.tvs");
}
BENCHMARK(BM_ApplySampleLevel)->Unit(benchmark::kMicrosecond);

void BM_ApplyGeneratedLevel(benchmark::State& state) {
    static const LevelScript script;
    ApplyRepeatedly(state, script.Path(), "");
}
BENCHMARK(BM_ApplyGeneratedLevel)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
