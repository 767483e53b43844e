#include "Tv/sim/server_projectile.h"

#include <cmath>
#include <limits>

#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/world/intersection.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

constexpr Real kUnlimited = std::numeric_limits<Real>::max();

// What a definition without a projectile record flies with: no damage, no blast, no gravity.
const ProjectileRecord kNoRecord;

ServerObject* MakeProjectile(const ProjectileLaunch& launch) {
    ServerProjectile* projectile =
        new ServerProjectile(launch.team, launch.definition, launch.from, launch.orientation, launch.speed,
                             launch.shooterId, launch.targetId, launch.kind, launch.id);
    projectile->DamageMultiplier = launch.damageMultiplier;
    return projectile;
}

} // namespace

ServerProjectile::ServerProjectile(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                                   const Quaternion& orientation, Real speed, int32_t shooterId, int32_t targetId,
                                   int32_t damageKind, int32_t id)
    : ServerObject(team, definition, position, orientation, kActorFlagsProjectile, id), Origin(position),
      ShooterId(shooterId), Record(definition && definition->projectile ? definition->projectile.get() : &kNoRecord),
      FlightFlags(definition ? definition->limit : 0), DamageKind(damageKind) {
    QuaternionZAxis(Velocity, orientation);
    Velocity = Velocity * speed;
    InTeamList = 0;
    if (targetId != -1) {
        Target = TvFindActor(targetId);
        if (Target) Target->AddRef();
    }
}

ServerProjectile::~ServerProjectile() {
    if (Target) Target->Release();
}

Real ServerProjectile::SecondsBetween(uint64_t from, uint64_t to) {
    return static_cast<Real>(to - from) * CurrentSecondsPerTick();
}

Vector3 ServerProjectile::Acceleration() const { return Vector3(0, Record->gravity ? kActorGravity : 0.0f, 0); }

bool ServerProjectile::HitsLevelWithin(const Vector3& from, const Vector3& v, Real limit, Real& t) const {
    AwShapeInstance* root = LevelWorldInstance ? LevelWorldInstance->GetRootShape() : nullptr;
    HitRecord record{limit, Vector3(0, 0, 0)};
    const bool hit = root && (Record->gravity ? TvBallisticHitShapeTree(record, *root, from, v, Acceleration())
                                              : LevelWorldInstance->SegmentHit(record, from, v));
    t = record.t;
    return hit;
}

bool ServerProjectile::HitsActorWithin(ServerObject& actor, const Vector3& from, const Vector3& v, Real& t) const {
    const HitRecord in{t, Vector3(0, 0, 0)};
    HitRecord out = in;
    const bool hit = Record->gravity ? actor.HitTestBallistic(out, from, v, Acceleration(), in)
                                     : actor.HitTestSegment(out, from, v, in);
    if (hit) t = out.t;
    return hit;
}

bool ServerProjectile::CanHurt(int32_t team) const {
    const auto playerSide = [](int32_t t) { return t != 0 && t != 2; };
    if (TvIsFriendlyFire() || !playerSide(team) || !playerSide(Team)) return true;
    const bool cooperative = CurrentGameType == kGameStory || CurrentGameType == kGameCooperative;
    return !cooperative && team != Team;
}

void ServerProjectile::Start(uint64_t time, Real seconds) {
    if (!Loaded) { // a loaded shot flies on from its saved launch
        LaunchTicks = time;
        LaunchSeconds = seconds;
    }
    ServerObject::Start(time, seconds);

    Real t;
    WillHit = HitsLevel = HitsLevelWithin(Position, Velocity, kUnlimited, t);
    HitTime = t;
    ForEachActor([&](ServerObject* actor) {
        if (actor->Team == Team || actor->Mobile || !actor->IsAlive() || actor->Id == ShooterId) return;
        if (HitsActorWithin(*actor, Position, Velocity, HitTime)) {
            WillHit = 1;
            HitsLevel = 0;
            VictimId = actor->Id;
        }
    });
    HitAt = HitTime;
}

Quaternion ProjectileOrientation(const Vector3& v) {
    const Real h = std::sqrt(v.x * v.x + v.y * v.y);
    // Along the z axis no turn axis is defined: straight on, or a half turn about y.
    if (!(h > 0)) return v.z >= 0 ? Quaternion{0, 0, 0, 1} : Quaternion{0, 1, 0, 0};
    const int32_t half = FloorToInt(std::atan2(h, v.z) * AngleUnitsPerRadian * 0.5f);
    const Real s = SineOf(half) / h;
    return Quaternion{s * -v.y, s * v.x, 0, CosineOf(half)};
}

void RegisterServerProjectile() { SetServerProjectileMaker(&MakeProjectile); }
