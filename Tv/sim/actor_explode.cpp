// ServerObject::Explode: an actor destroyed by its definition's destruction
// record (respawn trigger, blast, fragments, script, replacement, removal).
#include "Awapi/object.h"
#include "Tv/client/teamtable.h"
#include "Tv/console/console_hooks.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/command_scripts.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_damage.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/fragment_burst.h"
#include "Tv/sim/server_object.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

constexpr int32_t kBlastDamageKind = 33;

// In the multiplayer types with respawns, an actor of a team comes back after
// RespawnDelay; a converted one comes back for the computer.
void ScheduleRespawn(const ServerObject& actor) {
    const int32_t type = CurrentGameType;
    if ((type != kGamePresident && type != kGameLeadKills && type != kGameCaptureTheFlag) || actor.Team == 0 ||
        actor.IsTurret())
        return;
    const int32_t team = actor.ConvertEnd != 0 ? kComputerTeam : actor.Team;
    const uint64_t delay = static_cast<uint64_t>(RespawnDelay) * static_cast<uint64_t>(CurrentTicksPerSecond());
    const char* name = actor.Definition->name.Get();
    TvAddRespawnTrigger(name ? name : "", team, ServerClock.GetTime() + delay);
}

// Every live actor strictly inside the range that is not exploding itself takes
// the blast.
void Blast(const ServerObject& source, Real damage, Real range) {
    const Real rangeSquared = range * range;
    ActorSnapshot snapshot(ActorSnapshot::Hold::References);
    snapshot.ForEach([&](ServerObject* victim) {
        if (!victim->IsAlive() || (victim->AiFlags & kAiFlagExploded)) return;
        const Vector3 d = victim->Position - source.Position;
        if (Dot(d, d) >= rangeSquared) return;
        victim->TakeDamage(TvDamageFor(*victim, damage, kBlastDamageKind), true, source.Team);
        TvBroadcastDamageReport(kMsgDamageReport, *victim,
                                TeamTable::IsPlayerTeam(victim->Team) && UserMatchSettings.NetDetailLevel == 0);
    });
}

// A unit bursts into fragments that rise from its centre: 3 without a
// character record, more for a stronger one.
void FireFragments(ServerObject& unit) {
    const CharacterRecord* character = unit.GetCharacterRecord();
    const int32_t count = character ? FloorToInt(character->strength * 0.014545455f + 2.96f) : 3;
    TvFireFragments(unit.GetCentre(), count);
}

// The replacement of a broken actor; it keeps the team only when it can break
// again.
void SpawnReplacement(const ServerObject& actor, const ObjectDefinition& replacement) {
    const int32_t team = replacement.destruction ? actor.Team : 0;
    const int32_t id = TvSpawnActor(team, &replacement, actor.Position, actor.Orientation, -1);
    const ServerObject* spawned = TvFindActor(id);
    if (!spawned || spawned == &actor || !spawned->Model || !spawned->Model->HasSequence(3)) return;
    ByteWriter message = ActorMessage(kMsgActorSequence, id);
    message.I32(3);
    TvBroadcast(message, false);
}

} // namespace

void ServerObject::Explode() {
    const DestructionRecord* record = Definition ? Definition->destruction.get() : nullptr;
    if (!record) return;
    ScheduleRespawn(*this);
    OnDeath();

    int32_t blastId = -1;
    bool remove = true;
    const ObjectDefinition* replacement = nullptr;
    if (record->kind == kDestructionFragData) {
        const auto& frag = static_cast<const FragDataRecord&>(*record);
        blastId = TvNextActorId();
        AiFlags |= kAiFlagExploded;
        if (frag.blastDamage != 0 && frag.blastRange > 0) Blast(*this, frag.blastDamage, frag.blastRange);
        if (IsUnit()) FireFragments(*this);
        remove = frag.replace;
        replacement = frag.replaceRole;
    } else if (record->kind == kDestructionFragScript) {
        const auto& script = static_cast<const FragScriptRecord&>(*record);
        if (const char* name = script.name.Get()) TvRunCommandScript(name);
        remove = script.replace;
    }

    ByteWriter message = ActorMessage(kMsgActorExploded, Id);
    message.I32(blastId);
    TvBroadcast(message, true);
    if (replacement) SpawnReplacement(*this, *replacement);
    if (remove) Remove(true);
}
