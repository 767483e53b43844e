#include "Tv/sim/server_unit.h"

#include "core/bytes.h"

// STUB: commands, walking and the motion messages are being written.

void UnitMotionState::Write(ByteWriter&) const {}
void ServerUnit::SyncMotionPosition() {}
void ServerUnit::HeadForPoint(const Vector3&, Real) {}
void ServerUnit::AddWaypoint(const Vector3&, int32_t, bool, int32_t) {}
bool ServerUnit::GetPathSegment(PathSegment&) { return false; }
void ServerUnit::HeadFor(CollisionPolygon*, Real) {}
void ServerUnit::WalkTo(const Vector3&, bool) {}
void ServerUnit::StopMoving(Real) {}
void ServerUnit::Halt(Real) {}
void ServerUnit::GetMotionState(UnitMotionState&) const {}
void ServerUnit::PushWaypointFront(const Vector3&, int32_t, int32_t) {}
void ServerUnit::AddStoredWaypoint(const Vector3&, int32_t, int32_t) {}
void ServerUnit::ClearStoredWaypoints() {}
void ServerUnit::RemoveCurrentWaypoint() {}
void ServerUnit::ClearWaypoints() {}
bool ServerUnit::AdvanceWaypoints() { return false; }
void ServerUnit::Walk(uint64_t time, Real seconds) { ServerObject::Think(time, seconds); }
Waypoint* ServerUnit::CurrentWaypoint() { return nullptr; }
