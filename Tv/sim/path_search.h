#pragma once
// The three searches over the waypoint graph. They read the graph and use
// the polygons' `scratch` words (0 again when they return) without taking the
// level world's lock: the server thread's, or a tool's, alone.
// Polygons are told apart by their polygon index: the graph is one world's.
//
// A link to N is usable when (N.flags & mask) == 0, and a diagonal step past
// a blocked polygon between two polygons is refused (the corner rule).

#include <cstdint>

#include "core/list.h"
#include "core/maths.h"

class CollisionPolygon;

// The greedy walk: appends each step, first step first (not the start), while
// a usable link gets strictly nearer to the goal.
void TvFindGreedyPath(CollisionPolygon* start, CollisionPolygon* goal, List<CollisionPolygon*>& out, uint32_t mask);

// A* within PathSearchStepLimit expansions: appends the path from its end back
// (the end first, the polygon after the start last). The end is the goal when
// reached, else the expanded polygon of smallest F. Empty when the end is the start.
void TvFindWaypointPath(CollisionPolygon* start, CollisionPolygon* goal, List<CollisionPolygon*>& out, uint32_t mask);

// As TvFindWaypointPath toward a point, ending at the first polygon taken out
// whose reference point lies within the squared range of it.
void TvFindWaypointPathPartial(CollisionPolygon* start, const Vector3& goal, List<CollisionPolygon*>& out,
                               uint32_t mask, Real squaredRange);
