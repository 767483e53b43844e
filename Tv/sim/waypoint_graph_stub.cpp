// TEMPORARY: the least of the waypoint graph and the path searches so that
// the level build links until the graph's branch lands; removed before that
// branch is merged.
#include "Tv/sim/path_search.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/world/level_world.h"

void LoadPathGraph(CollisionWorld& world, uint64_t, std::string_view) {
    world.BuildGrid(98, 4, 98);
    world.LinkAllNeighbours();
}

void TvLoadPathGraph() {
    if (!LevelWorldInstance || LevelWorldInstance->graphBuilt) return;
    LoadPathGraph(*LevelWorldInstance, LevelWorldInstance->levelFileTime, "");
    LevelWorldInstance->graphBuilt = 1;
}

void TvFindGreedyPath(CollisionPolygon*, CollisionPolygon*, List<CollisionPolygon*>&, uint32_t) {}

void TvFindWaypointPath(CollisionPolygon*, CollisionPolygon*, List<CollisionPolygon*>&, uint32_t) {}
