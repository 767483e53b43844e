#include "Tv/sim/sensing.h"

#include <algorithm>

#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/matrix.h"
#include "core/numeric.h"

bool IsMine(const ServerObject& actor) { return actor.AiCore == kAiCoreMine; }

namespace {

constexpr Real kScanRayRise = 0.1f;

// Mines are never sensed as enemies; they are the actors of the mine core.
bool IsSensedEnemy(const ServerObject& actor) { return actor.IsAlive() && !actor.IsActive() && !IsMine(actor); }

// Calls f for every sensed enemy of the teams other than `ownTeam` (and 0 unless `withTeamZero`).
template <class F>
void ForEachEnemy(int32_t ownTeam, bool withTeamZero, F f) {
    for (int32_t team = withTeamZero ? 0 : 1; team < kTeamActorListCount; ++team) {
        if (team == ownTeam) continue;
        for (ServerObject* actor : *TeamActorListOf(team))
            if (IsSensedEnemy(*actor)) f(actor);
    }
}

} // namespace

void SightScan::Start(Real sightAngle, Real seconds) {
    ScanActive = 1;
    ScanProgress = 0;
    ScanAngle = -sightAngle;
    ScanStartTime = seconds;
}

ActorAiData::ActorAiData(ServerUnit* owner, SightScan* scan) : owner_(owner), scan_(scan), candidates_(1) {}

bool ActorAiData::FindNearestVisible(Real maxSquared, ServerObject*& target, Real& best) {
    // Line-of-sight tests cost most: they run nearest first and stop at the
    // first clear one, which is the enemy a walk in list order keeping the
    // nearer would end on (a stable sort keeps the list's order among equals).
    nearest_.clear();
    ForEachEnemy(owner_->Team, false, [&](ServerObject* enemy) {
        const Real d = DistanceSquared(owner_->Position, enemy->GetCentre());
        if (d < maxSquared && d < best) nearest_.push_back({d, enemy});
    });
    std::stable_sort(nearest_.begin(), nearest_.end(), [](const SensedCandidate& a, const SensedCandidate& b) {
        return a.distanceSquared < b.distanceSquared;
    });
    for (const SensedCandidate& c : nearest_) {
        if (TvLevelSegmentHit(owner_->Position, c.actor->GetCentre())) {
            target = c.actor;
            best = c.distanceSquared;
            return true;
        }
    }
    return false;
}

bool ActorAiData::Scan(ServerObject*& target, Real& best) {
    const Real sight = owner_->SightRange * owner_->SightRange;
    const Real range = best <= sight ? best : sight;
    GrowCandidates(static_cast<size_t>(ServerActorHash.Count()));
    count_ = 0;
    ForEachEnemy(owner_->Team, true, [&](ServerObject* enemy) {
        const Real d = DistanceSquared(owner_->Position, enemy->Position);
        if (d < range) AddCandidate(d, enemy);
    });
    if (count_ == 0) {
        crossings_.clear();
        return false;
    }
    const bool stepped = StepScan();
    if (!scan_->ScanActive) crossings_.clear();
    if (!stepped || !ClipScanRay() || !CheckLineOfSight()) return false;
    for (int32_t i = 0; i < count_; ++i)
        if (candidates_[i].distanceSquared < best) {
            target = candidates_[i].actor;
            best = candidates_[i].distanceSquared;
        }
    crossings_.clear();
    return true;
}

