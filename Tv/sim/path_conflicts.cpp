// The per-pass conflict resolution between walking units: each unit's next
// step (a segment from its floor polygon to the next one) is compared with
// every other; of two units that want each other's polygons one plans around
// and the other waits, and a unit that waits too long plans harder, then
// gives up. Units whose side is in a fight go on regardless.
#include <vector>

#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/world_tick.h"
#include "Tv/world/collision_polygon.h"

namespace {

constexpr Real kEngagementRangeSquared = 625000000.0f;
constexpr Real kWaitSeconds = 1.0f;

// Whether the unit's side is in a fight: for a unit of a player team, some
// live actor fires at a target across the unit's side (itself, or any pair
// within range of the unit).
bool TeamEngaged(const ServerUnit& unit) {
    const TeamRecord* team = TeamTable::GetTeam(unit.Team);
    if (!team || !team->IsPlayerTeam()) return false;
    bool engaged = false;
    ForEachActor([&](ServerObject* actor) {
        if (engaged || !actor->IsAlive() || !actor->IsFiring()) return;
        const ServerObject* target = actor->GetFireTarget();
        if (!target) return;
        if ((actor->Team == unit.Team) == (target->Team == unit.Team)) return;
        engaged = actor == &unit || target == &unit ||
                  DistanceSquared(actor->Position, unit.Position) < kEngagementRangeSquared;
    });
    return engaged;
}

void SetYieldTo(ServerUnit& unit, ServerUnit* other) {
    other->AddRef();
    if (unit.YieldTo) unit.YieldTo->Release();
    unit.YieldTo = other;
}

// Decides for S against every other segment (step 3 of the pass).
void Decide(std::vector<PathSegment>& segments, PathSegment& s) {
    std::vector<PathSegment*> inTheWay, headOn, converging;
    for (PathSegment& t : segments) {
        if (&t == &s) continue;
        if (t.From == s.To) {
            (t.To == s.From ? headOn : inTheWay).push_back(&t);
        } else if (t.To == s.To || (s.To->SharesTwoVertices(*t.From) && s.To->SharesTwoVertices(*t.To) &&
                                    s.From->SharesTwoVertices(*t.From) && s.From->SharesTwoVertices(*t.To))) {
            converging.push_back(&t);
        }
    }
    if (!inTheWay.empty()) {
        // Waits behind a unit in the way, unless that one is slower: then it plans around it.
        s.Decision = PathSegment::kWait;
        for (PathSegment* t : inTheWay) {
            if (t->Unit->Speed < s.Unit->Speed) {
                s.Decision = PathSegment::kReplan;
                SetYieldTo(*s.Unit, t->Unit);
                break;
            }
        }
    } else if (!headOn.empty()) {
        s.Decision = PathSegment::kReplan;
        for (PathSegment* t : headOn) t->Decision = PathSegment::kWait;
    } else if (s.To->flags & kPolygonUnitOn) {
        s.Decision = PathSegment::kBlocked;
    } else if (!converging.empty()) {
        // The unit nearer its next point goes first.
        PathSegment* best = &s;
        Real bestDistance = DistanceSquared(s.Position, s.NextPoint);
        for (PathSegment* t : converging) {
            const Real d = DistanceSquared(t->Position, t->NextPoint);
            if (d >= bestDistance) {
                t->Decision = PathSegment::kWait;
            } else {
                best->Decision = PathSegment::kWait;
                best = t;
                bestDistance = d;
            }
        }
    }
}

// Carries out the segment's decision for its unit (step 4 of the pass).
void Apply(const PathSegment& s, Real t) {
    ServerUnit& u = *s.Unit;
    if (u.TeamEngaged) {
        u.YieldUntil = 0;
        return;
    }
    if (u.IsPathPending()) return;
    switch (s.Decision) {
    case PathSegment::kWait:
    case PathSegment::kReplan:
        u.Yielding = 1;
        if (u.YieldUntil == 0) u.YieldUntil = t + kWaitSeconds;
        if (s.Decision == PathSegment::kReplan) u.SetPathState(PS_RECALCULATE_PART);
        break;
    case PathSegment::kBlocked:
        // A unit stands on the next polygon: ask for a whole new path and stand meanwhile.
        if (u.YieldUntil == 0) u.YieldUntil = t + kWaitSeconds;
        u.Yielding = 1;
        u.HeadForPoint(u.FinalTarget(), t);
        u.WalkTo(u.Position, false);
        break;
    default: u.YieldUntil = 0; break;
    }
    if (u.YieldUntil != 0 && t > u.YieldUntil) {
        if (t <= u.YieldUntil + kWaitSeconds) {
            u.Yielding = 1;
            u.SetPathState(PS_RECALCULATE_PART_OR_GIVE_UP);
        } else {
            u.ClearWaypoints();
            u.WalkTo(u.Position, false);
        }
    }
    const Vector3& p = u.Position;
    const Vector3& d = u.Destination;
    if (u.Yielding && (p.x != d.x || p.y != d.y || p.z != d.z)) u.WalkTo(u.Position, false);
}

} // namespace

void TvResolvePathConflicts(uint64_t, Real seconds) {
    std::vector<PathSegment> segments;
    ForEachActor([&](ServerObject* actor) {
        if (!actor->IsUnit() || !actor->IsAlive()) return;
        auto& unit = static_cast<ServerUnit&>(*actor);
        unit.TeamEngaged = TeamEngaged(unit);
        PathSegment segment;
        if (unit.GetPathSegment(segment) && segment.From && segment.To) segments.push_back(segment);
        if (unit.PathState == PS_NONE || unit.TeamEngaged) unit.Yielding = 0;
    });

    // A minebot or swarm chasing a unit onto its polygon is not held up.
    for (const PathSegment& s : segments) {
        ServerUnit& chaser = *s.Unit;
        if (chaser.AiCore != kAiCoreMinebot && chaser.AiCore != kAiCoreSwarm) continue;
        const ServerObject* target = chaser.AiTarget;
        if (target && target->IsUnit() && target->GetFloorPolygon() == s.To) {
            chaser.TeamEngaged = 1;
            chaser.Yielding = 0;
        }
    }

    for (PathSegment& s : segments) {
        if (s.Decision != PathSegment::kNone) continue;
        s.Decision = PathSegment::kExamined;
        if (s.From != s.To && !s.Unit->TeamEngaged) Decide(segments, s);
    }

    for (const PathSegment& s : segments) Apply(s, seconds);
}
