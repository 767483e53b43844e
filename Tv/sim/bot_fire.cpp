// The bot's shot: what the target's vulnerabilities make of the attack, then
// the line of fire, the spread, the projectile and its announcement.
#include <cfloat>

#include "Awapi/object.h"
#include "Tv/client/teamtable.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/command_scripts.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/projectile_launch.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/vulnerability.h"
#include "Tv/world/intersection.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/mem.h"
#include "core/numeric.h"
#include "core/random.h"

namespace {

constexpr uint32_t kFlightOneShot = 0x200; // a player's shot of this kind ends the attack
constexpr Vector3 kShotGravity{0, Gravity, 0};

bool Matches(const Vulnerability& v, const ObjectDefinition* role, const ObjectDefinition* projectile) {
    return v.attacker == role && (!v.projectile || v.projectile == projectile);
}

// A uniform number in [0, 1): the float in [1, 2) whose mantissa is a draw's low 23 bits, less 1.
Real UniformDraw() {
    const uint32_t bits = 0x3f800000u | (RandomGenerator::ForCallingThread().Draw() & 0x7fffffu);
    Real value;
    static_assert(sizeof value == sizeof bits);
    __builtin_memcpy(&value, &bits, sizeof value);
    return value - 1.0f;
}

void ShutDown(ServerObject& target, Real now) {
    target.AiTickCallback = nullptr;
    if (!target.IsUnit()) return;
    auto& unit = static_cast<ServerUnit&>(target);
    if (unit.Moving) unit.StopMoving(now);
    if (unit.IsFiring()) unit.StopAttacking(now);
}

void RunScriptOnce(Vulnerability& v, int32_t targetId) {
    TvBroadcast(ActorMessage(kMsgAiAlarmClear, targetId), false);
    if (!v.scriptName) return;
    DataDirEnter(kDataDirScripts);
    TvRunCommandScript(v.scriptName);
    MemFree(v.scriptName);
    v.scriptName = nullptr;
    DataDirRestore();
}

} // namespace

bool ServerBot::ApplyVulnerabilities(const ObjectDefinition* projectile, Real now) {
    ServerObject* target = FireTarget;
    if (!target || target->Vulnerabilities.IsEmpty()) return false;
    if (BeamPending && now < BeamDueSeconds) {
        for (Vulnerability* v : target->Vulnerabilities)
            if (v->attacker == Definition && !v->projectile) return true; // the beam works without shots
        return false;
    }
    if (BeamPending) {
        target->AddRef(); // the effects may remove the target
        for (Vulnerability* v : target->Vulnerabilities) {
            if (!Matches(*v, Definition, projectile)) continue;
            const Real end = now + static_cast<Real>(v->durationSeconds);
            switch (v->effect) {
            case kVulnerabilityShutdown: ShutDown(*target, now); break;
            case kVulnerabilityConfuse:
                if (CurrentGameType == kGameStory || CurrentGameType == kGameCooperative)
                    target->Stun(now, end);
                else
                    target->Convert(now, end, Team);
                break;
            case kVulnerabilityDestroy:
                target->Explode();
                target->Release();
                return true;
            case kVulnerabilityScript: RunScriptOnce(*v, target->Id); break;
            default: break; // charming happens elsewhere
            }
        }
        target->Release();
        StopAttacking(now);
        return true;
    }
    for (Vulnerability* v : target->Vulnerabilities) {
        if (!Matches(*v, Definition, projectile)) continue;
        BeamPending = 1;
        BeamStartSeconds = now;
        BeamDueSeconds = now + static_cast<Real>(v->delaySeconds);
        ByteWriter message = ActorMessage(kMsgBotBeamStarted, Id);
        message.F32(BeamStartSeconds);
        message.F32(BeamDueSeconds);
        TvBroadcast(message, false);
        if (!v->projectile) return true;
    }
    return false;
}

