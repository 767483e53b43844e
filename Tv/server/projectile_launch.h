#pragma once
// Firing a projectile actor from one point at another.

#include <cstdint>

#include "core/maths.h"
#include "core/matrix.h"

class ByteWriter;
struct ObjectDefinition;
struct ProjectileLaunch;

// The orientation that points a projectile's forward axis from `from` toward
// `to` at `speed`: heading from the horizontal offset, the slope of the
// straight line or, for a lobbed projectile, of the flatter ballistic path
// under gravity. A target straight above or below is aimed at straight up or down.
Quaternion ProjectileAim(const Vector3& from, const Vector3& to, float speed, bool lobbed);

// Builds the definition's projectile with the next actor id, starts it and
// announces it with message 70; kind 15 (the lead character's special shot)
// takes the shooter character's damage multiplier. False when no projectile
// was built or the broadcast failed. Server thread, or the main thread holding the lock.
bool TvFireProjectile(const ObjectDefinition* definition, const Vector3& from, const Vector3& to, int32_t shooterId,
                      int32_t targetId, int32_t team, int32_t kind, float speed);

// Message 70, telling the clients of a launched projectile; every shooter's
// announcement is written here. `seconds` is the launch's server time.
ByteWriter ProjectileFiredMessage(const ProjectileLaunch& launch, float seconds);
