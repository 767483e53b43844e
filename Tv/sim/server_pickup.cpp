#include "Tv/sim/server_pickup.h"

#include <cstring>
#include <limits>

#include "Awapi/object.h"
#include "Tv/client/inventory.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/command_scripts.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/item_messages.h"
#include "Tv/sim/server_unit.h"
#include "core/clock.h"
#include "core/hashtable.h"
#include "core/random.h"
#include "core/stringtable.h"

int32_t PickupRespawnTime = 60;

namespace {

constexpr Real kDefaultPickupRadius = 6.0f;
constexpr Real kUntakenArmour = 1000.0f;
constexpr int32_t kHeapClassPlain = 2;
constexpr int32_t kSequencePickUpPlain = 49;
constexpr int32_t kSequencePickUpOther = 50;
constexpr int32_t kCueRefused = 40;
constexpr int32_t kCueSwitch = 25;
constexpr uint32_t kKeyNeededText = 3402;

// The ambient creatures a heap wakes stand within half a metre of it, half a metre above.
constexpr int32_t kCreatureOffsetSteps = 11;
constexpr Real kCreatureOffsetStep = 0.1f;
constexpr Real kCreatureOffsetLow = -0.5f;
constexpr Real kCreatureHeight = -0.5f; // y points down

void BroadcastAbout(int32_t type, int32_t id, bool guaranteed) { TvBroadcast(ActorMessage(type, id), guaranteed); }

void BroadcastCue(int32_t cue, int32_t id) {
    ByteWriter message;
    message.I32(kMsgActorCue);
    message.I32(cue);
    message.I32(id);
    TvBroadcast(message, false);
}

// Whether the required name begins with "key", in any case.
bool NamedKey(const char* name) {
    return NameLower(name[0]) == 'k' && NameLower(name[1]) == 'e' && NameLower(name[2]) == 'y';
}

// The player who plays a team: team 1 the first, team t >= 3 the (t - 2)th;
// -1 for team 0 and the computer's team 2, which no player plays (counting
// t - 2 for them would tell the first player about the computer's unit).
int32_t PlayerIndexOfTeam(int32_t team) {
    if (team == 1) return 0;
    return team >= 3 ? team - 2 : -1;
}

// Tells the unit's player that the pickup wants a key: everybody in story
// play, else the player of the unit's team.
void SendKeyNeeded(const ServerUnit& unit) {
    const char* text = StringTableLookup(kKeyNeededText);
    ByteWriter message = ActorMessage(kMsgPlayerText, unit.Id);
    message.Bytes(text, std::strlen(text) + 1);
    if (CurrentGameType == kGameStory) {
        TvBroadcast(message, false);
        return;
    }
    const int32_t player = PlayerIndexOfTeam(unit.Team);
    if (player >= 0) TvSendToPlayer(player, message, false);
}

Real CreatureOffset() {
    return static_cast<Real>(static_cast<int32_t>(TvRandomDraw() % kCreatureOffsetSteps)) * kCreatureOffsetStep +
           kCreatureOffsetLow;
}

} // namespace

ServerPickup::ServerPickup(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                           const Quaternion& orientation, int32_t id)
    : ServerObject(team, definition, position, orientation, kActorFlagsPlain, id),
      HeapClass(ObjectDefinition::AggressionClass(definition)), RespawnTime(std::numeric_limits<Real>::max()),
      PickupRadius(kDefaultPickupRadius) {
    if (!definition) return;
    DestroyAfterCollection = (definition->flags & kDefinitionDestroyAfterCollection) != 0;
    if (const PickupRecord* record = definition->pickup.get()) {
        DeathAction = record->actionOnDeath;
        PickupRadius = record->pickupRadius;
    }
}

Real ServerPickup::GetArmour() const { return DestroyAfterCollection ? Armour : kUntakenArmour; }

void ServerPickup::SetHeap(int32_t heapClass, int32_t announce) {
    const int32_t oldClass = HeapClass;
    HeapClass = heapClass;
    if (announce && !DestroyAfterCollection && heapClass != kHeapClassPlain && oldClass == kHeapClassPlain)
        SpawnCreatures();
}