bool ServerBot::FireShot(const ObjectDefinition* projectile, uint64_t time, Real now) {
    if (!Weapon || !projectile) return false;
    const bool gravity = projectile->projectile && projectile->projectile->gravity;

    const Real heading =
        std::atan2(TargetPoint.x - MuzzlePosition.x, TargetPoint.z - MuzzlePosition.z) * AngleUnitsPerRadian;
    const int32_t halfHeading = FloorToInt(heading * 0.5f);
    const Quaternion yaw{0, SineOf(halfHeading), 0, CosineOf(halfHeading)};
    const Quaternion pitch{SineOf(FloorToInt(-Elevation * 0.5f)), 0, 0, CosineOf(FloorToInt(Elevation * 0.5f))};
    Quaternion q = QuaternionMultiply(yaw, pitch);

    if (Team == 0 || Team == kComputerTeam) {
        if (WithheldShots < 2 && !TvLevelSegmentHit(MuzzlePosition, TargetPoint)) {
            ++WithheldShots; // from the third try the shot goes anyway
            return false;
        }
    } else if (FireTarget && Weapon->WeaponType != kWeaponTypeMineSweep) {
        const Vector3 v = ForwardAxis(q) * ShotSpeed;
        HitRecord level{FLT_MAX, {0, 0, 0}};
        if (AwShapeInstance* root = LevelWorldInstance ? LevelWorldInstance->GetRootShape() : nullptr)
            gravity ? TvBallisticHitShapeTree(level, *root, MuzzlePosition, v, kShotGravity)
                    : LevelWorldInstance->SegmentHit(level, MuzzlePosition, v);
        HitRecord hit{};
        const bool targetFirst = gravity ? FireTarget->HitTestBallistic(hit, MuzzlePosition, v, kShotGravity, level)
                                         : FireTarget->HitTestSegment(hit, MuzzlePosition, v, level);
        if (!targetFirst) {
            if (ReportBlockedShot) TvSendToTeamPlayer(Team, ActorMessage(kMsgBotShotBlocked, Id), false);
            ReportBlockedShot = 0;
            return false;
        }
        ReportBlockedShot = 0;
        if (WithheldShots > 2) return false;
    }

    const Real u1 = UniformDraw();
    const Real u2 = UniformDraw();
    const Real axis = u1 * 4096.0f;
    Real spread = u2 * u2 * Aim;
    if (Moving) spread *= 2.0f;
    if (FireTarget && FireTarget->IsMoving()) spread *= 5.0f;
    const int32_t a = FloorToInt(axis), s = FloorToInt(spread);
    q = QuaternionMultiply(q, Quaternion{SineOf(a) * SineOf(s), CosineOf(a) * SineOf(s), 0, CosineOf(s)});

    const int32_t weaponType = Weapon->WeaponType;
    const int32_t shotTeam = weaponType == kWeaponTypeRepair ? 0 : Team;
    const int32_t targetId = FireTarget ? FireTarget->Id : -1;
    const ServerProjectileMaker maker = ServerProjectileMakerOf();
    if (!maker) return false;
    const ProjectileLaunch launch{shotTeam,        projectile,
                                  MuzzlePosition,  q,
                                  ShotSpeed,       Id,
                                  targetId,        weaponType,
                                  TvNextActorId(), Character ? Character->damageMultiplier : 1.0f};
    ServerObject* shot = maker(launch);
    if (!shot) return false;
    shot->Start(time, now);
    uint32_t flightFlags = 0;
    if (shot->IsProjectile()) {
        auto* flying = static_cast<ServerProjectile*>(shot);
        flying->SetTargetPoint(TargetPoint);
        flightFlags = static_cast<uint32_t>(flying->GetFlightFlags());
    }

    if (projectile->projectile && projectile->projectile->damage > 0.0f) TvCountShots(shotTeam, 1);

    const ConsumeShotResult used = ConsumeShot();
    if (shotTeam != kComputerTeam && shotTeam != 0 && (flightFlags & kFlightOneShot))
        StopAttacking(now);
    else if (used == kShotNext)
        NextShotTime = time + static_cast<uint64_t>(Weapon->RoundTicks);
    else if (used == kShotReloaded)
        NextShotTime = time + static_cast<uint64_t>(Weapon->ReloadTicks);
    else
        StopAttacking(now);

    TvBroadcast(ProjectileFiredMessage(launch, now), TeamTable::IsPlayerTeam(Team));

    if (Weapon && Weapon->AmmoType == kAmmoTypeOneShot) {
        TvBroadcast(ActorMessage(kMsgBotOneShotDone, Id), false);
        StopAttacking(now);
    }
    return true;
}
