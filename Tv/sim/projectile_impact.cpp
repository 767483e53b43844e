// The projectile's impact: detection in Step, then damage, the clients'
// messages, the noise and the answer of the unit that was shot at.
#include "Tv/client/teamtable.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/game_options.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_damage.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_projectile.h"
#include "Tv/sim/server_unit.h"
#include "core/bytes.h"

namespace {

constexpr int32_t kBlastDamageKind = 33;
constexpr int32_t kShotNoiseLoudness = 25;
constexpr int32_t kStandingModeHoldGround = 5;
constexpr Real kNanofragHealthFraction = 0.001f;
constexpr Vector3 kOneMetreUp{0, -1, 0};
constexpr Vector3 kBurstRaise{0, -0.5f, 0};

// A hit scored by the shot's side: team 2's counter, or the player side's.
void CountHit(int32_t team) {
    if (team == 0) return;
    ++GameOptions.MissionStats[team == 2 ? kStatEnemyHits : kStatPlayerHits];
}

// A struck actor that is gone, or nearly, starts a nanofrag burst there on the next pass.
void AddNanofragBurst(const ServerObject& actor, uint64_t time) {
    if (actor.IsAlive() && actor.GetHealthFraction() >= kNanofragHealthFraction) return;
    NanofragBurst* burst = new NanofragBurst;
    burst->position = actor.Position + kBurstRaise;
    burst->EndTicks = burst->NextTicks = time;
    NanofragBurstList.PushBack(burst);
}

// The squared max range of the unit's weapon's shot, or a negative value without one.
Real WeaponRangeOf(const ServerObject& unit) {
    const WeaponInstance* weapon = unit.GetWeapon();
    const ObjectDefinition* shot = weapon ? weapon->Projectile : nullptr;
    return shot && shot->projectile ? shot->projectile->maxRange : -1.0f;
}

} // namespace

ServerObject* ServerProjectile::FirstActorHit(const Vector3& v, Real& limit, bool mobileOnly) const {
    const bool friendlyFire = TvIsFriendlyFire();
    ServerObject* hit = nullptr;
    ForEachActor([&](ServerObject* actor) {
        if (hit || (actor->Team == Team && !friendlyFire) || (mobileOnly && !actor->Mobile) || !actor->IsAlive() ||
            actor->Id == ShooterId)
            return;
        if (HitsActorWithin(*actor, Position, v, limit)) hit = actor;
    });
    return hit;
}

void ServerProjectile::Step(uint64_t time, Real seconds) {
    if (time <= ThinkTicks) return;
    Real dt = SecondsBetween(ThinkTicks, time);
    const Real flown = SecondsBetween(LaunchTicks, time);
    Vector3 v = Velocity;
    if (Record->gravity) v.y += kActorGravity * flown;

    bool impact = false;
    bool predicted = false; // the impact foreseen at launch, placed from the launch itself
    ServerObject* victim = nullptr;
    if (!IsHoming()) {
        ServerObject* foreseen = HitsLevel ? nullptr : TvFindActor(VictimId);
        // Decided on the flight time since launch, so pass lengths do not matter.
        if (WillHit && flown >= HitAt && (HitsLevel || foreseen)) {
            impact = predicted = true;
            victim = foreseen;
            dt = HitAt - SecondsBetween(LaunchTicks, ThinkTicks);
        }
        HitTime = HitAt - flown;
        // A moving actor on the way is struck first.
        if (ServerObject* moving = FirstActorHit(v, dt, true)) {
            impact = true;
            predicted = false;
            victim = moving;
        }
    } else {
        Real t;
        WillHit = HitsLevel = HitsLevelWithin(Position, v, dt, t);
        HitTime = t;
        if ((victim = FirstActorHit(v, HitTime, false))) {
            WillHit = 1;
            HitsLevel = 0;
            VictimId = victim->Id;
        }
        impact = WillHit;
        dt = HitTime;
        if (!impact) {
            const Vector3 d = Target->GetCentre() - Position;
            if (d.x * d.x + d.z * d.z < kHomingArrivedSquared) {
                // Arrived: it strikes where it is.
                impact = true;
                dt = 0;
                if (Record->damage > 0) CountHit(Team);
            }
        }
    }
    if (!impact) return;

    Vector3 point, messagePoint;
    if (predicted) {
        point = Origin + HitAt * Velocity;
        if (Record->gravity) point.y += 0.5f * kActorGravity * HitAt * HitAt;
        messagePoint = point;
    } else {
        point = messagePoint = Position + dt * v;
        if (Record->gravity) messagePoint.y += 0.5f * kActorGravity * dt * dt;
    }
    Strike(time, seconds, victim, point, messagePoint, dt);
}