void ServerPickup::SpawnCreatures() {
    const ObjectDefinition* fly = DefinitionRegistry::FindByName("fly");
    const ObjectDefinition* bug = DefinitionRegistry::FindByName("bug");
    const ObjectDefinition* creature = fly && bug ? (TvRandomDraw() % 3 == 2 ? fly : bug) : fly ? fly : bug;
    if (!creature) return;
    const int32_t count = 1 + static_cast<int32_t>(TvRandomDraw() % (creature == fly ? 2u : 3u));
    for (int32_t i = 0; i < count; ++i) {
        const Real b = CreatureOffset();
        const Real a = CreatureOffset();
        TvSpawnActor(0, creature, Position + Vector3(a, kCreatureHeight, b), Orientation, -1);
    }
}

void ServerPickup::Think(uint64_t time, Real seconds) {
    if (RespawnMode != 0 && Taken && seconds > RespawnTime) {
        BroadcastAbout(kMsgPickupBack, Id, true);
        Taken = 0;
    }
    ServerObject::Think(time, seconds);
}

void ServerPickup::SetTaken(bool taken) {
    Taken = taken;
    if (DestroyAfterCollection) {
        Remove(true);
        return;
    }
    const Real delay = static_cast<Real>(PickupRespawnTime);
    switch (RespawnMode) {
    case 1: RespawnTime = ServerClock.GetSeconds() + 2.0f * delay; break;
    case 2: RespawnTime = ServerClock.GetSeconds() + delay; break;
    case 3: RespawnTime = ServerClock.GetSeconds() + 0.5f * delay; break;
    default: break;
    }
    BroadcastAbout(kMsgPickupTaken, Id, true);
}

void ServerPickup::Collect(ServerUnit* unit) {
    if (Taken || !unit) return;
    if (!KeyName.IsNone()) {
        const Inventory* inventory = unit->GetInventory();
        if (!inventory || inventory->CountCarried(KeyName.Get()) == 0) {
            RefuseWithoutKey(*unit);
            return;
        }
    }
    if (!Script.IsNone()) {
        RunScript(*unit);
        return;
    }
    PickUp(*unit);
}

void ServerPickup::RefuseWithoutKey(ServerUnit& unit) {
    unit.TargetId = -1;
    BroadcastCue(kCueRefused, unit.Id);
    if (NamedKey(KeyName.Get())) SendKeyNeeded(unit);
}

void ServerPickup::RunScript(ServerUnit& unit) {
    unit.TargetId = -1;
    TvRunCommandScript(Script.Get());
    BroadcastCue(kCueSwitch, Id);
    BroadcastAbout(kMsgPickupScriptRun, Id, false);
    if (!ScriptOnce) return;
    Script = OwnedText();
    Taken = 1;
    BroadcastAbout(kMsgPickupScriptUsed, Id, true);
}

void ServerPickup::PickUp(ServerUnit& unit) {
    const int32_t sequence = HeapClass == kHeapClassPlain ? kSequencePickUpPlain : kSequencePickUpOther;
    if (!unit.Model || !unit.Model->HasSequence(sequence)) {
        // Done with this pickup, as when the animation ends: an approach that
        // kept the id would collect again every pass.
        unit.TargetId = -1;
        unit.CollectPickup(this, true);
        return;
    }
    TvBroadcast(UnitSequenceMessage(unit.Id, sequence, kSequenceKindPickup, LastSeconds + 1.0f, 1, 1), false);
    unit.Collecting = 1;
    unit.PlayIdleSequence(sequence, unit.LastSeconds);
}

void ServerPickup::SetKey(const char* name) { KeyName = OwnedText::FromNullable(name); }

void ServerPickup::SetScript(const char* name, bool once) {
    Script = OwnedText::FromNullable(name);
    ScriptOnce = once;
    BroadcastAbout(kMsgPickupScriptSet, Id, true);
    HasScript = 1;
}

void RegisterServerPickup() { SetServerActorMaker(ServerActorClass::Pickup, &MakeServerActor<ServerPickup>); }
