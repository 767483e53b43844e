#include "Tv/sim/combat_ai.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "Tv/client/teamtable.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/sensing.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/waypoint_graph.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/random.h"

namespace {

// What the bot is doing (AiActivity).
constexpr int32_t kEngageSensed = 0;
constexpr int32_t kEngageAttacker = 1;
constexpr int32_t kIdle = 3;
constexpr int32_t kInvestigate = 4;
constexpr int32_t kListenedReact = 5; // a decision only: react to a noise
constexpr int32_t kSearch = 6;
constexpr int32_t kChasing = 7; // the minebot's; counts as moving
constexpr int32_t kWander = 8;

// AlarmState.
constexpr int32_t kAlarmNone = 0;
constexpr int32_t kAlarmRaised = 1;
constexpr int32_t kAlarmAlerting = 2;
constexpr int32_t kAlarmDone = 3;
constexpr int32_t kAlarmPending = 4;

constexpr int32_t kMsgAlarmPending = 96;
constexpr int32_t kMsgAlarmAlerting = 97;
constexpr int32_t kMsgAlarmRaised = 99;


constexpr Real kConeThinkSeconds = 0.2f;
constexpr Real kThinkSeconds = 1.0f;
constexpr Real kSearchSeconds = 17.0f;
constexpr Real kCloseSquared = 9.0f;          // 3 m
constexpr Real kReplanSquared = 36.0f;        // 6 m
constexpr Real kCrowdedTargetSquared = 36.0f; // 6 m around the fire target
constexpr Real kNearNoiseSquared = 49.0f;     // 7 m
constexpr Real kBackOffMetres = 5.0f;
constexpr Real kOutflankMetres = 3.0f;
constexpr Real kWanderMetres = 20.0f;
constexpr Real kNoiseApproach = 0.7f;  // a noise point is taken 30 % of the way back toward the bot
constexpr Real kFacingCosine = 0.866f; // 30 degrees
constexpr Real kNoiseTurnCosine = 0.5f;
constexpr Real kRetargetSeconds = 6.0f;

// The unit vector from a to b (zero when they meet).
Vector3 Direction(const Vector3& a, const Vector3& b) {
    const Vector3 d = b - a;
    const Real length = std::sqrt(Dot(d, d));
    return length > 0 ? d * (1.0f / length) : Vector3(0, 0, 0);
}

// The cosine of the horizontal angle between two directions; 1 when either has
// no horizontal part.
Real HorizontalCosine(const Vector3& a, const Vector3& b) {
    const Real lengths = std::sqrt((a.x * a.x + a.z * a.z) * (b.x * b.x + b.z * b.z));
    return lengths > 0 ? (a.x * b.x + a.z * b.z) / lengths : 1.0f;
}

// The body's forward axis (the rotated +z).
Vector3 Forward(const Quaternion& q) {
    return {2 * (q.x * q.z + q.w * q.y), 2 * (q.y * q.z - q.w * q.x), 1 - 2 * (q.x * q.x + q.y * q.y)};
}

bool IsNeutral(int32_t team) {
    const TeamRecord* record = TeamTable::GetTeam(team);
    return record && record->Neutral;
}


void BroadcastAlarm(int32_t type, const ServerObject& bot) { TvBroadcast(ActorMessage(type, bot.Id), false); }

// The alarm raised: not sent in busy multiplayer games, culled at the bot when
// detail is reduced.
void BroadcastAlarmRaised(const ServerObject& bot) {
    const int32_t detail = UserMatchSettings.NetDetailLevel;
    const bool story = CurrentGameType == 0;
    if (!story && detail > 6) return;
    TvBroadcast(ActorMessage(kMsgAlarmRaised, bot.Id), false, story || detail < 3 ? kNoPosition : bot.Position);
}

// One think of one bot: the values the stages share.
class CombatThink {
public:
    CombatThink(ServerBot& bot, uint64_t time) : bot_(bot), time_(time) {
        now_ = static_cast<Real>(time) * CurrentSecondsPerTick();
        sight_ = bot.SightRange * bot.SightRange;
    }

