// Capture-the-flag events of the unit carrying a flag, and a part severed from its model.
#include "Awapi/object.h"
#include "Tv/client/client_object_parts.h"
#include "Tv/client/client_unit.h"
#include "Tv/client/teamtable.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/world/mover_world.h"
#include "core/clock.h"

namespace {

// The one character that carries a flag its own way: its mover holds this bit meanwhile.
constexpr const char* kOwnWayCarrier = "Dodo";
constexpr uint32_t kMoverCarriesOwnWay = 0x1000;

void MarkOwnWayCarrier(ClientUnit& unit, bool carrying) {
    if (!unit.UnitMover || !unit.Definition || !NameEquals(unit.Definition->name.Get(), kOwnWayCarrier)) return;
    if (carrying)
        unit.UnitMover->moveMask |= kMoverCarriesOwnWay;
    else
        unit.UnitMover->moveMask &= ~kMoverCarriesOwnWay;
}

// The flag goes home: not carried, at its base.
void FlagHome(TeamRecord& flag) {
    flag.FlagState = kFlagAtHome;
    flag.FlagCarried = 0;
    flag.PlaceMarker(flag.FlagHome.x, flag.FlagHome.y, flag.FlagHome.z, GameClock.GetTime32());
}

} // namespace

void ClientUnit::TakeFlag(int32_t team) {
    TeamRecord* flag = TeamTable::GetTeam(team);
    if (!flag) return;
    flag->FlagCarried = 1;
    flag->FlagState = kFlagCarried;
    CarriedFlag = team;
    MarkOwnWayCarrier(*this, true);
}

void ClientUnit::DropFlag() {
    if (TeamRecord* flag = TeamTable::GetTeam(CarriedFlag)) {
        flag->FlagState = kFlagDropped;
        flag->FlagCarried = 0;
        flag->PlaceMarker(Position.x, Position.y, Position.z, GameClock.GetTime32());
    }
    CarriedFlag = 0;
    MarkOwnWayCarrier(*this, false);
}

void ClientUnit::ReturnFlag() {
    if (TeamRecord* flag = TeamTable::GetTeam(Team)) FlagHome(*flag);
}

void ClientUnit::CaptureFlag() {
    if (TeamRecord* flag = TeamTable::GetTeam(CarriedFlag)) FlagHome(*flag);
    CarriedFlag = 0;
    MarkOwnWayCarrier(*this, false);
}

void ClientUnit::SeverPart(int32_t, int32_t severIndex) {
    if (!Definition || !Model || severIndex < 0 || severIndex >= static_cast<int32_t>(Definition->severPoints.size()))
        return;
    const char* part = Definition->severPoints[static_cast<size_t>(severIndex)].Get();
    Vector3 at;
    if (!part || !ModelPartPosition(*this, part, static_cast<int32_t>(GameClock.GetTime32()), at)) return;
    TvRemoveShadowCaster(this);
    Model->DeleteSubShape(part);
    TvSpawnParticlePuff(at);
    TvBuildShadowCaster(this);
}
