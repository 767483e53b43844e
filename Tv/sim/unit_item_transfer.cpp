// Items that change hands: dropped as pickups, collected from pickups and
// handed to a team-mate.
#include <algorithm>

#include "Tv/client/inventory.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/actor_actions.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/item_messages.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/unit_item_steps.h"

namespace {

constexpr int32_t kSpeedOne = 65536; // 16.16
constexpr const char* kShieldPickupName = "shield_pickup";

// How many items one pickup of the definition holds: its character's walking
// speed, whole.
int32_t ItemsPerPickup(const ObjectDefinition& definition) {
    return definition.character ? definition.character->walkingSpeed / kSpeedOne : 0;
}

// A pickup of the definition for team 0 where the unit stands, holding `count`;
// announced with 163.
void SpawnDroppedPickup(const ServerUnit& unit, const ObjectDefinition& definition, int32_t count) {
    const int32_t id = TvSpawnActor(0, &definition, unit.Position, unit.Orientation, -1);
    ServerObject* actor = TvFindActor(id);
    if (!actor || !actor->IsPickup()) return;
    static_cast<ServerPickup*>(actor)->ItemCount = count;
    ByteWriter message;
    message.I32(MSG_PICKUP_COUNT);
    message.I32(id);
    message.I32(count);
    TvBroadcast(message, false);
}

// The smaller of two limits where -1 means none: -1 only when neither limits.
int32_t SmallerLimit(int32_t a, int32_t b) {
    if (a == kRoomUnlimited) return b;
    if (b == kRoomUnlimited) return a;
    return std::min(a, b);
}

} // namespace

void ServerUnit::DropItem(int32_t itemKey) {
    InventoryItem* item = FindCarriedItem(*this, itemKey);
    if (!item) return;
    TakeOffItem(*this, *item);
    if (item->Kind == IK_AMMO || item->Kind == IK_SHIELD) {
        // Rounds and shield points go down one pickup's worth at a time.
        const ObjectDefinition* pickup = item->Kind == IK_SHIELD ? DefinitionRegistry::FindByName(kShieldPickupName)
                                                                 : DefinitionRegistry::FindByWeaponClass6(item->Value);
        if (pickup) {
            const int32_t perPickup = ItemsPerPickup(*pickup);
            int32_t amount = item->Count;
            if (perPickup >= 1 && item->Count > perPickup) {
                item->Count -= perPickup;
                amount = perPickup;
            } else {
                DiscardItem(*this, item);
            }
            SpawnDroppedPickup(*this, *pickup, amount);
        } else {
            DiscardItem(*this, item); // nothing to put it down as
        }
    } else {
        const ObjectDefinition* own = DefinitionRegistry::FindById(item->DefinitionId);
        const int32_t count = item->Kind == IK_MINE_LAYER ? item->Value : item->Count;
        DiscardItem(*this, item);
        if (own) SpawnDroppedPickup(*this, *own, count);
    }
    BroadcastItemEvent(MSG_ITEM_DROPPED, *this, itemKey);
}

bool ServerUnit::CollectPickup(ServerObject* actor, bool announce) {
    if (!Inventory || !actor || !actor->IsPickup()) return false;
    auto* pickup = static_cast<ServerPickup*>(actor);
    if (pickup->Taken) return false;
    Collecting = 0;
    const int32_t kind = pickup->HeapClass;
    const int32_t room = Inventory->RoomForDefinition(kind, pickup->Definition);
    if (room == 0) {
        if (announce) BroadcastItemEvent(MSG_INVENTORY_FULL, *this, kind);
        return false;
    }
    const int32_t count = pickup->ItemCount != -1 ? pickup->ItemCount : ItemsPerPickup(*pickup->Definition);
    const int32_t taken = SmallerLimit(room, count);
    const int32_t itemId = TakeInventoryItemId();
    Inventory->AddItem(kind, pickup->Definition, itemId, taken);
    ByteWriter message = ActorMessage(announce ? MSG_PICKUP_COLLECTED : kMsgPickupCollectedQuiet, Id);
    message.I32(kind);
    message.I32(pickup->Definition->id);
    message.I32(itemId);
    message.I32(taken);
    TvBroadcast(message, true);
    if (count - taken <= 0) {
        pickup->SetTaken(true); // may remove the pickup
    } else {
        pickup->ItemCount = count - taken;
    }
    return true;
}

void ServerUnit::GiveItemTo(int32_t itemKey, int32_t receiverId, int32_t count) {
    InventoryItem* item = FindCarriedItem(*this, itemKey);
    ServerObject* receiver = TvFindActor(receiverId);
    ::Inventory* theirs = receiver ? receiver->GetInventory() : nullptr;
    // A count below -1 would hand over a negative amount, and 0 nothing at all.
    if (!item || !theirs || count == 0 || count < kRoomUnlimited) return;
    const int32_t room = theirs->RoomFor(item->Kind, item->SubType);
    if (room == 0) {
        BroadcastItemEvent(MSG_INVENTORY_FULL, *this, item->Kind);
        return;
    }
    const int32_t n = SmallerLimit(room, count);
    const bool partial = n != kRoomUnlimited && ((item->Kind == IK_MINE_LAYER && n < item->Value) ||
                                                 (item->Kind == IK_AMMO && n < item->Count));
    const int32_t itemId = TakeInventoryItemId();
    ByteWriter message = ActorMessage(kMsgItemGiven, Id);
    message.I32(receiverId);
    message.I32(itemKey);
    message.I32(n);
    message.I32(itemId);
    TvBroadcast(message, true);
    TransferItem(item, receiver, itemId, !partial, n);
}

void ServerUnit::TransferItem(InventoryItem* item, ServerObject* receiver, int32_t itemId, bool whole, int32_t count) {
    ::Inventory* theirs = receiver->GetInventory();
    ServerBot* loader =
        IsBot() && static_cast<ServerBot*>(this)->AmmoItem == item ? static_cast<ServerBot*>(this) : nullptr;
    if (whole) {
        LetGoOfItem(*this, *item);
        Inventory->UnlinkItem(item);
        if (item->Kind == IK_AMMO) {
            theirs->AddAmmo(item->Value, item->Count, itemId);
            delete item;
        } else {
            theirs->InsertItem(item);
        }
        if (loader) loader->SelectAmmo();
        return;
    }
    if (item->Kind == IK_AMMO) {
        theirs->AddAmmo(item->Value, count, itemId);
    } else if (const ObjectDefinition* definition = DefinitionRegistry::FindById(item->DefinitionId)) {
        theirs->AddItem(item->Kind, definition, itemId, count);
    } else {
        return; // nothing to make the receiver's share from
    }
    if (item->Kind == IK_MINE_LAYER) {
        item->Value -= count;
    } else {
        item->Count -= count;
    }
    if (loader && loader->MagazineCount > static_cast<uint32_t>(std::max(item->Count, 0)))
        loader->SetMagazineCount(static_cast<uint32_t>(std::max(item->Count, 0)));
}
