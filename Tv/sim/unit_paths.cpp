// The unit's path states and the planning steps that turn a goal polygon into
// waypoints: the greedy walk first, the full search when it fails, the repair
// of the front of a path around other units, and paths toward a target.
#include <vector>

#include "Tv/defs/definitionrecords.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/path_search.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/level_world.h"

namespace {

constexpr Real kNearPolygon = 1.5f; // weighted squared distance from the unit

// Allowances of the partial re-plan: the repair must have fewer nodes than the
// waypoints it skips plus this.
constexpr int32_t kRepairAllowance = 8;
constexpr int32_t kRepairAllowanceBeforeGivingUp = 20;
constexpr int32_t kMarkedWaypointsOfOther = 4;

using PolygonPath = List<CollisionPolygon*>;

bool Near(const ServerUnit& unit, const CollisionPolygon* polygon) {
    return TvWeightedDistanceSquared(unit.Position, polygon->GetReferencePoint()) < kNearPolygon;
}

uint32_t PathMask(const ServerUnit& unit) { return unit.Mover ? unit.Mover->pathMask : 0; }

void AddPolygonWaypoint(ServerUnit& unit, const CollisionPolygon* polygon) {
    unit.AddWaypoint(polygon->GetReferencePoint(), 0, false, 0);
}

// The searches give the path from its goal end back: waypoints go start end first.
void AddWaypointsFromStartEnd(ServerUnit& unit, PolygonPath& path) {
    while (!path.IsEmpty()) {
        AddPolygonWaypoint(unit, path.Back());
        path.PopBack();
    }
}

CollisionPolygon* FloorUnder(const Vector3& p) {
    if (!LevelWorldInstance) return nullptr;
    RwLockHold hold(LevelWorldLock(), false);
    return LevelWorldInstance->FindFloor(p);
}

// Sets or clears the re-plan mark on the polygons.
void MarkPolygons(const std::vector<CollisionPolygon*>& polygons, bool on) {
    RwLockHold hold(LevelWorldLock(), false);
    for (CollisionPolygon* polygon : polygons) {
        if (on)
            polygon->flags |= kPolygonReplanBlocked;
        else
            polygon->flags &= ~kPolygonReplanBlocked;
    }
}

} // namespace

void ServerUnit::SetPathState(::PathState state) {
    PathState = state;
    if (state != PS_RECALCULATE_PART && YieldTo) {
        YieldTo->Release();
        YieldTo = nullptr;
    }
    if (state == PS_NONE || state == PS_DONE)
        PathRequestList.RemoveValue(this);
    else if (!PathRequestList.Contains(this))
        PathRequestList.PushBack(this);
}

void ServerUnit::PlanClearPath() {
    SetPathState(PS_CLEARPATH_FAILED);
    CollisionPolygon* floor = GetFloorPolygon();
    if (!floor) return;
    PolygonPath path;
    TvFindGreedyPath(floor, GoalPolygon, path, PathMask(*this));
    if (path.IsEmpty() || path.Back() != GoalPolygon) return; // the full search runs in a later pass

    StopMoving(LastSeconds);
    ClearWaypoints();
    SetPathState(PS_DONE);
    if (Near(*this, path.Front())) {
        path.PopFront();
        if (path.IsEmpty()) SetPathState(PS_CLEARPATH_FAILED);
    }
    for (const CollisionPolygon* polygon : path) AddPolygonWaypoint(*this, polygon);
    Moving = 0;
    WaypointCursor = Waypoints.Sentinel()->Next;
}

void ServerUnit::PlanFullPath() {
    SetPathState(PS_DONE);
    CollisionPolygon* floor = GetFloorPolygon();
    if (!floor) return;
    ClearWaypoints();
    PolygonPath path;
    TvFindWaypointPath(floor, GoalPolygon, path, PathMask(*this));
    if (path.IsEmpty()) {
        WalkTo(Position, false);
        return;
    }
    StopMoving(LastSeconds);
    Moving = 0;
    while (!path.IsEmpty() && Near(*this, path.Front())) path.PopFront();
    AddWaypointsFromStartEnd(*this, path);
    WaypointCursor = Waypoints.Sentinel()->Next;
}

void ServerUnit::PlanPartialPath() {
    const bool lastTry = PathState == PS_RECALCULATE_PART_OR_GIVE_UP;
    const int32_t allowance = lastTry ? kRepairAllowanceBeforeGivingUp : kRepairAllowance;
    bool repaired = false;
    if (CollisionPolygon* floor = GetFloorPolygon()) {
        // The other unit's next polygons count as blocked for the repair.
        std::vector<CollisionPolygon*> marked;
        if (YieldTo) {
            int32_t n = 0;
            for (const Waypoint* waypoint : YieldTo->Waypoints) {
                if (n++ == kMarkedWaypointsOfOther) break;
                if (CollisionPolygon* polygon = FloorUnder(waypoint->Position)) marked.push_back(polygon);
            }
            MarkPolygons(marked, true);
        }

        // A path to the first waypoint whose polygon is free, when it is short enough.
        int32_t skipped = 0;
        for (const Waypoint* waypoint : Waypoints) {
            CollisionPolygon* free = FloorUnder(waypoint->Position);
            if (!free || (free->flags & (kPolygonUnitOn | kPolygonReplanBlocked)) != 0) {
                ++skipped;
                continue;
            }
            PolygonPath path;
            TvFindWaypointPath(floor, free, path, PathMask(*this) | kPolygonReplanBlocked | kPolygonUnitOn);
            repaired = !path.IsEmpty() && path.Count() < skipped + allowance;
            if (repaired) {
                for (int32_t i = 0; i <= skipped; ++i) {
                    delete Waypoints.Front();
                    Waypoints.PopFront();
                }
                while (!path.IsEmpty() && Near(*this, path.Back())) path.PopBack();
                for (const CollisionPolygon* polygon : path) PushWaypointFront(polygon->GetReferencePoint(), 0, 0);
                WaypointCursor = Waypoints.Sentinel()->Next;
            }
            break;
        }
        MarkPolygons(marked, false);
    }
    SetPathState(PS_DONE);
    if (lastTry && !repaired) {
        ClearWaypoints();
        WalkTo(Position, false);
    }
}

void ServerUnit::Replan(ServerObject* target, Real squaredRange) {
    CollisionPolygon* floor = GetFloorPolygon();
    if (!floor || !target) return;
    if (squaredRange > 5.0f) {
        const Real range = FastSqrt(squaredRange) - 2.0f;
        squaredRange = range * range;
    }
    PolygonPath path;
    TvFindWaypointPathPartial(floor, target->GetCentre(), path, PathMask(*this), squaredRange);
    SetPathState(PS_NONE);
    ClearWaypoints();
    AddWaypointsFromStartEnd(*this, path);
    Moving = 0;
}

void ServerUnit::PrependPathTo(const Vector3& point, Real time) {
    if (!Character || !Character->canTurn || Strength <= 0) return;
    if (Waypoints.IsEmpty()) {
        HeadForPoint(point, time);
        return;
    }
    CollisionPolygon* floor = GetFloorPolygon();
    if (time < LastCommandTime || !floor || !FloorUnder(point)) return;
    Moving = 0;
    PolygonPath path;
    TvFindWaypointPath(floor, GoalPolygon, path, PathMask(*this));
    // From the start end, each in front of the last: the goal end leads.
    for (auto it = path.end(); it != path.begin();) PushWaypointFront((*--it)->GetReferencePoint(), 0, 0);
    LastCommandTime = MoveStartTime = time;
}