void ServerProjectile::Strike(uint64_t time, Real seconds, ServerObject* victim, const Vector3& point,
                              const Vector3& messagePoint, Real dt) {
    if (victim) victim->AddRef(); // damage may remove it
    uint8_t killed = 0;
    if (victim) {
        victim->AiFlags |= kAiFlagShotAt;
        victim->AiWakeTime = time;
        DamageVictim(*victim, time, killed);
    } else if (const ObjectDefinition* decoyShot = DefinitionRegistry::FindByName("decoy_projectile");
               decoyShot && decoyShot == Definition) {
        if (const ObjectDefinition* decoy = DefinitionRegistry::FindByName("decoy"))
            TvSpawnActor(Team, decoy, point + kOneMetreUp, Orientation, -1);
    }

    const bool victimOnPlayerTeam = victim && TeamTable::IsPlayerTeam(victim->Team);
    ByteWriter message = ActorMessage(kMsgProjectileImpact, Id);
    message.I32(victim ? victim->Id : -1);
    message.F32(LastSeconds + dt);
    message.F32(messagePoint.x);
    message.F32(messagePoint.y);
    message.F32(messagePoint.z);
    message.U8(killed);
    TvBroadcast(message, UserMatchSettings.NetDetailLevel == 0 && victimOnPlayerTeam);

    if (Record->blastDamage != 0) Blast(victim, point, time);
    TvAddExplosionNoise(kShotNoiseLoudness, point, Origin, time, 0);
    AnswerFire(victim, seconds);
    // Removal may delete this projectile: nothing of it is touched after.
    Remove(false);
    if (victim) victim->Release();
}

void ServerProjectile::DamageVictim(ServerObject& victim, uint64_t time, uint8_t& killed) {
    if (Record->damage > 0) CountHit(Team);
    const bool onPlayerTeam = TeamTable::IsPlayerTeam(victim.Team);
    if (CanHurt(victim.Team)) {
        killed = victim.TakeDamage(TvDamageFor(victim, Record->damage * DamageMultiplier, DamageKind), true, Team);
        TvBroadcastDamageReport(kMsgDamageReport, victim, UserMatchSettings.NetDetailLevel == 0 && onPlayerTeam);
        if ((FlightFlags & kFlightShutDown) && !onPlayerTeam) victim.Disable();
    }
    if (FlightFlags & kFlightNanofrag) AddNanofragBurst(victim, time);
}

void ServerProjectile::Blast(ServerObject* victim, const Vector3& point, uint64_t time) {
    const Real blast = DamageMultiplier * Record->blastDamage;
    const int32_t report = (FlightFlags & kFlightNanofrag) ? kMsgNanofragDamage : kMsgDamageReport;
    ActorSnapshot snapshot(ActorSnapshot::Hold::References);
    snapshot.ForEach([&](ServerObject* actor) {
        // Shots in flight are never struck, by blasts either.
        if (actor->IsProjectile() || !actor->IsAlive()) return;
        if (DistanceSquared(actor->Position, point) >= Record->blastRangeSquared) return;
        if (actor != victim && CanHurt(actor->Team)) {
            const bool onPlayerTeam = TeamTable::IsPlayerTeam(actor->Team);
            actor->TakeDamage(TvDamageFor(*actor, blast, kBlastDamageKind), true, Team);
            TvBroadcastDamageReport(report, *actor, onPlayerTeam);
            if ((FlightFlags & kFlightShutDown) && !onPlayerTeam) actor->Disable();
        }
        if (FlightFlags & kFlightNanofrag) AddNanofragBurst(*actor, time);
    });
}

void ServerProjectile::AnswerFire(ServerObject* victim, Real seconds) {
    ServerObject* shooter = TvFindActor(ShooterId);
    if (!shooter || !shooter->IsAlive()) return;
    if (!victim)
        ++shooter->WithheldShots;
    else if (victim == Target)
        shooter->WithheldShots = 0;
    else if (victim->Team == Team || victim->Team == 0)
        ++shooter->WithheldShots;

    if (!victim || !victim->IsBot() || !TeamTable::IsPlayerTeam(victim->Team) || victim->Team == shooter->Team) return;
    ServerUnit& unit = *static_cast<ServerUnit*>(victim);
    if (unit.IsFiring() || unit.IsMoving() || !unit.Waypoints.IsEmpty() || unit.IsPathPending() ||
        unit.StandingMode == kStandingModePlayer || unit.Collecting || unit.ItemActionActive)
        return;
    const Real range = WeaponRangeOf(unit);
    if (range < 0) return;
    if (DistanceSquared(shooter->Position, unit.Position) <= range)
        unit.AttackTarget(shooter, seconds, 0, 0);
    else if (unit.StandingMode != kStandingModeHoldGround && unit.GetFloorPolygon() && shooter->GetFloorPolygon())
        unit.Replan(shooter, range);
}
