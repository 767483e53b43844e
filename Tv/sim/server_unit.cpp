#include "Tv/sim/server_unit.h"

#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_registry.h"

// STUB: the unit's life, team and update are being written.

ServerUnit::ServerUnit(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                       const Quaternion& orientation, int32_t id)
    : ServerObject(team, definition, position, orientation, kActorFlagsUnit, id) {
    Character = definition ? definition->character.get() : nullptr;
    if (Character) Strength = Character->strength;
    Destination = position;
}

ServerUnit::~ServerUnit() {
    PathRequestList.RemoveValue(this);
    PathInProgressList.RemoveValue(this);
    for (Waypoint* w : Waypoints) delete w;
    for (Waypoint* w : StoredWaypoints) delete w;
    for (UnitOrder* o : Orders) delete o;
}

Real ServerUnit::GetHealthFraction() const { return 0; }
CollisionPolygon* ServerUnit::GetFloorPolygon() const { return nullptr; }
bool ServerUnit::HasCustomisationModel() const { return false; }
void ServerUnit::SetTeam(int32_t team) { Team = team; }
void ServerUnit::Start(uint64_t time, Real seconds) { ServerObject::Start(time, seconds); }
void ServerUnit::ReleaseReferences() { ServerObject::ReleaseReferences(); }
bool ServerUnit::MoveTo(const Vector3& position, const Quaternion& orientation, Real seconds) {
    return ServerObject::MoveTo(position, orientation, seconds);
}
void ServerUnit::Disable() {}
bool ServerUnit::TakeDamage(Real, bool, int32_t) { return false; }
void ServerUnit::Think(uint64_t time, Real seconds) { ServerObject::Think(time, seconds); }
void ServerUnit::OnDeath() { ServerObject::OnDeath(); }
void ServerUnit::ToggleCrouch() {}
void ServerUnit::Die() {}
void ServerUnit::PlayIdleSequence(int32_t, Real) {}
void ServerUnit::SetStandingOrder(int32_t) {}
void ServerUnit::AddSightBonus(Real) {}
void ServerUnit::AddAimModules(int32_t) {}
Real ServerUnit::GetFirstPersonRange() const { return FirstPersonRange; }
void ServerUnit::AddWalkingSpeed(int32_t) {}
void ServerUnit::UpdateDerivedSpeeds() {}
void ServerUnit::UpdateCentreOffset(bool) {}
void RegisterServerUnit() {}
