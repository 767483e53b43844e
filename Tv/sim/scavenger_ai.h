#pragma once
// The AI core of scavengers, which do not fight: once a second each notes the
// nearest noise within 6 m as its noise point and walks along the next row
// of a shared steering table, kept inside the level's bounds. Server thread,
// or under the server lock.

#include <cstdint>

#include "core/maths.h"

class ServerObject;

constexpr int32_t kScavengerRows = 20;

// The steering directions the scavengers walk along, one row per call in
// turn. All zero at start-up, and nothing here fills them: a scavenger then
// walks to where it stands. A program global, kept between levels.
extern Vector3 ScavengerTable[kScavengerRows];
// The row the next call reads; it wraps from the last row to the first.
extern int32_t ScavengerRow;

// The core's AI callback.
void TvScavengerAi(ServerObject* actor, uint64_t time);

// Puts the point back inside the level's horizontal bounds shrunk by
// `margin`, x first, then z; each axis it is moved along turns that
// component of `direction` round. Nothing without a level world.
void TvBounceOffLevelBounds(Vector3& point, Vector3& direction, Real margin);
