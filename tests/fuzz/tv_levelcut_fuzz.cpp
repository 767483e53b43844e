// Reads any bytes as a level cache (".cut"), packed or unpacked, on an engine
// without a window. A cache that parses builds a level world with its grid,
// links and a floor query, and is written back: the copy must read back to
// the same counts. Nothing may read out of range, crash or leak.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "Awapi/aw3d/headless_start.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Tv/defs/levelcache.h"
#include "Tv/world/level_world.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "platform/fpu.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

const std::string& ScratchPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("tavrin-levelcut-fuzz-" + std::to_string(std::random_device{}())))
            .string() +
        ".cut";
    return path;
}

bool Start() {
    plat::SetGameFpuMode();
    RecalibrateClocks(0);
    RegisterAllChunkClasses();
    return AwStartHeadless(640, 480);
}

// The copy written from what was read reads back alike.
void RoundTrip(const LevelCache& cache) {
    if (!WriteLevelCache(ScratchPath(), 1, cache.origin, *cache.root, cache.geometry)) return;
    LevelCache again;
    Require(ReadLevelCache(ScratchPath(), 1, again));
    Require(again.geometry.Points.size() == cache.geometry.Points.size() &&
            again.geometry.Triangles.size() == cache.geometry.Triangles.size() &&
            again.geometry.Quads.size() == cache.geometry.Quads.size());
    std::filesystem::remove(ScratchPath());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = Start();
    Require(started);
    LevelCache cache;
    if (ParseLevelCache(std::span(data, size), 0, cache)) {
        RoundTrip(cache);
        LevelWorldInstance = new LevelWorld(cache.root.release(), cache.origin, &cache.geometry);
        LevelWorldInstance->BuildGrid(16, 4, 16);
        LevelWorldInstance->LinkAllNeighbours();
        Vector3 p = cache.origin;
        LevelWorldInstance->DropToFloor(p);
        TvLevelSegmentHit(Vector3(-1, -1, -1), Vector3(1, 1, 1));
        TvReleaseLevelWorld();
    }
    TextureManager.RemoveUnused();
    return 0;
}
