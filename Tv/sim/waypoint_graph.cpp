#include "Tv/sim/waypoint_graph.h"

#include <string>

#include "Tv/sim/path_search.h"
#include "Tv/sim/waypoint_map_file.h"
#include "Tv/world/collision_world.h"
#include "chunkfile/chunkfileimage.h"
#include "platform/files.h"

int32_t PathSearchStepLimit = 200;
int32_t PathRequestBudget = 1;

namespace {

int32_t Clamp(uint64_t value, uint32_t low, uint32_t high) {
    return static_cast<int32_t>(value < low ? low : value > high ? high : value);
}

// Replaces the cache through a temporary file; a read-only cache is made writable first.
void WriteCache(const CollisionWorld& world, uint64_t stamp, std::string_view name) {
    const uint32_t attributes = plat::GetFileAttributes(name);
    if (attributes != plat::kInvalidAttributes && (attributes & plat::kAttrReadOnly))
        plat::SetFileAttributes(name, attributes & ~plat::kAttrReadOnly);
    WriteFileThroughTemporary(name, WaypointMapImage(world, stamp));
}

} // namespace

void SetPathBudgets(uint32_t ticksPerSecond) {
    PathSearchStepLimit = Clamp(2 * uint64_t{ticksPerSecond}, 200, 500);
    PathRequestBudget = Clamp(ticksPerSecond / 100, 1, 2);
}

void LoadPathGraph(CollisionWorld& world, uint64_t stamp, std::string_view cacheName) {
    world.BuildGrid(98, 4, 98);
    std::string image;
    if (!cacheName.empty() && plat::ReadWholeFile(cacheName, image) && ApplyWaypointMap(world, image, stamp)) return;
    {
        RwLockHold hold(&world.lock, true);
        world.LinkAllNeighbours();
    }
    if (!cacheName.empty()) WriteCache(world, stamp, cacheName);
}

bool TvPolygonWalkReaches(CollisionPolygon* a, CollisionPolygon* b, uint32_t mask) {
    List<CollisionPolygon*> walk;
    TvFindGreedyPath(a, b, walk, mask);
    return !walk.IsEmpty() && walk.Back() == b;
}
