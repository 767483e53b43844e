// The item actions that run over time: laying a mine (kneel, lay, stand up)
// and the special modules (disguise and cloak).
#include <cmath>

#include "Tv/client/inventory.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/senders.h"
#include "Tv/server/server_state.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/item_messages.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/unit_item_steps.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/random.h"

namespace {

constexpr int32_t kSequenceKneel = 96;
constexpr int32_t kSequenceStandUp = 103;
constexpr int32_t kSequenceSpeedOne = 65536; // 16.16
constexpr uint32_t kItemSequenceFlags = 80;
constexpr int32_t kRepeatLooping = -1;
constexpr int32_t kRepeatOnce = 1;
enum MineLayingState : int32_t { kKneeling = 0, kLaying = 1, kStandingUp = 2 };

// A player's notice that a remote mine or a decoy of theirs lies ready.
constexpr int32_t kNoticeMineReady = 12090;
constexpr int32_t kRemoteMineWeapon = 1;
constexpr int32_t kDecoyWeapon = 3;

constexpr int32_t kModuleDisguise = 4;
constexpr int32_t kModuleCloak = 5;
constexpr Real kDisguiseSeconds = 60.0f;
constexpr Real kCloakSeconds = 120.0f;
constexpr Real kRandomDisguiseChance = 0.2f;
constexpr uint8_t kCueRefused = 40;

// The laying's sequences; a unit whose model cannot play one is through it at
// once.
void PlayItemSequence(ServerUnit& unit, int32_t sequence, int32_t repeat) {
    unit.ItemSequenceDone = 0;
    if (!unit.PlaySequence(sequence, kSequenceSpeedOne, 1, GameClock.GetTime32(), &unit.ItemSequenceDone,
                           kItemSequenceFlags, false))
        unit.ItemSequenceDone = 1;
    TvBroadcast(UnitSequenceMessage(unit.Id, sequence, kSequenceKindItemAction, unit.LastSeconds + 1.0f, repeat, 0),
                false);
}

// The mine goes down where the unit kneels; its player hears when it is one
// they set off.
void LayMine(ServerUnit& unit) {
    if (InventoryItem* item = unit.ItemActionItem) {
        const int32_t key = item->ItemId;
        item->Value -= 1;
        ByteWriter laid = ActorMessage(kMsgMineLaid, unit.Id);
        laid.I32(key);
        laid.I32(item->Value);
        TvBroadcast(laid, true);
        if (item->Value <= 0) {
            unit.ItemActionItem = nullptr;
            DiscardItem(unit, item);
            BroadcastItemEvent(kMsgMineLayerUsedUp, unit, key);
        }
    }
    const ObjectDefinition& mine = *unit.ItemActionDefinition;
    TvSpawnActor(unit.Team, &mine, unit.Position, unit.Orientation, unit.Id);
    const int32_t weapon = mine.character ? mine.character->weapon : -1;
    if (unit.Team == 0 || unit.Team == kComputerTeam || (weapon != kRemoteMineWeapon && weapon != kDecoyWeapon)) return;
    ByteWriter notice;
    notice.I32(kMsgPlayerMineNotice);
    notice.I32(kNoticeMineReady);
    if (CurrentGameType == kGameStory) {
        TvBroadcast(notice, false);
    } else {
        TvSendToPlayer(unit.Team == 1 ? 0 : unit.Team - 2, notice, false);
    }
}

// Whether an actor's character may stand in for the disguised unit's.
bool HasCharacter(const ServerObject& actor) { return actor.Definition && actor.Definition->character; }

Real ShapeDistance(const CharacterRecord& a, const CharacterRecord& b) {
    return std::fabs(a.boundsRadius - b.boundsRadius) + std::fabs(a.boundsHeight - b.boundsHeight);
}

// Among the actors that pass `eligible`, registry order, the one built most
// like the unit.
template <class Test>
void ImitateClosest(ServerUnit& unit, Test eligible) {
    Real best = kLargestFloat;
    ForEachActor([&](const ServerObject* actor) {
        if (!HasCharacter(*actor) || !eligible(*actor)) return;
        const Real d = ShapeDistance(*actor->Definition->character, *unit.Character);
        if (d < best) {
            best = d;
            unit.DisguiseId = actor->Definition->id;
        }
    });
}

// Which character the disguise shows: now and then anybody's of the computer's
// side, usually the computer's bot built most like the unit. Nobody to imitate:
// the unit keeps its own.
void ChooseDisguise(ServerUnit& unit) {
    const int32_t own = unit.DisguiseId;
    const auto computerSide = [](const ServerObject& actor) { return !TeamTable::IsPlayerTeam(actor.Team); };
    if (RandomUnit() < kRandomDisguiseChance) {
        const auto other = [&](const ServerObject& actor) {
            return computerSide(actor) && HasCharacter(actor) && actor.Definition->id != own;
        };
        int32_t count = 0;
        ForEachActor([&](const ServerObject* actor) { count += other(*actor); });
        if (count == 0) return;
        const int32_t chosen = FloorToInt(RandomUnit() * static_cast<Real>(count)) % count;
        int32_t index = 0;
        ForEachActor([&](const ServerObject* actor) {
            if (other(*actor) && index++ == chosen) unit.DisguiseId = actor->Definition->id;
        });
        return;
    }
    if (!unit.Character) return;
    ImitateClosest(unit, [](const ServerObject& actor) { return actor.IsBot() && actor.Team == kComputerTeam; });
    if (unit.DisguiseId == own)
        ImitateClosest(unit, [&](const ServerObject& actor) { return computerSide(actor) && !actor.IsBot(); });
}

// The special module has been used up: it leaves the inventory.
void UseUpModule(ServerUnit& unit, InventoryItem* item) {
    const int32_t key = item->ItemId;
    DiscardItem(unit, item);
    BroadcastItemEvent(MSG_ITEM_DROPPED, unit, key);
}

void BeginDisguise(ServerUnit& unit, InventoryItem* item) {
    unit.Concealed = 1;
    unit.DisguiseId = unit.Definition ? unit.Definition->id : -1;
    unit.DisguiseStart = ServerClock.GetSeconds();
    unit.DisguiseEnd = unit.DisguiseStart + kDisguiseSeconds;
    ChooseDisguise(unit);
    ByteWriter message = ActorMessage(kMsgDisguiseBegun, unit.Id);
    message.I32(unit.DisguiseId);
    message.F32(unit.DisguiseStart);
    message.F32(unit.DisguiseEnd);
    TvBroadcast(message, true);
    UseUpModule(unit, item);
}

void BeginCloak(ServerUnit& unit, InventoryItem* item) {
    unit.CloakActive = 1;
    unit.CloakStart = ServerClock.GetSeconds();
    unit.CloakEnd = unit.CloakStart + kCloakSeconds;
    TvRemoveNoiseEventOf(&unit);
    ByteWriter message = ActorMessage(kMsgCloakBegun, unit.Id);
    message.F32(unit.CloakStart);
    message.F32(unit.CloakEnd);
    TvBroadcast(message, true);
    UseUpModule(unit, item);
}

} // namespace

