#include "Tv/server/headless_level.h"

#include <cstdio>
#include <optional>
#include <string>

#include "Awapi/aw3d/headless_start.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/diagnostics.h"
#include "Tv/defs/leveldefinitions.h"
#include "Tv/defs/resourcecache.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/server/server.h"
#include "Tv/sim/ai_level.h"
#include "Tv/world/level_world.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "platform/fpu.h"
#include "platform/paths.h"
#include "platform/virtual_clock.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kCalibrationRounds = 200; // as a level load calibrates

std::optional<fs::path> TreeOf(const fs::path& level) {
    std::error_code error;
    for (fs::path dir = level.parent_path(); !dir.empty(); dir = dir.parent_path()) {
        if (fs::is_regular_file(dir / "tvdirs.tvs", error)) return dir;
        if (dir == dir.parent_path()) break;
    }
    return std::nullopt;
}

} // namespace

bool TvStartHeadlessEngine() {
    plat::SetGameFpuMode();
    RegisterAllChunkClasses();
    plat::VirtualClock stepping;
    const bool started = AwStartHeadless(640, 480);
    RecalibrateClocks(kCalibrationRounds);
    return started;
}

void TvReleaseLevelResources() {
    ReleaseLevelDefinitions();
    TvReleaseLevelWorld();
    TvSetLevelScriptName("");
    ResourceCache::ReleaseFiles();
    ResourceCache::ReleaseModelsAndShapes();
    DataDirClear();
}

bool TvLoadHeadlessLevel(const fs::path& level, const char* program) {
    const std::optional<fs::path> tree = TreeOf(level);
    if (!tree) {
        std::fprintf(stderr, "%s: no tvdirs.tvs in or above the directory of %s\n", program, level.c_str());
        return false;
    }
    plat::SetCurrentDir(tree->string());
    TvLoadDirectoryScript("tvdirs.tvs");
    plat::SetCurrentDir(level.parent_path().string());
    StderrErrorSink sink;
    ScriptDiagnosticSink* previousSink = SetScriptDiagnosticSink(&sink);
    const std::string name = level.filename().string();
    TvSetLevelScriptName(name.c_str());
    LoadLevelDefinitions(name);
    SetScriptDiagnosticSink(previousSink);
    if (!LevelWorldInstance) {
        std::fprintf(stderr, "%s: %s builds no level\n", program, level.c_str());
        return false;
    }
    TvStartLevelAi();
    return true;
}

void TvUnloadHeadlessLevel() {
    TvStopSimulation();
    TvEndLevelAi();
    TvReleaseLevelResources();
    TeamTable::Destroy();
}
