#pragma once
// The waypoint graph: its nodes are the level's walkable collision polygons,
// its links their neighbour links. Built once per level (or read from the
// level's ".map" cache), with the two budgets the path search takes from the
// machine's speed.

#include <cstdint>
#include <string_view>

class CollisionPolygon;
class CollisionWorld;

// Expansions each A* search may make: 2 x ticks per second, clamped to 200..500.
extern int32_t PathSearchStepLimit;
// Path requests served per server pass: ticks per second / 100, clamped to 1..2.
extern int32_t PathRequestBudget;

// Sets both budgets from the calling thread's ticks per second.
void SetPathBudgets(uint32_t ticksPerSecond);

// The graph of LevelWorldInstance, once per world: builds the grid, sets the
// budgets, then loads the cache named after the level script or builds the
// links and writes it.
void TvLoadPathGraph();

// The same for any world: the grid (98 x 4 x 98), then the cache at
// `cacheName` ("" for none) when its stamp is `stamp` (0 accepts any stamp)
// and it holds exactly this world's polygons, else the link build (under the
// world's lock) and a new cache written through a temporary file.
void LoadPathGraph(CollisionWorld& world, uint64_t stamp, std::string_view cacheName);

// The greedy walk from a reaches b under the mask.
bool TvPolygonWalkReaches(CollisionPolygon* a, CollisionPolygon* b, uint32_t mask);
