#pragma once
// How computer-driven actors notice enemies: the nearest enemy a clear line
// joins, and a sight ray that sweeps across the field of view and reports an
// enemy only when it passes over it. Squared distances throughout.
//
// An enemy is an actor of another team's list that is alive, not concealed
// (IsActive) and not a mine. Server thread, or under the server lock.

#include <cstdint>
#include <vector>

#include "core/maths.h"
#include "core/mem.h"

class ServerObject;
class ServerUnit;

// The eye: one metre above a position (y grows downward).
constexpr Vector3 SightEyeOffset{0, -1, 0};

// The sweep of a sensing actor's sight ray (the bot keeps it). The angle is
// in angle units relative to the body; times are GameClock seconds.
struct SightScan {
    uint8_t ScanActive = 0;
    Real ScanAngle = 0;
    Real ScanStartTime = 0; // the time of the last step
    Vector3 ScanRayStart{0, 0, 0};
    Vector3 ScanRayEnd{0, 0, 0};
    int32_t ScanProgress = 0; // 0 while the angle rises toward +SightAngle, 1 while it falls back

    // One sweep from -sightAngle up to +sightAngle and back, from `seconds`.
    void Start(Real sightAngle, Real seconds);
};

// Mines are never sensed, nor taken for an attacker.
bool IsMine(const ServerObject& actor);

struct SensedCandidate {
    Real distanceSquared; // from the owner's position
    ServerObject* actor;  // no reference held
};

// Which side of the ray an actor was on at the previous step.
struct ScanCrossing {
    int32_t actorId;
    int32_t side; // 1 left of the ray, 0 right or on it
    uint8_t seen; // touched by the current step
};

class ActorAiData : public MemObject {
public:
    // The owner senses with its SightRange, SightAngle and the character's
    // angularScanRate; `scan` is the owner's sweep (both outlive this).
    ActorAiData(ServerUnit* owner, SightScan* scan);

    // The nearest enemy of teams other than the owner's and 0 whose centre is
    // nearer than `maxSquared` and `best` and seen from the owner's position;
    // true when one replaced `target`.
    bool FindNearestVisible(Real maxSquared, ServerObject*& target, Real& best);
    // One step of the sweep over the enemies of every other team (0
    // included) within sight range and nearer than `best`: true, with the
    // nearest in `target` and `best`, when the ray swept across one since the
    // last step with nothing between. A newly met enemy is never reported on
    // its first step: that step only notes its side.
    bool Scan(ServerObject*& target, Real& best);

    // The stages of Scan, each true while candidates remain: the ray's turn
    // and the side test, the level's cut of the ray, the eye-to-eye lines.
    bool StepScan();
    bool ClipScanRay();
    bool CheckLineOfSight();

    int32_t CandidateCount() const { return count_; }
    const SensedCandidate& Candidate(int32_t i) const { return candidates_[i]; }

private:
    // Doubles the capacity until it is above `needed`.
    void GrowCandidates(size_t needed);
    void AddCandidate(Real distanceSquared, ServerObject* actor);
    // The last candidate takes the place of candidate i.
    void RemoveCandidate(int32_t i);
    ScanCrossing* CrossingOf(int32_t actorId);

    ServerUnit* owner_;
    SightScan* scan_;
    int32_t count_ = 0;
    std::vector<SensedCandidate> candidates_; // its size is the capacity: grown by doubling, never shrunk
    std::vector<ScanCrossing> crossings_;
    std::vector<SensedCandidate> nearest_; // FindNearestVisible's, kept for its capacity
};

// The first enemy (mines included) of a team other than the actor's own and
// not neutral, within the actor's sight range, other than `excluded`; else `excluded`.
ServerObject* TvFindOtherEnemyInSight(const ServerUnit* actor, ServerObject* excluded);
