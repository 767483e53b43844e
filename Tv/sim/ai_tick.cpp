#include "Tv/sim/ai_tick.h"

#include <vector>

#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/ai_team_list.h"
#include "Tv/sim/combat_ai.h"
#include "Tv/sim/node_ai.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/scavenger_ai.h"
#include "Tv/sim/server_mine.h"
#include "Tv/sim/server_minebot.h"
#include "Tv/sim/server_unit.h"

uint32_t AiTickCount = 0;

namespace {

constexpr int32_t kAiActivityIdle = 3;
constexpr float kDefaultAggression = 0.7f;
constexpr uint32_t kNoiseRefreshInterval = 10;

// What a core installs. `Armed` gives the combat core to an actor with a
// weapon and no callback to one without; `Keep` leaves the callback as it is.
// A start callback, where a core has one, is installed and never removed.
enum class Install { Callback, Armed, Keep };
struct CoreRow {
  Install install;
  AiCallback callback;
  bool listed;
  AiCallback start = nullptr;
};

constexpr CoreRow kCoreRows[] = {
    {Install::Armed, nullptr, true},                  // 0 bot
    {Install::Callback, TvScavengerAi, true},         // 1 scavenger
    {Install::Callback, TvMineAi, true, TvMineStart}, // 2 mine
    {Install::Callback, TvMinebotAi, true},           // 3 minebot
    {Install::Callback, nullptr, false},              // 4 reserved
    {Install::Callback, nullptr, false},              // 5 blocker
    {Install::Callback, TvIdleAi, false},             // 6 waiting
    {Install::Callback, TvPathfinderAi, true},        // 7 pathfinder
    {Install::Callback, nullptr, false},              // 8 track object
    {Install::Callback, nullptr, false},              // 9 tumbleweed
    {Install::Callback, nullptr, false},              // 10 pickup
    {Install::Callback, nullptr, false},              // 11 background creature
    {Install::Callback, nullptr, false},  // 12 flying background creature
    {Install::Armed, nullptr, true},      // 13 centipede
    {Install::Callback, TvIdleAi, false}, // 14 centibody
    {Install::Callback, TvNodeAi, true},  // 15 node
    {Install::Callback, TvIdleAi, false}, // 16 node waiting
    {Install::Callback, TvSwarmAi, true}, // 17 swarm
    {Install::Callback, TvIdleAi, true},  // 18 popup
    {Install::Armed, nullptr, true},      // 19 president
    {Install::Callback, TvIdleAi,
     true}, // 20 turret (its think installs the turret core)
};
constexpr CoreRow kOtherCore{Install::Keep, nullptr, true};

const CoreRow &RowOf(int32_t core) {
  constexpr int32_t count =
      static_cast<int32_t>(sizeof(kCoreRows) / sizeof(kCoreRows[0]));
  return core >= 0 && core < count ? kCoreRows[core] : kOtherCore;
}

bool IsAlwaysComputerDrivenSquadMember(const ServerObject &actor) {
  const CharacterRecord *character =
      actor.Definition ? actor.Definition->character.get() : nullptr;
  const TeamRecord *team = TeamTable::GetTeam(actor.Team);
  return character && character->alwaysCpuControlled && team &&
         team->IsPlayerTeam();
}

} // namespace

void TvSetAiCore(ServerObject *actor, int32_t core, uint64_t time) {
  actor->AiWakeTime = time;
  actor->AiActivity = kAiActivityIdle;
  const CharacterRecord *character = actor->GetCharacterRecord();
  actor->AiAggression = character ? character->aggression : kDefaultAggression;
  actor->WithheldShots = 0;
  actor->HasNoisePoint = 0;
  actor->AiFlags = 0;
  actor->AiCore = core;
  const CoreRow &row = RowOf(core);
  switch (row.install) {
  case Install::Callback:
    actor->AiTickCallback = row.callback;
    break;
  case Install::Armed:
    actor->AiTickCallback = actor->GetWeapon() ? TvCombatAi : nullptr;
    break;
  case Install::Keep:
    break;
  }
  if (row.start)
    actor->AiStartCallback = row.start;
  actor->InTeamList = row.listed;
}

void TvAiTick(uint64_t time) {
  std::vector<ServerObject *> squadMembers;
  {
    // The snapshot's references keep every actor of the pass alive until it
    // ends.
    ActorSnapshot snapshot(ActorSnapshot::Hold::References);
    snapshot.ForEach([&](ServerObject *actor) {
      if (IsAlwaysComputerDrivenSquadMember(*actor))
        squadMembers.push_back(actor);
    });
    for (ServerObject *actor : squadMembers)
      if (actor->AiTickCallback)
        actor->AiTickCallback(actor, time);

    // The entries are copied first: a callback may change the list.
    std::vector<AiTeamEntry> entries(AiTeamList.begin(), AiTeamList.end());
    for (const AiTeamEntry &entry : entries)
      entry.Tick(time);

    if (++AiTickCount % kNoiseRefreshInterval == 0)
      TvRefreshNoiseEvents(time);
  }
}

void TvIdleAi(ServerObject *, uint64_t) {}

void TvPathfinderAi(ServerObject *actor, uint64_t) {
  if (actor->IsUnit())
    static_cast<ServerUnit *>(actor)->AdvanceWaypoints();
}

// The level trigger list comes with the level triggers; until then there is
// nothing to empty.
void TvClearLevelTriggers() {}
