// The projectile's flight: straight or ballistic from its origin, or the
// homing turn toward its target; the end of the flight outside the level,
// after ten seconds of homing or at a flare's point.
#include <algorithm>
#include <cmath>
#include <limits>

#include "Awapi/shape.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/projectile_launch.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/world/level_world.h"

namespace {

constexpr Real kHomingTurnRate = 50.0f; // the share of the turn toward the target per second, up to all of it
constexpr Real kFlareArrival = 1.0f;    // within this in x and z
constexpr Real kFlareLightSpeed = 1.0f;

Vector3 Normalised(const Vector3& v) { return v * FastInvSqrt(Dot(v, v)); }

// Outside the level world's box on some axis; a position that is not finite always is.
bool OutsideLevel(const Vector3& p) {
    constexpr Real big = std::numeric_limits<Real>::max();
    const Vector3 lo = LevelWorldInstance ? LevelWorldInstance->boxMin : Vector3(-big, -big, -big);
    const Vector3 hi = LevelWorldInstance ? LevelWorldInstance->boxMax : Vector3(big, big, big);
    const auto inside = [](Real x, Real min, Real max) { return x >= min && x <= max; };
    return !(inside(p.x, lo.x, hi.x) && inside(p.y, lo.y, hi.y) && inside(p.z, lo.z, hi.z));
}

} // namespace

void ServerProjectile::Think(uint64_t time, Real seconds) {
    const Real flown = SecondsBetween(LaunchTicks, time);
    Vector3 v = Velocity;
    if (IsHoming()) {
        const Real step = seconds - LastSeconds;
        const Real a = std::min(step * kHomingTurnRate, 1.0f);
        const Vector3 toTarget = Normalised(Target->GetCentre() - Position);
        const Vector3 direction = Normalised((1 - a) * Normalised(Velocity) + a * toTarget);
        v = Velocity = direction * FastSqrt(Dot(Velocity, Velocity));
        SetPositionQuiet(Position + step * Velocity);
        if (OutsideLevel(Position) || flown > kHomingFlightSeconds) {
            Remove(true);
            return;
        }
    } else {
        Vector3 p = Origin + flown * Velocity;
        if (Record->gravity) {
            p.y += 0.5f * kActorGravity * flown * flown;
            v.y += kActorGravity * flown;
        }
        SetPositionQuiet(p);
        if (OutsideLevel(p)) {
            Remove(true);
            return;
        }
        const ObjectDefinition* flare = DefinitionRegistry::FindByName("flare");
        if (flare && flare == Definition && std::abs(p.x - TargetPoint.x) < kFlareArrival &&
            std::abs(p.z - TargetPoint.z) < kFlareArrival) {
            if (const ObjectDefinition* light = DefinitionRegistry::FindByName("flare_light"))
                TvFireProjectile(light, p, TargetPoint, -1, -1, Team, DamageKind, kFlareLightSpeed);
            Remove(true);
            return;
        }
    }
    if (Model) {
        Orientation = ProjectileOrientation(v);
        if (Definition && Definition->shape)
            Orientation = QuaternionMultiply(Orientation, Definition->shape->Orientation);
    }
    ServerObject::Think(time, seconds);
}
