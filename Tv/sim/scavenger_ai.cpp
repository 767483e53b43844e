#include "Tv/sim/scavenger_ai.h"

#include <cmath>

#include "Tv/defs/definitionrecords.h"
#include "Tv/sim/ai_stun_gate.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"

Vector3 ScavengerTable[kScavengerRows] = {};
int32_t ScavengerRow = 0;

namespace {

constexpr Real kHearingSquared = 36.0f; // noises within 6 m
constexpr Real kNoNoiseYet = 10000.0f;
constexpr Real kKeepCourseCosine = 0.25f; // about 75 degrees either side of the row's direction
constexpr Real kFixedOne = 65536.0f;      // the walking speed is 16.16

// The nearest noise within 6 m becomes the noise point when the scavenger
// has none or it lies nearer than the one it has.
void NoteNearestNoise(ServerUnit& scavenger) {
    Real best = kNoNoiseYet;
    for (const NoiseEvent* event : NoiseEventList) {
        const Real d = DistanceSquared(scavenger.Position, event->position);
        if (d > kHearingSquared || d > best) continue;
        best = d;
        if (!scavenger.HasNoisePoint || d < DistanceSquared(scavenger.Position, scavenger.InvestigatePoint)) {
            scavenger.HasNoisePoint = 1;
            scavenger.InvestigatePoint = event->position;
        }
    }
}

// Walking, and bound roughly along the row's direction (neither of the two
// flat directions is zero).
bool KeepsCourse(const ServerUnit& scavenger, const Vector3& direction) {
    if (!scavenger.IsMoving()) return false;
    const Real dx = scavenger.Destination.x - scavenger.Position.x, dz = scavenger.Destination.z - scavenger.Position.z;
    const Real lengths = std::sqrt((dx * dx + dz * dz) * (direction.x * direction.x + direction.z * direction.z));
    return lengths > 0 && (dx * direction.x + dz * direction.z) / lengths >= kKeepCourseCosine;
}

// One axis of TvBounceOffLevelBounds.
void Bounce(Real& point, Real& direction, Real low, Real high) {
    if (low > point) {
        point = low;
        direction = -direction;
    } else if (high < point) {
        point = high;
        direction = -direction;
    }
}

} // namespace

void TvBounceOffLevelBounds(Vector3& point, Vector3& direction, Real margin) {
    const LevelWorld* world = LevelWorldInstance;
    if (!world) return;
    Bounce(point.x, direction.x, world->boxMin.x + margin, world->boxMax.x - margin);
    Bounce(point.z, direction.z, world->boxMin.z + margin, world->boxMax.z - margin);
}

void TvScavengerAi(ServerObject* actor, uint64_t time) {
    if (!actor->IsUnit() || time <= actor->AiWakeTime) return;
    auto& scavenger = static_cast<ServerUnit&>(*actor);
    if (!AiPassesStunAndConversion(scavenger, static_cast<Real>(time) * CurrentSecondsPerTick())) return;
    scavenger.AiWakeTime = TicksAfter(time, 1.0f);
    NoteNearestNoise(scavenger);

    Vector3& direction = ScavengerTable[ScavengerRow];
    if (!KeepsCourse(scavenger, direction)) {
        const Real stride = scavenger.Character ? static_cast<Real>(scavenger.Character->walkingSpeed) / kFixedOne : 0;
        scavenger.WalkTo(scavenger.Position + direction * stride, false);
    }
    Vector3 position = scavenger.Position;
    TvBounceOffLevelBounds(position, direction, scavenger.Radius);
    scavenger.SetPosition(position);
    // The table has 20 rows: the next call reads the next one, the last wraps to the first.
    ScavengerRow = (ScavengerRow + 1) % kScavengerRows;
}
