#include "Tv/sim/server_mine.h"

#include <cstdint>
#include <limits>

#include "Tv/client/teamtable.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_damage.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/vulnerability.h"
#include "core/clock.h"
#include "core/vector_bytes.h"

namespace {

constexpr Real kFuseSeconds = 10;
constexpr Real kDecoyCallSeconds = 6;
constexpr Real kDecoySeconds = 60;
constexpr int32_t kDecoyLoudness = 30;
constexpr int32_t kBlastLoudness = 20;
constexpr int32_t kBlastDamageKind = 33;

// Teams 0 and 2 are not a player's side, whatever the game.
bool IsPlayerSide(int32_t team) { return team != 0 && team != kComputerTeam; }

// The actor in a slot of a team's table; null for an empty slot, a team or
// slot outside the table, or an actor that is gone (a mine that changed team
// leaves its slot behind in its old team's table).
ServerObject* SlotActor(int32_t team, int32_t slot) {
    const TeamRecord* record = TeamTable::GetTeam(team);
    if (!record || slot < 0 || slot >= kMineSlotCount || !record->MineSlots[slot]) return nullptr;
    const ServerObject* held = record->MineSlots[slot];
    ServerObject* found = nullptr;
    ForEachActor([&](ServerObject* actor) {
        if (actor == held) found = actor;
    });
    return found;
}

void BroadcastSlot(const ServerObject& mine, int32_t slot) {
    ByteWriter message = ActorMessage(kMsgMineSlot, mine.Id);
    message.I32(slot);
    TvBroadcast(message, false);
}

// A unit sweeping mines, or an actor named by one of the mine's
// vulnerabilities that is aiming at it, does not set a mine off.
bool PassesUnharmed(const ServerObject& mine, const ServerObject& actor) {
    if (actor.IsUnit() && static_cast<const ServerUnit&>(actor).MineSweep) return true;
    if (actor.GetFireTarget() != &mine) return false;
    for (const Vulnerability* vulnerability : mine.Vulnerabilities)
        if (vulnerability->attacker == actor.Definition) return true;
    return false;
}

// The first live actor of another team within the mine's sight range that sets it off, or null.
ServerObject* Trespasser(const ServerUnit& mine) {
    const Real rangeSquared = mine.SightRange * mine.SightRange;
    const bool cooperative = CurrentGameType == kGameCooperative && TeamTable::IsPlayerTeam(mine.Team);
    for (int32_t team = 0; team < static_cast<int32_t>(TeamCount); ++team) {
        if (team == mine.Team || (cooperative && TeamTable::IsPlayerTeam(team))) continue;
        const List<ServerObject*>* actors = TeamActorListOf(team);
        if (!actors) continue;
        for (ServerObject* actor : *actors) {
            if (!actor->IsAlive() || actor->Team == mine.Team) continue;
            if (DistanceSquared(actor->Position, mine.Position) >= rangeSquared) continue;
            if (!PassesUnharmed(mine, *actor)) return actor;
        }
    }
    return nullptr;
}

// Whether a blast of the mine reaches the actor. Between two player sides a
// blast hits only mines, unless match rule B is on, or the game is a match
// and the two are of different teams.
bool BlastHits(const ServerObject& mine, const ServerObject& actor, Real radiusSquared) {
    if (!actor.IsAlive() || DistanceSquared(actor.Position, mine.Position) >= radiusSquared) return false;
    const bool spared =
        !TvIsRuleFlagB() && IsPlayerSide(actor.Team) && IsPlayerSide(mine.Team) && actor.AiCore != kAiCoreMine;
    if (!spared) return true;
    const int32_t type = CurrentGameType;
    return type != kGameStory && type != kGameCooperative && actor.Team != mine.Team;
}

// A mine that cannot explode leaves its player's slots and goes.
void Discard(ServerUnit& mine) {
    if (TeamRecord* team = TeamTable::GetTeam(mine.Team); team && team->IsPlayerTeam()) team->RemoveMine(&mine);
    if (mine.IsAlive()) mine.Remove(true);
}

void Explode(ServerUnit& mine) {
    const bool emp = MineKindOf(mine) == kMineEmp;
    const Real radiusSquared = mine.SightRange * mine.SightRange;
    ByteWriter message;
    message.I32(emp ? kMsgEmpMineExploded : kMsgMineExploded);
    WriteVector3(message, mine.Position);
    TvBroadcast(message, false, mine.Position);
    TvAddExplosionNoise(kBlastLoudness, mine.Position, mine.Position, mine.AiWakeTime, 0);
    const Real damage = mine.Definition ? static_cast<Real>(mine.Definition->limit) : 0;
    mine.AddRef();
    Discard(mine);
    {
        ActorSnapshot snapshot(ActorSnapshot::Hold::References);
        snapshot.ForEach([&](ServerObject* victim) {
            if (!BlastHits(mine, *victim, radiusSquared)) return;
            if (victim->AiCore == kAiCoreMine && !emp) {
                TvDetonateMine(victim);
            } else if (emp) {
                if (!TeamTable::IsPlayerTeam(victim->Team)) victim->Disable();
            } else {
                TvMineBlastHit(*victim, damage, mine.Team);
            }
        });
    }
    mine.Release();
}

} // namespace