    void Run();

private:
    bool Firing() const { return bot_.IsFiring(); }
    bool WalksWaypoints() const { return !bot_.Waypoints.IsEmpty(); }
    // Where the bot is bound: its first waypoint, its destination while moving,
    // else where it stands.
    Vector3 StandPoint() {
        if (WalksWaypoints()) return bot_.Waypoints.Front()->Position;
        return bot_.Moving ? bot_.Destination : bot_.Position;
    }
    Real AttackRange() const;

    void CycleWeapon();
    bool TargetCrowded(const ServerObject& target) const;
    void FindTargets();
    int32_t Listen();
    void Decide(int32_t decision);

    void Engage(ServerObject& target, int32_t activity);
    void EngageSensed(ServerObject& target);
    void EngageAttacker(ServerObject& attacker);
    void ReactToWithheldShots(ServerObject& target);
    void Idle();
    void Wander();
    void Patrol();
    void Investigate();
    void ReactToNoise();
    void Search();
    void KeepWalking();
    void AttackWithFlare(const Vector3& point);
    void RunAlarm();
    void AlertTeamMates();

    ServerBot& bot_;
    uint64_t time_;
    Real now_;
    Real sight_;
    bool moving_ = false;
    ServerObject* target_ = nullptr;
    ServerObject* attacker_ = nullptr;
    Real best_ = FLT_MAX;
    // The pass's noise point and whether the bot has none.
    Vector3 point_{0, 0, 0};
    bool unset_ = true;
};

Real CombatThink::AttackRange() const {
    const WeaponInstance* weapon = bot_.GetWeapon();
    const ObjectDefinition* shot = weapon ? weapon->Projectile : nullptr;
    const Real maxRange = shot && shot->projectile ? shot->projectile->maxRange : 0;
    return (0.6f + 0.2f * bot_.AiAggression) * std::min(1.3f * sight_, maxRange);
}

void CombatThink::Run() {
    if (time_ < bot_.AiWakeTime) return;
    const CharacterRecord* character = bot_.Character;
    bot_.AiWakeTime = TicksAfter(time_, character && character->drawVisionCone ? kConeThinkSeconds : kThinkSeconds);
    if (now_ < bot_.StunEnd) return;
    if (bot_.StunEnd != 0) bot_.EndStun();
    if (CurrentGameType != 0 && CurrentGameType != 1 && bot_.Team == kComputerTeam) return;
    if (bot_.ConvertEnd != 0 && now_ > bot_.ConvertEnd) {
        bot_.EndConversion();
        return;
    }
    bot_.AiFlagCopy = (bot_.AiFlags & kAiFlagShotAt) != 0;
    moving_ = bot_.IsMoving() || bot_.AiActivity == kChasing;
    if (bot_.ShotInterval == 0 && bot_.GetWeapon())
        bot_.ShotInterval = static_cast<uint64_t>(std::max(0.0f, bot_.GetWeapon()->RoundTicks));
    CycleWeapon();
    FindTargets();
    bot_.AiFlags &= ~kAiFlagShotAt;
    if (attacker_)
        Decide(kEngageAttacker);
    else if (target_)
        Decide(kEngageSensed);
    else
        Decide(Listen());
    RunAlarm();
}

// Two weapons in turn: the swap is the character's, so every actor of it
// follows.
void CombatThink::CycleWeapon() {
    CharacterRecord* character = bot_.Definition ? bot_.Definition->character.get() : nullptr;
    if (!character || character->secondaryWeapon == kWeaponTypeNone) return;
    if (bot_.NextWeaponCycle == 0) bot_.NextWeaponCycle = TicksAfter(time_, bot_.WeaponCycleTime);
    if (time_ <= bot_.NextWeaponCycle) return;
    if (character->weaponCycleTime > character->weaponCycleTime2) {
        const ServerObject* target = bot_.GetFireTarget();
        if (!target || !TargetCrowded(*target)) return;
    }
    std::swap(character->weapon, character->secondaryWeapon);
    std::swap(character->weaponCycleTime, character->weaponCycleTime2);
    bot_.WeaponCycleTime = character->weaponCycleTime;
    bot_.NextWeaponCycle = TicksAfter(time_, bot_.WeaponCycleTime);
    bot_.SetWeapon(character->weapon);
}

// Another actor of a non-neutral team other than the bot's stands within 6 m of
// the target.
bool CombatThink::TargetCrowded(const ServerObject& target) const {
    for (int32_t team = 0; team < kTeamActorListCount; ++team) {
        if (team == bot_.Team || IsNeutral(team)) continue;
        for (const ServerObject* actor : *TeamActorListOf(team))
            if (actor != &target && DistanceSquared(actor->Position, target.Position) < kCrowdedTargetSquared)
                return true;
    }
    return false;
}

void CombatThink::FindTargets() {
    target_ = bot_.GetFireTarget();
    if (target_) best_ = DistanceSquared(bot_.Position, target_->Position);
    Real bound = 4 * sight_;
    for (int32_t team = 0; team < kTeamActorListCount; ++team) {
        if (team == bot_.Team || IsNeutral(team)) continue;
        for (ServerObject* actor : *TeamActorListOf(team)) {
            if (!actor->IsAlive() || actor->IsActive() || IsMine(*actor) || actor->GetFireTarget() != &bot_) continue;
            const Real d = DistanceSquared(bot_.Position, actor->Position);
            if (d < bound) {
                attacker_ = actor;
                bound = d;
            }
        }
    }
    if (IsNeutral(bot_.Team) || !bot_.AiData) return;
    const Real reach = bot_.AlarmState == kAlarmRaised ? 4 * sight_ : 1.0f;
    if (!bot_.AiData->FindNearestVisible(reach, target_, best_) && bot_.Scan.ScanActive)
        bot_.AiData->Scan(target_, best_);
}

// Takes the nearest audible noise as the pass's point; answers the decision.
int32_t CombatThink::Listen() {
    const CharacterRecord* character = bot_.Character;
    Real hear = character ? character->hearingRangeSquared : 0;
    if (bot_.AlarmState != kAlarmNone) hear = std::max(hear, sight_);
    int32_t pending = kIdle;
    point_ = bot_.InvestigatePoint;
    unset_ = bot_.NoInvestigatePoint != 0;
    const Vector3 position = bot_.Position;
    auto approach = [&](const Vector3& p) { return position + kNoiseApproach * (p - position); };
    for (const NoiseEvent* event : NoiseEventList) {
        if (event->loudness == 0) continue;
        const Real value = DistanceSquared(position, event->position) - event->extentSquared;
        if (value > hear) continue;
        hear = value;
        if (bot_.AiActivity == kInvestigate && !unset_) {
            // A nearer noise from another direction, as seen from the bot, turns the
            // investigation.
            if (HorizontalCosine(event->secondPosition - position, point_ - position) < kNoiseTurnCosine)
                point_ = approach(event->secondPosition);
            continue;
        }
        point_ = approach(event->position);
        unset_ = false;
        if ((value < kNearNoiseSquared && (TvRandomDraw() & 1)) || Firing()) {
            point_ = approach(event->secondPosition);
            bot_.AiActivity = kInvestigate;
        } else {
            pending = kListenedReact;
        }
    }
    switch (bot_.AiActivity) {
    case kEngageSensed:
    case kSearch: return pending == kListenedReact ? kListenedReact : kSearch;
    case kEngageAttacker: attacker_ = bot_.GetFireTarget(); return attacker_ ? kEngageAttacker : kSearch;
    case kInvestigate: return kInvestigate;
    case kWander: return pending == kIdle ? kWander : kListenedReact;
    default: return pending;
    }
}

void CombatThink::Decide(int32_t decision) {
    switch (decision) {
    case kEngageSensed: EngageSensed(*target_); break;
    case kEngageAttacker: EngageAttacker(*attacker_); break;
    case kIdle: Idle(); break;
    case kInvestigate: Investigate(); break;
    case kListenedReact: ReactToNoise(); break;
    case kSearch: Search(); break;
    case kWander: KeepWalking(); break;
    }
}

// The settings both kinds of engagement share.
void CombatThink::Engage(ServerObject& target, int32_t activity) {
    if (bot_.AiActivity != kEngageSensed && bot_.AiActivity != kEngageAttacker) {
        bot_.StopMoving(now_);
        bot_.SetPathState(PS_NONE);
        bot_.WithheldShots = 0;
    }
    bot_.HoldFire = 0;
    bot_.AiActivity = activity;
    bot_.NoInvestigatePoint = 0;
    bot_.InvestigatePoint = target.Position;
    bot_.AiFlags &= ~kAiFlagFlareShot;
}

void CombatThink::EngageSensed(ServerObject& target) {
    Engage(target, kEngageSensed);
    if (bot_.PathState != PS_NONE) return;
    const Real attackRange = AttackRange();
    if (best_ > attackRange) {
        if (DistanceSquared(StandPoint(), target.Position) <= attackRange && (moving_ || WalksWaypoints())) return;
        if (Firing()) bot_.StopAttacking(now_);
        bot_.WithheldShots = 0;
        bot_.Replan(&target, kReplanSquared);
    } else if (best_ < kCloseSquared && !Firing()) {
        bot_.HeadForPoint(target.Position - kBackOffMetres * Direction(bot_.Position, target.Position), now_);
    } else if (bot_.WithheldShots > 0) {
        ReactToWithheldShots(target);
    } else if (Firing() && bot_.GetFireTarget()) {
        // Already shooting.
    } else if (!moving_ && !WalksWaypoints()) {
        bot_.AttackTarget(&target, now_, 0, 0);
    } else if (TvLevelSegmentHit(bot_.Position, target.GetCentre())) {
        const bool walksAway = Dot(StandPoint() - bot_.Position, target.Position - bot_.Position) < 0;
        if (walksAway || now_ - bot_.AttackCommandTime >= kRetargetSeconds) bot_.AttackTarget(&target, now_, 0, 0);
    }
}

void CombatThink::EngageAttacker(ServerObject& attacker) {
    Engage(attacker, kEngageAttacker);
    if (bot_.IsPathPending()) return;
    if (bot_.WithheldShots > 0)
        ReactToWithheldShots(attacker);
    else if (bot_.GetFireTarget() != &attacker)
        bot_.AttackTarget(&attacker, now_, 0, 0);
}

// The line of fire was blocked: lob over, switch to another enemy in sight, or
// walk round the target.
void CombatThink::ReactToWithheldShots(ServerObject& target) {
    bot_.WithheldShots = 0;
    switch (TvRandomDraw() % 4) {
    case 0:
        if (bot_.CanLobAt(target.GetCentre())) {
            bot_.AttackTarget(&target, now_, 0, 1);
            return;
        }
        [[fallthrough]];
    case 1:
        if (ServerObject* other = TvFindOtherEnemyInSight(&bot_, &target); other != &target) {
            bot_.AttackTarget(other, now_, 0, 0);
            return;
        }
        [[fallthrough]];
    default:
        bot_.HeadForPoint(target.Position + kOutflankMetres * Direction(bot_.Position, target.Position), now_);
        if (Firing()) bot_.StopAttacking(now_);
    }
}

void CombatThink::Idle() {
    if (bot_.AiFlags & kAiFlagHunter) return;
    if (WalksWaypoints())
        bot_.AiActivity = kWander;
    else if (bot_.StoredWaypoints.IsEmpty())
        Wander();
    else
        Patrol();
}

// Now and then a walk to a reachable point 20 m away in a random direction.
void CombatThink::Wander() {
    if (TvRandomDraw() % 50 == 0) return;
    if (TvRandomDraw() % 5 != 0 || moving_ || bot_.IsPathPending() || WalksWaypoints()) return;
    CollisionPolygon* floor = bot_.FloorPolygon;
    if (!floor || !LevelWorldInstance) return;
    // The draw is never negative; the mask keeps any angle a table index.
    const int32_t angle = static_cast<int32_t>(TvRandomDraw() % 4096) & AngleMask;
    const Vector3 point = bot_.Position + kWanderMetres * Vector3(CosineOf(angle), 0, SineOf(angle));
    CollisionPolygon* goal = LevelWorldInstance->FindFloor(point);
    if (!goal || !TvPolygonWalkReaches(floor, goal, bot_.Mover ? bot_.Mover->pathMask : 0)) return;
    const Vector3 stand = bot_.Moving ? bot_.Destination : bot_.Position;
    bot_.PushWaypointFront(point, 0, 0);
    bot_.PushWaypointFront(stand, 0, 0);
    bot_.AiActivity = kWander;
}

// Walks to the nearest stored waypoint after waiting there its wait; a lone
// return point is used once.
void CombatThink::Patrol() {
    Waypoint* nearest = nullptr;
    Real nearestSquared = FLT_MAX;
    for (Waypoint* waypoint : bot_.StoredWaypoints) {
        const Real d = DistanceSquared(bot_.Position, waypoint->Position);
        if (d < nearestSquared) {
            nearest = waypoint;
            nearestSquared = d;
        }
    }
    const Real clock = GameClock.GetSeconds();
    if (!bot_.PatrolWaiting) {
        bot_.PatrolWaiting = 1;
        bot_.PatrolWaitEnd = static_cast<Real>(nearest->Word) + clock;
    }
    if (clock >= bot_.PatrolWaitEnd) bot_.PatrolWaiting = 0;
    bot_.HeadForPoint(bot_.PatrolWaiting ? bot_.Position : nearest->Position, now_);
    if (bot_.StoredWaypoints.Count() == 1) bot_.ClearStoredWaypoints();
    bot_.AiActivity = kWander;
}

void CombatThink::Investigate() {
    if (unset_) {
        bot_.AiActivity = kIdle;
    } else if (DistanceSquared(bot_.InvestigatePoint, point_) > kCloseSquared) {
        bot_.InvestigatePoint = point_;
        moving_ = false;
        if (bot_.AiFlags & kAiFlagFlareFirer) AttackWithFlare(point_);
    }
    Search();
}

void CombatThink::AttackWithFlare(const Vector3& point) {
    bot_.AiFlags |= kAiFlagFlareShot;
    bot_.AttackPoint(point, now_, 0, 0);
}

void CombatThink::ReactToNoise() {
    if (unset_) {
        bot_.AiActivity = kIdle;
        return;
    }
    if (bot_.IsPathPending()) {
        if (!Firing()) {
            bot_.AttackPoint(point_, now_, 1, 0);
            bot_.InvestigatePoint = point_;
        }
        return;
    }
    bot_.NoInvestigatePoint = 0;
    bot_.InvestigatePoint = point_;
    if (DistanceSquared(point_, StandPoint()) <= kCloseSquared &&
        HorizontalCosine(Forward(bot_.Orientation), point_ - bot_.Position) >= kFacingCosine) {
        bot_.AttackPoint(point_, now_, 1, 0);
        return;
    }
    bot_.StopMoving(now_);
    if (bot_.AiFlags & kAiFlagFlareFirer) AttackWithFlare(point_);
    bot_.HeadForPoint(point_, now_);
}

void CombatThink::Search() {
    bot_.AiActivity = kSearch;
    if (bot_.AlarmState != kAlarmRaised) {
        bot_.AlarmState = kAlarmRaised;
        bot_.AiTimer = TicksAfter(time_, kSearchSeconds);
        BroadcastAlarmRaised(bot_);
    }
    if (Firing() || moving_ || bot_.IsPathPending() || WalksWaypoints()) return;
    if (bot_.PathState == PS_DONE || bot_.NoInvestigatePoint) {
        bot_.NoInvestigatePoint = 0;
        bot_.InvestigatePoint = bot_.Position;
    } else if (time_ > bot_.AiTimer) {
        bot_.AiActivity = kIdle;
        if (bot_.AlarmState != kAlarmNone) {
            bot_.AlarmState = kAlarmNone;
            BroadcastAlarm(kMsgAiAlarmClear, bot_);
        }
    } else if (DistanceSquared(bot_.Position, bot_.InvestigatePoint) <= kCloseSquared) {
        const Real cosine = HorizontalCosine(Forward(bot_.Orientation), bot_.InvestigatePoint - bot_.Position);
        const Real angle = std::acos(std::clamp(cosine, -1.0f, 1.0f)) * AngleUnitsPerRadian;
        if (angle > bot_.SightAngle) bot_.AttackPoint(bot_.InvestigatePoint, now_, 1, 0);
    } else {
        bot_.HeadForPoint(bot_.InvestigatePoint, now_);
    }
}

void CombatThink::KeepWalking() {
    if (!bot_.IsPathPending() && !WalksWaypoints()) bot_.AiActivity = kIdle;
}

void CombatThink::RunAlarm() {
    const int32_t activity = bot_.AiActivity;
    if (activity != kEngageSensed && activity != kEngageAttacker) {
        if (activity != kSearch) bot_.AlarmTime = 0;
        return;
    }
    if (bot_.AlarmTime == 0 && bot_.AlarmState == kAlarmNone) {
        bot_.AlarmTime = TicksAfter(time_, bot_.AlarmDelay);
        bot_.AlarmState = kAlarmPending;
        BroadcastAlarm(kMsgAlarmPending, bot_);
    }
    switch (bot_.AlarmState) {
    case kAlarmRaised:
        if (Firing()) {
            bot_.AiTimer = TicksAfter(time_, kSearchSeconds);
            BroadcastAlarmRaised(bot_);
        }
        break;
    case kAlarmPending:
        if (time_ >= bot_.AlarmTime) {
            bot_.AlarmState = kAlarmAlerting;
            bot_.AiTimer = TicksAfter(time_, 1.0f);
            BroadcastAlarm(kMsgAlarmAlerting, bot_);
            if (bot_.StoredWaypoints.IsEmpty()) bot_.AddStoredWaypoint(bot_.Position, 0, 0);
        }
        break;
    case kAlarmAlerting:
        AlertTeamMates();
        if (time_ > bot_.AiTimer) {
            bot_.AlarmState = kAlarmDone;
            bot_.AlarmTime = 0;
        }
        break;
    }
}

// Wakes the idle bots of the team within a circle that shrinks to nothing over
// the alerting second.
void CombatThink::AlertTeamMates() {
    const List<ServerObject*>* mates = TeamActorListOf(bot_.Team);
    if (!mates) return;
    const Real secondsLeft = static_cast<Real>(static_cast<int64_t>(bot_.AiTimer - time_)) * CurrentSecondsPerTick();
    const Real radius = bot_.AlertRadius * bot_.AlertRadius * secondsLeft;
    for (ServerObject* mate : *mates) {
        if (mate == &bot_ || DistanceSquared(mate->Position, bot_.Position) > radius) continue;
        if (!mate->IsAlive() || mate->AiCore != kAiCoreBot || mate->AiActivity == kEngageSensed ||
            mate->AiActivity == kEngageAttacker || mate->AlarmState != kAlarmNone)
            continue;
        mate->AiActivity = kEngageSensed;
        mate->InvestigatePoint = bot_.InvestigatePoint;
        mate->NoInvestigatePoint = bot_.NoInvestigatePoint;
        mate->AiFlags &= ~kAiFlagFlareShot;
    }
}

} // namespace

void TvCombatAi(ServerObject* actor, uint64_t time) {
    if (!actor->IsBot()) return;
    CombatThink(*static_cast<ServerBot*>(actor), time).Run();
}
