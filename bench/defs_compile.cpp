// Compiling a level script of a few megabytes: many characters, lights,
// projectiles and roles with their properties, and a map placing them.
// Reports the script's bytes per second through both compiler passes.
#include <benchmark/benchmark.h>

#include "Tv/defs/compiler.h"
#include "bench/generated_level.h"
#include "platform/fpu.h"

namespace {

// One compile before the measured ones, so they find the program's code and
// the heap in use, as every level load after the first does.
void CompileOnce(const LevelScript& script) { ScriptObjectList::Delete(TvCompileScript(script.Path(), kScriptModeLevel)); }

void BM_CompileLevelScript(benchmark::State& state) {
    plat::SetGameFpuMode();
    static const LevelScript script;
    static const bool warm = (CompileOnce(script), true);
    (void)warm;
    for (auto _ : state) {
        ScriptObjectList* list = TvCompileScript(script.Path(), kScriptModeLevel);
        benchmark::DoNotOptimize(list);
        ScriptObjectList::Delete(list);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(script.Size()));
    state.counters["script_MB"] = static_cast<double>(script.Size()) / (1 << 20);
}
BENCHMARK(BM_CompileLevelScript)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
