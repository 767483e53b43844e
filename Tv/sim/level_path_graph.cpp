// The running level's waypoint graph: LevelWorldInstance, cached beside the
// level script under its name with "map" for its extension.
#include "Tv/defs/derivedname.h"
#include "Tv/frontend/levelnames.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"

void TvLoadPathGraph() {
    LevelWorld* world = LevelWorldInstance;
    if (!world || world->graphBuilt) return;
    world->graphBuilt = 1;
    SetPathBudgets(static_cast<uint32_t>(CurrentTicksPerSecond()));
    // A script name too short to carry an extension gets no cache.
    LoadPathGraph(*world, world->levelFileTime, DerivedFileName(TvGetLevelScriptName(), "map", 5));
}
