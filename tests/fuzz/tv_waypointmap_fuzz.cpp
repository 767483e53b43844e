// Any bytes as a level's ".map" cache over a small fixed world (a 3 x 3 floor,
// a wall and a ceiling): the cache is taken only when it parses in full for
// that world, and whatever graph it gives (self links, repeated links, links
// to the wall or the ceiling, changed flags) the three searches and a mover
// walk it without faults, without running on, and leave every scratch word 0.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Tv/client/collisionvolume.h"
#include "Tv/sim/path_search.h"
#include "Tv/sim/waypoint_map_file.h"
#include "Tv/world/mover_world.h"
#include "platform/fpu.h"
#include "tests/tv/world_fixtures.h"

namespace {

constexpr uint64_t kStamp = 0x01D0000000000000ull;

void Search(CollisionWorld& world) {
    for (uint32_t from = 0; from < world.polygonCount; ++from)
        for (uint32_t to = 0; to < world.polygonCount; ++to)
            for (uint32_t mask : {0u, 0x140u}) {
                CollisionPolygon* a = world.polygonTable[from];
                CollisionPolygon* b = world.polygonTable[to];
                List<CollisionPolygon*> path;
                TvFindGreedyPath(a, b, path, mask);
                TvFindWaypointPath(a, b, path, mask);
                TvFindWaypointPathPartial(a, b->GetReferencePoint(), path, mask, 0.5f);
            }
    for (uint32_t i = 0; i < world.polygonCount; ++i)
        if (world.polygonTable[i]->scratch != 0) std::abort();
}

void Walk(MoverWorld& world) {
    Vector3 p(1, 0, 1);
    Mover* mover = world.AddMover(p, new CollisionVolume(1.6f, 0.5f, 0.15f), 0);
    const Vector3 targets[] = {{5, 0, 5}, {7, 0, 1}, {1, 0, 5}, {-1, 0, -1}, {3, 0, 3}};
    uint32_t time = 0;
    for (Vector3 target : targets) world.MoveMover(target, *mover, time += 40);
    world.RemoveMover(mover);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::SetGameFpuMode();
    GeometryWorld<MoverWorld> w(FloorWithWallAndCeiling(3, 2));
    w.world.BuildGrid(98, 4, 98);
    const std::string_view image(reinterpret_cast<const char*>(data), size);
    if (!ApplyWaypointMap(w.world, image, kStamp) && !ApplyWaypointMap(w.world, image, 0)) return 0;
    Search(w.world);
    Walk(w.world);
    return 0;
}