bool ActorAiData::StepScan() {
    for (ScanCrossing& crossing : crossings_)
        crossing.seen = 0;
    const Real now = GameClock.GetSeconds();
    const Real dt = now - scan_->ScanStartTime;
    scan_->ScanStartTime = now;
    const Real rate = owner_->Character ? owner_->Character->angularScanRate : 0.0f;
    const Real sightAngle = owner_->SightAngle;
    if (scan_->ScanProgress == 0) {
        scan_->ScanAngle += dt * rate;
        if (scan_->ScanAngle > sightAngle) {
            scan_->ScanAngle = 2 * sightAngle - scan_->ScanAngle;
            if (scan_->ScanAngle <= -sightAngle) {
                scan_->ScanActive = 0;
                return false;
            }
            scan_->ScanProgress = 1;
        }
    } else {
        scan_->ScanAngle -= dt * rate;
        if (scan_->ScanAngle <= -sightAngle) {
            scan_->ScanAngle = -sightAngle;
            scan_->ScanActive = 0;
        }
    }

    const int32_t half = FloorToInt(scan_->ScanAngle * 0.5f);
    const Quaternion turn{0, SineOf(half), 0, CosineOf(half)};
    Vector3 direction;
    QuaternionZAxis(direction, QuaternionMultiply(owner_->Orientation, turn));
    direction.y -= kScanRayRise;
    direction = direction * owner_->SightRange;
    scan_->ScanRayStart = owner_->Position + SightEyeOffset;
    scan_->ScanRayEnd = scan_->ScanRayStart + direction;

    for (int32_t i = 0; i < count_;) {
        const Vector3 v = candidates_[i].actor->Position - owner_->Position;
        if (!(direction.x * v.x + direction.z * v.z > 0)) {
            RemoveCandidate(i); // beside or behind the ray
            continue;
        }
        const int32_t side = direction.x * v.z - direction.z * v.x < 0 ? 1 : 0;
        ScanCrossing* crossing = CrossingOf(candidates_[i].actor->Id);
        if (!crossing) {
            crossings_.push_back({candidates_[i].actor->Id, side, 0});
            crossing = &crossings_.back();
        }
        crossing->seen = 1;
        if (crossing->side == side) {
            RemoveCandidate(i); // still on the side where it was
            continue;
        }
        crossing->side = side;
        ++i;
    }
    std::erase_if(crossings_, [](const ScanCrossing& crossing) { return !crossing.seen; });
    return count_ > 0;
}

bool ActorAiData::ClipScanRay() {
    Vector3 hit;
    if (!TvLevelSegmentHit(scan_->ScanRayStart, scan_->ScanRayEnd, &hit)) scan_->ScanRayEnd = hit;
    const Real length = DistanceSquared(scan_->ScanRayEnd, scan_->ScanRayStart);
    for (int32_t i = 0; i < count_;) {
        if (candidates_[i].distanceSquared >= length)
            RemoveCandidate(i);
        else
            ++i;
    }
    return count_ > 0;
}

bool ActorAiData::CheckLineOfSight() {
    const Vector3 eye = owner_->Position + SightEyeOffset;
    for (int32_t i = 0; i < count_;) {
        if (!TvLevelSegmentHit(eye, candidates_[i].actor->Position + SightEyeOffset))
            RemoveCandidate(i);
        else
            ++i;
    }
    return count_ > 0;
}

void ActorAiData::GrowCandidates(size_t needed) {
    size_t capacity = candidates_.size();
    while (capacity <= needed)
        capacity *= 2;
    candidates_.resize(capacity);
}

void ActorAiData::AddCandidate(Real distanceSquared, ServerObject* actor) {
    GrowCandidates(static_cast<size_t>(count_)); // the team lists may hold more than the hash
    candidates_[count_++] = {distanceSquared, actor};
}

void ActorAiData::RemoveCandidate(int32_t i) { candidates_[i] = candidates_[--count_]; }

ScanCrossing* ActorAiData::CrossingOf(int32_t actorId) {
    for (ScanCrossing& crossing : crossings_)
        if (crossing.actorId == actorId) return &crossing;
    return nullptr;
}

ServerObject* TvFindOtherEnemyInSight(const ServerUnit* actor, ServerObject* excluded) {
    const Real sight = actor->SightRange * actor->SightRange;
    for (int32_t team = 0; team < kTeamActorListCount; ++team) {
        const TeamRecord* record = TeamTable::GetTeam(team);
        if (team == actor->Team || (record && record->Neutral)) continue;
        for (ServerObject* enemy : *TeamActorListOf(team))
            if (enemy != excluded && enemy->IsAlive() && !enemy->IsActive() &&
                DistanceSquared(enemy->Position, actor->Position) < sight)
                return enemy;
    }
    return excluded;
}
