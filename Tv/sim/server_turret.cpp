// The turret: it rises for an enemy in its sight cone, keeps its body still, aims its gun within
// its yaw and elevation limits and fires without counting ammunition at what the turret core tells
// it to attack.
#include <algorithm>
#include <cmath>
#include <limits>

#include "Awapi/object.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_options.h"
#include "Tv/server/projectile_launch.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/lob_elevation.h"
#include "Tv/sim/server_popup.h"
#include "Tv/sim/turret_ai.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/random.h"
#include "core/rwlock.h"

namespace {

constexpr int32_t kSequenceGunTurn = 13;
constexpr uint32_t kGunTurnFlags = 8;
constexpr Real kMovingTargetSpread = 10.0f;

} // namespace

void ServerTurret::Think(uint64_t time, Real seconds) {
    if (!OnTrack && Mover && LevelWorldInstance) {
        RwLockHold hold(LevelWorldLock(), false);
        Vector3 target = Position;
        LevelWorldInstance->MoveMover(target, *Mover, static_cast<uint32_t>(time));
    }
    if (!IsAlive()) {
        ServerObject::Think(time, seconds);
        return;
    }
    if (!Raised && !Rising) {
        WatchForEnemies();
        ServerObject::Think(time, seconds);
        return;
    }
    if (Raised && !Disabled && AiTickCallback != TvTurretAi) {
        AiTickCallback = TvTurretAi;
        AiWakeTime = time;
    }
    if (FireTarget) TargetPoint = FireTarget->GetCentre();
    if (Attacking) AimGun(time, seconds);
    ServerObject::Think(time, seconds);
    if (Attacking && Weapon && AimReady && YawAimed && PitchAimed && FireTarget && time >= NextShotTime)
        FireAtTarget(time, seconds);
}

void ServerTurret::WatchForEnemies() {
    const Vector3 f = ForwardAxis(Orientation);
    const Real limit = CosineOf(FloorToInt(SightAngle));
    const Real range2 = SightRange * SightRange;
    const Real fLength2 = Dot(f, f);
    ForEachTurretCandidate(*this, true, [&](ServerObject* actor) {
        const Vector3 v = actor->GetCentre() - Position;
        const Real v2 = Dot(v, v);
        // An actor at the turret's own position has no direction: it is outside the cone.
        if (!(v2 > 0) || !(v2 < range2) || !(Dot(f, v) * FastInvSqrt(fLength2) * FastInvSqrt(v2) > limit)) return false;
        PopUp(false);
        return true;
    });
}

void ServerTurret::AimGun(uint64_t time, Real seconds) {
    UpdateMuzzlePosition(time);
    const Vector3 aim = TargetPoint - MuzzlePosition;
    const ObjectDefinition* shot = Weapon ? Weapon->Projectile : nullptr;
    const bool lobbed = shot && shot->projectile && shot->projectile->gravity;
    // Straight above or below the muzzle there is no elevation to aim at.
    Real e = 0;
    const bool aimed = aim.x * aim.x + aim.z * aim.z > 0 &&
                       (lobbed ? TvFlatterLobElevation(aim, ShotSpeed, e) : TvAimElevation(aim, 0, false, false, e));
    if (!aimed || !Character || std::fabs(e) > Character->elevationAngle) {
        StopAttacking(seconds);
        return;
    }
    AimPitchChannel(e);
    const Real d = TurnToTargetHeading();
    const bool withinYaw = std::fabs(d) <= Character->gunYawAngle;
    if (withinYaw && Model && Model->HasSequence(kSequenceGunTurn) && !Model->IsPlayingSequence(kSequenceGunTurn))
        PlaySequence(kSequenceGunTurn, WalkingSpeed, -1, static_cast<uint32_t>(time), nullptr, kGunTurnFlags, false);
    if (Model && Model->HasSequence(kSequenceAimYaw))
        PlaySequenceRange(kSequenceAimYaw, kBlendFull, kBlendCentre, withinYaw ? AimChannelBlend(d, 1.0f) : kBlendCentre,
                          static_cast<uint32_t>(ThinkTicks), nullptr, &YawAimed, kBlendFlags, false);
    else
        YawAimed = 1;
    if (!withinYaw) StopAttacking(seconds); // the turret never turns its body
}

void ServerTurret::FireAtTarget(uint64_t time, Real seconds) {
    const ObjectDefinition* projectile = Weapon->Projectile;
    const ServerProjectileMaker maker = ServerProjectileMakerOf();
    if (!projectile || !maker) return;
    const Quaternion pitch{SineOf(FloorToInt(-Elevation * 0.5f)), 0, 0, CosineOf(FloorToInt(Elevation * 0.5f))};
    Quaternion q = QuaternionMultiply(HeadingRotation(TargetHeading), pitch);
    if (Aim != 0.0f) {
        const Real u1 = RandomUnit();
        const Real u2 = RandomUnit();
        Real spread = u2 * u2 * Aim;
        if (FireTarget->IsMoving()) spread *= kMovingTargetSpread;
        const int32_t a = FloorToInt(u1 * 4096.0f), s = FloorToInt(spread);
        q = QuaternionMultiply(q, Quaternion{SineOf(a) * SineOf(s), CosineOf(a) * SineOf(s), 0, CosineOf(s)});
    }
    const ProjectileLaunch launch{Team,
                                  projectile,
                                  MuzzlePosition,
                                  q,
                                  ShotSpeed,
                                  Id,
                                  FireTarget->Id,
                                  Weapon->WeaponType,
                                  TvNextActorId(),
                                  Character ? Character->damageMultiplier : 1.0f};
    ServerObject* fired = maker(launch);
    if (!fired) return;
    fired->Start(time, seconds);
    TvCountShots(Team, 1);
    NextShotTime = time + static_cast<uint64_t>(std::max(0.0f, Weapon->RoundTicks));
    TvBroadcast(ProjectileFiredMessage(launch, seconds), false);
}

void ServerTurret::Convert(Real start, Real end, int32_t team) {
    if (!Raised && !Rising) PopUp(false); // a rise under way is not restarted
    ServerObject::Convert(start, end, team);
    AiWakeTime = std::min(AiWakeTime, ServerClock.GetTime());
}

void ServerTurret::EndConversion() {
    ServerObject::EndConversion();
    AiWakeTime = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
}