int32_t MineKindOf(const ServerObject& actor) {
    const CharacterRecord* character = actor.GetCharacterRecord();
    return character ? character->weapon : -1;
}

void TvMineBlastHit(ServerObject& victim, Real damage, int32_t team) {
    victim.TakeDamage(TvDamageFor(victim, damage, kBlastDamageKind), true, team);
    TvBroadcastDamageReport(kMsgDamageReport, victim,
                            TeamTable::IsPlayerTeam(victim.Team) && UserMatchSettings.NetDetailLevel == 0);
}

void TvMineStart(ServerObject* mine, uint64_t time) {
    switch (MineKindOf(*mine)) {
    case kMineRemote:
    case kMineDecoy: {
        TeamRecord* team = TeamTable::GetTeam(mine->Team);
        BroadcastSlot(*mine, team ? team->AddMine(mine) : -1);
        if (MineKindOf(*mine) == kMineDecoy)
            mine->AiWakeTime = mine->AiTimer = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
        break;
    }
    case kMineTimed: mine->AiWakeTime = TicksAfter(time, kFuseSeconds); break;
    default: break;
    }
    mine->AiFlags |= kAiFlagMineStarted;
}

void TvMineAi(ServerObject* mine, uint64_t time) {
    if (!mine->IsUnit() || !mine->IsAlive() || time <= mine->AiWakeTime) return;
    auto& unit = static_cast<ServerUnit&>(*mine);
    unit.AiWakeTime = TicksAfter(time, 1.0f);
    switch (MineKindOf(unit)) {
    case kMineProximity:
    case kMineEmp:
        if (Trespasser(unit)) TvDetonateMine(&unit);
        break;
    case kMineTimed: TvDetonateMine(&unit); break;
    case kMineDecoy: {
        unit.AiWakeTime = TicksAfter(time, kDecoyCallSeconds);
        const Real hearing = unit.Character ? unit.Character->hearingRange : 0;
        TvAddExplosionNoise(kDecoyLoudness, unit.Position, unit.Position, unit.AiWakeTime, hearing);
        if (time > unit.AiTimer)
            unit.Remove(true);
        else
            TvBroadcast(ActorMessage(kMsgDecoyCalls, unit.Id), true);
        break;
    }
    default: break;
    }
}

void TvDetonateMine(ServerObject* mine) {
    if (!mine->IsUnit()) return;
    auto& unit = static_cast<ServerUnit&>(*mine);
    if (!unit.AiTickCallback || unit.Disabled)
        Discard(unit);
    else
        Explode(unit);
}

void TvStartDecoy(int32_t team, int32_t slot) {
    ServerObject* decoy = SlotActor(team, slot);
    if (!decoy) return;
    // Server time in full: the mine AI compares these with it.
    const uint64_t now = ServerClock.GetTime();
    decoy->AiTimer = TicksAfter(now, kDecoySeconds);
    decoy->AiWakeTime = now;
    BroadcastSlot(*decoy, kMineSlotGivenUp);
    TeamTable::GetTeam(team)->MineSlots[slot] = nullptr;
}

void TvSetOffTeamMines(int32_t team) {
    // References held: each blast may remove other mines of the list.
    ActorSnapshot snapshot(ActorSnapshot::Hold::References);
    snapshot.ForEach([&](ServerObject* actor) {
        if (actor->IsAlive() && actor->AiCore == kAiCoreMine && MineKindOf(*actor) == kMineRemote &&
            actor->Team == team)
            TvDetonateMine(actor);
    });
}

void TvUseMineSlot(int32_t team, int32_t slot) {
    ServerObject* actor = SlotActor(team, slot);
    if (!actor) return;
    switch (MineKindOf(*actor)) {
    case kMineRemote: TvDetonateMine(actor); break;
    case kMineDecoy: TvStartDecoy(team, slot); break;
    default: break;
    }
}
