// The unit's motion: move and stop commands, the waypoint list, the walking
// step by the turn-and-arc rule with its mover move, and the motion messages
// (57 setting off, 59 at rest, 60 stopped, 61 walking).
#include <cmath>

#include "Tv/defs/definitionrecords.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/senders.h"
#include "Tv/sim/server_unit.h"

#include "Tv/sim/actor_messages.h"
#include "Tv/world/level_world.h"
#include "core/bytes.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/vector_bytes.h"

namespace {

constexpr uint32_t kNoFloorIndex = 0xFFFFFF;

constexpr Real kNearWaypoint = 1.5f;   // weighted squared distance at which a waypoint is reached
constexpr Real kArrivedSquared = 0.2f; // ... and at which a walk has arrived

bool SameVector(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// The culling point of a motion message: the unit's position in the
// multiplayer game types from that detail level up, else none.
Vector3 CullPoint(const Vector3& position, int32_t fromDetailLevel) {
    if (CurrentGameType != kGameStory && UserMatchSettings.NetDetailLevel >= fromDetailLevel) return position;
    return kNoPosition;
}

} // namespace

void UnitMotionState::Write(ByteWriter& out) const {
    out.F32(time);
    WriteVector3(out, position);
    WriteQuaternion(out, orientation);
    WriteVector3(out, velocity);
    out.U32(floorIndex & 0xFFFFFF);
}

void ServerUnit::GetMotionState(UnitMotionState& out) const {
    out.time = StateSeconds;
    out.position = Position;
    out.orientation = Orientation;
    out.velocity = Mover ? Mover->velocity : Vector3(0, 0, 0);
    out.floorIndex = Mover && Mover->floor ? Mover->floor->polygonIndex & 0xFFFFFF : kNoFloorIndex;
}

namespace {

// Type, unit id and the unit's motion state: the 56 bytes of 59, 60 and 61.
ByteWriter MotionMessage(const ServerUnit& unit, int32_t type) {
    ByteWriter message = ActorMessage(type, unit.Id);
    UnitMotionState state;
    unit.GetMotionState(state);
    state.Write(message);
    return message;
}

} // namespace

void ServerUnit::SyncMotionPosition() {
    if (Mover) Mover->position = Position;
}

Vector3 ServerUnit::FinalTarget() const {
    if (!Waypoints.IsEmpty()) return Waypoints.Back()->Position;
    return Moving ? Destination : Position;
}

// ---- Commands ----

void ServerUnit::HeadFor(CollisionPolygon* goal, Real time) {
    if (time < LastCommandTime || Strength <= 0 || IsDisabled() || !goal) return;
    GoalPolygon = goal;
    SetPathState(PS_COMPLETE);
    LastCommandTime = MoveStartTime = time;
}

void ServerUnit::HeadForPoint(const Vector3& point, Real time) {
    if (!Character || !Character->canTurn || IsDisabled() || time < LastCommandTime || Strength <= 0) return;
    CollisionPolygon* goal = nullptr;
    if (LevelWorldInstance) {
        RwLockHold hold(LevelWorldLock(), false);
        goal = LevelWorldInstance->FindFloor(point);
    }
    if (goal) HeadFor(goal, time);
}

void ServerUnit::WalkTo(const Vector3& point, bool keepStartTime) {
    if (!Character || !Character->canTurn || Strength <= 0) return;
    Moving = 1;
    StopSent = 0;
    Destination = point;
    ByteWriter message = MotionMessage(*this, kMsgUnitWalkTo);
    WriteVector3(message, point);
    WriteVector3(message, FinalTarget());
    TvBroadcast(message, false, CullPoint(Position, 3));
    BroadcastSeconds = StateSeconds;
    if (!keepStartTime) MoveStartTime = StateSeconds;
}

void ServerUnit::StopMoving(Real time) {
    if (time < LastCommandTime || Strength <= 0 || IsDisabled()) return;
    LastCommandTime = time;
    ClearWaypoints();
    if (Moving || !StopSent) TvBroadcast(MotionMessage(*this, kMsgUnitStopped), false);
    Moving = 0;
    StopSent = 1;
    BroadcastSeconds = StateSeconds;
}

void ServerUnit::Halt(Real time) {
    if (!Moving && StopSent) return;
    Moving = 0;
    StopSent = 1;
    Destination = Position;
    LastCommandTime = time;
    TvBroadcast(MotionMessage(*this, kMsgUnitAtRest), false);
    BroadcastSeconds = StateSeconds;
}

// ---- Waypoints ----

namespace {

Waypoint* NewWaypoint(const Vector3& point, int32_t keep, int32_t tag) {
    auto* waypoint = new Waypoint;
    waypoint->Position = point;
    waypoint->Keep = keep;
    waypoint->Tag = tag;
    return waypoint;
}

void FreeWaypoints(List<Waypoint*>& list) {
    for (Waypoint* waypoint : list) delete waypoint;
    list.Clear();
}

} // namespace

void ServerUnit::AddWaypoint(const Vector3& point, int32_t keep, bool alsoStore, int32_t tag) {
    Waypoints.PushBack(NewWaypoint(point, keep, tag));
    if (alsoStore) StoredWaypoints.PushBack(NewWaypoint(point, keep, tag));
    WaypointCursor = Waypoints.Sentinel()->Next;
}

void ServerUnit::PushWaypointFront(const Vector3& point, int32_t keep, int32_t tag) {
    Waypoints.PushFront(NewWaypoint(point, keep, tag));
    WaypointCursor = Waypoints.Sentinel()->Next;
}

void ServerUnit::AddStoredWaypoint(const Vector3& point, int32_t keep, int32_t tag) {
    StoredWaypoints.PushBack(NewWaypoint(point, keep, tag));
}

void ServerUnit::ClearStoredWaypoints() { FreeWaypoints(StoredWaypoints); }

void ServerUnit::ClearWaypoints() {
    FreeWaypoints(Waypoints);
    WaypointCursor = Waypoints.Sentinel();
}

Waypoint* ServerUnit::CurrentWaypoint() {
    ListNodeBase* end = Waypoints.Sentinel();
    if (!WaypointCursor || WaypointCursor == end) WaypointCursor = end->Next;
    if (WaypointCursor == end) return nullptr;
    return static_cast<List<Waypoint*>::Node*>(WaypointCursor)->Payload;
}

void ServerUnit::RemoveCurrentWaypoint() {
    if (Waypoint* waypoint = CurrentWaypoint()) {
        delete waypoint;
        Waypoints.RemoveNode(static_cast<List<Waypoint*>::Node*>(WaypointCursor));
    }
    WaypointCursor = Waypoints.Sentinel()->Next;
}

bool ServerUnit::AdvanceWaypoints() {
    Waypoint* waypoint = CurrentWaypoint();
    if (!waypoint) return false;
    if (Yielding) {
        if (!SameVector(Position, Destination)) WalkTo(Position, true);
        return false;
    }
    if (TvWeightedDistanceSquared(Position, waypoint->Position) >= kNearWaypoint) {
        if (!Moving) WalkTo(waypoint->Position, true);
        return true;
    }
    // Reached: a path waypoint goes, a kept one stays and the cursor moves on (round to the first).
    if (waypoint->Keep == 0)
        RemoveCurrentWaypoint();
    else
        WaypointCursor = WaypointCursor->Next;
    waypoint = CurrentWaypoint();
    if (!waypoint) return false;
    WalkTo(waypoint->Position, true);
    return true;
}

// ---- Walking ----

void ServerUnit::Walk(uint64_t time, Real seconds) {
    bool arrived = false;
    if (Moving) {
        if (time < StateTicks) {
            StateTicks = time;
            if (Mover && static_cast<int32_t>(Mover->time - static_cast<uint32_t>(time)) > 0)
                Mover->time = static_cast<uint32_t>(time);
        }
        const Real dt = static_cast<Real>(static_cast<double>(time - StateTicks) * CurrentSecondsPerTick());
        const Real step = dt * Speed;
        if (DirectControl) {
            if (Mover) {
                const Vector3& v = Mover->velocity;
                Position = Position + v * (FastInvSqrt(Dot(v, v)) * step);
            }
        } else if (TvWeightedDistanceSquared(Position, Destination) < kArrivedSquared) {
            arrived = true;
        } else {
            arrived = TvTurnAndArcStep(Position, Orientation, Destination, step, dt * Character->turningSpeed,
                                       TurnRadiusSquared);
        }
        if (arrived) Moving = 0;
    }

    bool moved = true;
    if (Mover && LevelWorldInstance) {
        RwLockHold hold(LevelWorldLock(), false);
        if (Mover->floor) Mover->floor->flags &= ~kPolygonUnitMarks;
        // A completed move keeps the walked x and z, for the mover too (its
        // velocity x ticks need not give them back exactly): an arrival lands
        // on its point, and a unit at rest has no velocity in the next pass.
        Vector3 reached = Position;
        moved = LevelWorldInstance->MoveMover(reached, *Mover, static_cast<uint32_t>(time));
        if (moved) {
            Position.y = reached.y;
            Mover->position = Position;
        } else {
            Position = reached;
        }
        if (Mover->floor && IsAlive() && (AiFlags & kAiFlagNoFloorMark) == 0) {
            const bool standing = !Moving && !Yielding && PathState == PS_NONE && !CurrentWaypoint();
            Mover->floor->flags |= standing ? kPolygonUnitMarks : kPolygonUnitOn;
        }
    }
    // A walk that stays blocked after its command's first second: plan again, or stop.
    if (!moved && LastCommandTime + 1.0f < seconds) {
        if (CurrentWaypoint())
            HeadForPoint(Waypoints.Back()->Position, seconds);
        else
            StopMoving(seconds);
    }

    ServerObject::Think(time, seconds);

    if (arrived) {
        TvBroadcast(MotionMessage(*this, kMsgUnitAtRest), false, CullPoint(Position, 4));
        StopSent = 1;
        BroadcastSeconds = StateSeconds;
        return;
    }
    const Real interval =
        CurrentGameType == kGameStory ? 1.0f : 0.5f * static_cast<Real>(UserMatchSettings.NetDetailLevel) + 1.0f;
    const bool walking = Mover && !SameVector(Mover->velocity, Vector3(0, 0, 0));
    if (StateSeconds - BroadcastSeconds > interval && walking) {
        TvBroadcast(MotionMessage(*this, kMsgUnitWalking), false, CullPoint(Position, 4));
        BroadcastSeconds = StateSeconds;
    }
}

// ---- The conflict pass's view ----

bool ServerUnit::GetPathSegment(PathSegment& out) {
    if (!Moving && !Yielding) return false;
    CollisionPolygon* from = GetFloorPolygon();
    if (!from || !LevelWorldInstance) return false;
    Vector3 target = Destination;
    if (Yielding)
        if (const Waypoint* waypoint = CurrentWaypoint()) target = waypoint->Position;
    CollisionPolygon* to;
    {
        RwLockHold hold(LevelWorldLock(), false);
        to = LevelWorldInstance->FindFloor(target);
    }
    if (!to) return false;
    const Vector3 d = target - Position;
    if (to == from || from->HasNeighbour(to) || Dot(d, d) < 20.0f) {
        out.To = to;
        out.NextPoint = target;
    } else {
        // The step toward a point beyond the next polygon: the link nearest it.
        CollisionPolygon* next = from->NearestNeighbour(target);
        if (next == from) return false;
        out.To = next;
        out.NextPoint = next->GetReferencePoint();
    }
    out.From = from;
    out.Position = Position;
    out.Unit = this;
    out.Decision = PathSegment::kNone;
    return true;
}
