#include "Tv/sim/unit_flags.h"

#include <string>

#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/command_scripts.h"
#include "Tv/server/senders.h"
#include "Tv/server/server_hooks.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/server_unit.h"
#include "Tv/world/mover_world.h"
#include "core/hashtable.h"

namespace {

// The character that carries a flag its own way: half speed, off the polygons with this bit.
constexpr const char* kSlowCarrierName = "Dodo";
constexpr uint32_t kMoveMaskFlagCarrier = 0x1000;

void BroadcastFlagEvent(int32_t type, int32_t unitId, int32_t team) {
    ByteWriter message = ActorMessage(type, unitId);
    message.I32(team);
    TvBroadcast(message, true);
}

void MarkSlowCarrier(ServerUnit& unit, bool carrying) {
    const char* name = unit.Definition ? unit.Definition->name.Get() : nullptr;
    if (!unit.Mover || !name || !NameEquals(name, kSlowCarrierName)) return;
    if (carrying)
        unit.Mover->moveMask |= kMoveMaskFlagCarrier;
    else
        unit.Mover->moveMask &= ~kMoveMaskFlagCarrier;
}

// Teams 1, 3, 4 and 5 have their own capture script; every other team runs team 2's.
std::string CaptureScriptOf(int32_t team) {
    const int32_t named = team == 1 || team == 3 || team == 4 || team == 5 ? team : 2;
    return "CaptureFlag_team" + std::to_string(named) + ".tcs";
}

// The flag goes home and nobody carries it.
void SendFlagHome(TeamRecord& team) {
    team.FlagState = kFlagAtHome;
    team.FlagCarried = 0;
    team.PlaceMarker(team.FlagHome.x, team.FlagHome.y, team.FlagHome.z, team.FlagTime);
}

bool WithinFlagReach(const Vector3& a, const Vector3& b) { return DistanceSquared(a, b) < kFlagReachSquared; }

// One unit of team `unitTeam` at one flag that nobody carries.
void TouchFlag(ServerUnit& unit, int32_t unitTeam, TeamRecord& flag) {
    if (!WithinFlagReach(flag.FlagPosition, unit.Position)) return;
    if (unitTeam != flag.TeamIndex) {
        // A carrier taking a second flag would leave the first one carried by nobody.
        if (unit.CarriedFlag == 0) unit.TakeFlag(flag.TeamIndex);
    } else if (flag.FlagState != kFlagAtHome) {
        unit.ReturnFlag();
    }
}

} // namespace

void ServerUnit::TakeFlag(int32_t team) {
    TeamRecord* flag = TeamTable::GetTeam(team);
    if (!flag) return;
    BroadcastFlagEvent(kMsgFlagTaken, Id, team);
    flag->FlagCarried = 1;
    CarriedFlag = team;
    MarkSlowCarrier(*this, true);
    flag->FlagState = kFlagCarried;
}

void ServerUnit::DropFlag() {
    const int32_t team = CarriedFlag;
    TeamRecord* flag = TeamTable::GetTeam(team);
    if (team == 0 || !flag) return;
    BroadcastFlagEvent(kMsgFlagDropped, Id, team);
    flag->FlagState = kFlagDropped;
    flag->FlagCarried = 0;
    flag->PlaceMarker(Position.x, Position.y, Position.z, static_cast<uint32_t>(ThinkTicks));
    CarriedFlag = 0;
}

void ServerUnit::ReturnFlag() {
    TeamRecord* own = TeamTable::GetTeam(Team);
    if (!own) return;
    BroadcastFlagEvent(kMsgFlagReturned, Id, Team);
    SendFlagHome(*own);
}

void ServerUnit::CaptureFlag() {
    const int32_t team = CarriedFlag;
    TeamRecord* flag = TeamTable::GetTeam(team);
    if (team == 0 || !flag) return;
    BroadcastFlagEvent(kMsgFlagCaptured, Id, team);
    TvBroadcast(TeamScoresMessage(Team), true);
    TvRunCommandScript(CaptureScriptOf(Team).c_str());
    SendFlagHome(*flag);
    CarriedFlag = 0;
    MarkSlowCarrier(*this, false);
}

void TvCaptureTheFlagCheck() {
    for (int32_t t = 0; t < static_cast<int32_t>(TeamCount); ++t) {
        TeamRecord* flag = TeamTable::GetTeam(t);
        if (!flag->FlagPresent || flag->FlagCarried) continue;
        for (int32_t u = 0; u < static_cast<int32_t>(TeamCount) && !flag->FlagCarried; ++u) {
            const List<ServerObject*>* actors = TeamActorListOf(u);
            if (!actors) continue;
            for (ServerObject* actor : *actors) {
                if (!actor->IsUnit() || !actor->IsAlive() || actor->ConvertEnd != 0) continue;
                TouchFlag(*static_cast<ServerUnit*>(actor), u, *flag);
                if (flag->FlagCarried) break;
            }
        }
    }
}

void TvCheckCapture(ServerUnit* unit) {
    const TeamRecord* own = TeamTable::GetTeam(unit->Team);
    if (!own || !own->IsPlayerTeam() || own->FlagState != kFlagAtHome || unit->CarriedFlag == 0) return;
    if (WithinFlagReach(unit->Position, own->CapturePoint)) unit->CaptureFlag();
}

void TvDropCarriedFlag(ServerObject* actor) {
    if (actor->IsUnit() && actor->GetCarriedFlag() != 0) static_cast<ServerUnit*>(actor)->DropFlag();
}

void RegisterCaptureTheFlagHooks() {
    ServerHooks hooks = InstalledServerHooks();
    hooks.captureTheFlagCheck = &TvCaptureTheFlagCheck;
    hooks.dropCarriedFlag = &TvDropCarriedFlag;
    SetServerHooks(hooks);
}
