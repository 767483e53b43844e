#include "Tv/sim/server_president.h"

#include <algorithm>
#include <string>

#include "Awapi/model/dummy_object.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/console_hooks.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/world/level_world.h"
#include "core/hashtable.h"
#include "core/random.h"
#include "core/vector_bytes.h"

namespace {

constexpr int32_t kMsgPresidentExit = 199; // 24: exit drawn, president id, exit point

constexpr Real kScoringRangeSquared = 25.0f;  // within 5 m of the exit
constexpr Real kDefectionRangeSquared = 5.0f; // a rival within sqrt(5) m takes it
constexpr Real kDefectionGapSeconds = 5.0f;   // at most one change of owner in that time
constexpr int32_t kExitCount = 4;             // "exita" to "exitd"
constexpr int32_t kSpawnPointCount = 18;      // "dumpresa" to "dumpresr"
constexpr const char* kPresidentRole = "president";

// "exita" or "dumpresa" with its last letter advanced by `index`.
std::string NumberedDummyName(const char* first, uint32_t index) {
    std::string name = first;
    name.back() = static_cast<char>(name.back() + index);
    return name;
}

// The level's last dummy of that name (compared without regard to case), or null.
const AwDummyObject* LastDummyNamed(const std::string& name) {
    const auto found = std::find_if(LevelDummyList.rbegin(), LevelDummyList.rend(), [&](const AwDummyObject& dummy) {
        return dummy.Name && NameEquals(dummy.Name->c_str(), name.c_str());
    });
    return found == LevelDummyList.rend() ? nullptr : &*found;
}

// The nearest live actor of a player team other than the president's, the
// first found on a tie (teams in index order, each list in order); null when
// there is none.
ServerObject* NearestRival(const ServerObject& president, Real& distanceSquared) {
    ServerObject* nearest = nullptr;
    const int32_t teams = std::min(static_cast<int32_t>(TeamCount), kTeamActorListCount);
    for (int32_t team = 0; team < teams; ++team) {
        if (team == president.Team || !TeamTable::IsPlayerTeam(team)) continue;
        for (ServerObject* actor : *TeamActorListOf(team)) {
            if (!actor->IsAlive()) continue;
            const Real d = DistanceSquared(actor->Position, president.Position);
            if (!nearest || d < distanceSquared) {
                nearest = actor;
                distanceSquared = d;
            }
        }
    }
    return nearest;
}

} // namespace

ServerPresident::~ServerPresident() {
    if (TvIsSimulationRunning()) TvSpawnPresident();
}

void ServerPresident::SetTeam(int32_t team) {
    if (TeamTable::IsPlayerTeam(team)) {
        const uint32_t exit = TvRandomDraw() % kExitCount;
        if (const AwDummyObject* dummy = LastDummyNamed(NumberedDummyName("exita", exit))) {
            ExitPoint = dummy->Position;
            HasExit = true;
        }
        ByteWriter message;
        message.I32(kMsgPresidentExit);
        message.I32(static_cast<int32_t>(exit));
        message.I32(Id);
        WriteVector3(message, ExitPoint);
        TvSendToPlayer(team == 1 ? 0 : team - 2, message, true);
    }
    ServerUnit::SetTeam(team);
}

void ServerPresident::Think(uint64_t time, Real seconds) {
    if (HasExit && Team != 0 && Team != kComputerTeam && DistanceSquared(Position, ExitPoint) < kScoringRangeSquared) {
        TvBroadcast(TeamScoresMessage(Team), true);
        Remove(true); // may delete this president
        return;
    }

    Real distanceSquared = 0;
    const ServerObject* rival = NearestRival(*this, distanceSquared);
    if (rival && distanceSquared < kDefectionRangeSquared && seconds - LastDefection > kDefectionGapSeconds) {
        LastDefection = seconds;
        TvBroadcast(OwnerChangedMessage(Id, rival->Team), true);
        if (InTeamList) TeamListRemove(this);
        SetTeam(rival->Team);
        if (InTeamList) TeamListAppend(this);
    }
    ServerUnit::Think(time, seconds);
}

void TvSpawnPresident() {
    if (CurrentGameType != kGamePresident) return;
    ServerLockHold hold;
    const ObjectDefinition* role = DefinitionRegistry::FindByName(kPresidentRole);
    if (!role) {
        TvConsolePrint("No president role found");
        return;
    }
    const std::string place = NumberedDummyName("dumpresa", TvRandomDraw() % kSpawnPointCount);
    const AwDummyObject* dummy = LastDummyNamed(place);
    if (!dummy) {
        TvConsolePrint(("No president start point " + place).c_str());
        return;
    }
    TvSpawnActor(0, role, dummy->Position, Quaternion{0, 0, 0, 1}, -1);
}

void RegisterServerPresident() { SetServerActorMaker(ServerActorClass::President, &MakeServerActor<ServerPresident>); }