void StartMineLaying(ServerUnit& unit, InventoryItem& item, const ObjectDefinition& mine) {
    unit.SetPathState(PS_NONE);
    unit.ClearWaypoints();
    unit.ItemActionDefinition = &mine;
    unit.ItemActionItem = &item;
    unit.ItemActionActive = 1;
    unit.ItemActionCancelled = 0;
    unit.ItemActionState = kKneeling;
    PlayItemSequence(unit, kSequenceKneel, kRepeatLooping);
}

void UseSpecialModule(ServerUnit& unit, InventoryItem& item) {
    const int32_t module = item.SubType;
    if (module != kModuleDisguise && module != kModuleCloak) return;
    if (unit.CloakActive || unit.DisguiseId != -1) {
        ByteWriter refusal;
        refusal.I32(kMsgRefusalCue);
        refusal.I32(kCueRefused);
        TvBroadcast(refusal, false);
        return;
    }
    if (module == kModuleDisguise) {
        BeginDisguise(unit, &item);
    } else {
        BeginCloak(unit, &item);
    }
}

void ServerUnit::StepItemAction(uint64_t, Real) {
    if (!ItemActionActive) return;
    if (ItemSequenceDone) {
        ItemSequenceDone = 0;
        if (ItemActionState == kKneeling) {
            ItemActionState = kLaying;
            const Real now = GameClock.GetSeconds();
            ItemActionEndTime = now + (Character ? Character->mineLayingTime : 0);
            ByteWriter begun = ActorMessage(kMsgMineLayingBegun, Id);
            begun.F32(now);
            begun.F32(ItemActionEndTime);
            TvBroadcast(begun, false);
        } else if (ItemActionState == kStandingUp) {
            ItemActionActive = 0;
            return;
        }
    }
    if (ItemActionState != kLaying || (GameClock.GetSeconds() < ItemActionEndTime && !ItemActionCancelled)) return;
    if (ItemActionCancelled) {
        TvBroadcast(ActorMessage(kMsgMineLayingCancelled, Id), false);
    } else {
        LayMine(*this);
    }
    ItemActionState = kStandingUp;
    PlayItemSequence(*this, kSequenceStandUp, kRepeatOnce);
}
