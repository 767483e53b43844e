#include "Tv/server/projectile_launch.h"

#include <algorithm>
#include <cmath>

#include "Tv/defs/objectdefinition.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

constexpr int32_t kSpecialShotKind = 15;

// The elevation tangent toward a target at horizontal distance R (squared R2) and height offset dy.
float ElevationTangent(float dy, float r2, float speed, bool lobbed) {
    if (!lobbed) return dy * FastInvSqrt(r2);
    const float v2 = speed * speed;
    const float s = FastSqrt(std::max(0.0f, v2 * (v2 + 2.0f * Gravity * dy) - Gravity * Gravity * r2));
    const float k = (v2 + Gravity * dy + s) * r2 * FastReciprocal(2.0f * (r2 + dy * dy));
    return (dy - Gravity * r2 * FastReciprocal(2.0f * k)) * FastReciprocal(FastSqrt(r2));
}

} // namespace

Quaternion ProjectileAim(const Vector3& from, const Vector3& to, float speed, bool lobbed) {
    const Vector3 d = to - from;
    const float heading = std::atan2(d.x, d.z) * AngleUnitsPerRadian;
    const float r2 = d.x * d.x + d.z * d.z;
    float pitch;
    if (r2 > 0.0f)
        pitch = std::atan2(ElevationTangent(d.y, r2, speed, lobbed), 1.0f) * AngleUnitsPerRadian;
    else
        pitch = d.y < 0.0f ? -AngleQuarterTurn : d.y > 0.0f ? AngleQuarterTurn : AngleZero;
    const int32_t halfHeading = FloorToInt(heading * 0.5f);
    const int32_t halfPitch = FloorToInt(-pitch * 0.5f);
    const float sy = SineOf(halfHeading), cy = CosineOf(halfHeading);
    const float sx = SineOf(halfPitch), cx = CosineOf(halfPitch);
    // The turn about the vertical axis after the one about the horizontal axis.
    return Quaternion{cy * sx, cx * sy, -sy * sx, cy * cx};
}

ByteWriter ProjectileFiredMessage(const ProjectileLaunch& launch, float seconds) {
    ByteWriter message;
    message.I32(MSG_PROJECTILE_FIRED);
    message.I32(launch.shooterId);
    message.I32(launch.targetId);
    message.I32(launch.definition->id);
    message.U8(static_cast<uint8_t>(launch.team));
    message.Zeros(3);
    message.F32(seconds);
    const Quaternion& q = launch.orientation;
    for (float v : {launch.from.x, launch.from.y, launch.from.z, q.x, q.y, q.z, q.w, launch.speed}) message.F32(v);
    message.I32(launch.kind);
    message.I32(launch.id);
    return message;
}

bool TvFireProjectile(const ObjectDefinition* definition, const Vector3& from, const Vector3& to, int32_t shooterId,
                      int32_t targetId, int32_t team, int32_t kind, float speed) {
    const ServerProjectileMaker maker = ServerProjectileMakerOf();
    if (!definition || !maker) return false;
    const bool lobbed = definition->projectile && definition->projectile->gravity;
    ProjectileLaunch launch{
        team, definition,      from, ProjectileAim(from, to, speed, lobbed), speed, shooterId, targetId,
        kind, TvNextActorId(), 1.0f};
    if (kind == kSpecialShotKind) {
        const ServerObject* shooter = TvFindActor(shooterId);
        if (shooter && shooter->Definition && shooter->Definition->character)
            launch.damageMultiplier = shooter->Definition->character->damageMultiplier;
    }
    ServerObject* projectile = maker(launch);
    if (!projectile) return false;
    const float seconds = ServerClock.GetSeconds();
    projectile->Start(ServerClock.GetTime(), seconds);

    return TvBroadcast(ProjectileFiredMessage(launch, seconds), false);
}
