// Server-to-client records of inventories, items and pickups.

#include <iterator>
#include <string>

#include "Tv/client/client_sounds.h"
#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/console/console_hooks.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/server/client_record_objects.h"
#include "Tv/server/client_service_hooks.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/object_caption.h"
#include "Tv/server/server_message_catalogue.h"
#include "Tv/server/shell_state.h"
#include "core/stringtable.h"

namespace {

constexpr int32_t kSoundPickedUp = 19;
constexpr int32_t kSoundInventoryFull = 40;
constexpr int32_t kSoundItemGiven = 71;
constexpr uint32_t kAmmoForWeaponText = 12071;
constexpr uint32_t kNoRoomForWeaponText = 12549;
constexpr uint32_t kNoRoomForAmmoText = 12550;
constexpr uint32_t kNoRoomText = 12551;
constexpr int32_t kPickupCaptionKind = 0;
constexpr int32_t kQuietAggressionClass = 2;
constexpr int32_t kItemGivenByName = -1;

const char* const kMountSlotOutOfRange = "mount slot out of range";

// The object reads as being on the local player's team.
bool OnLocalTeam(const ClientObject* object) { return object->Team == LocalTeam; }

// A change to an inventory while the upgrade screen may show it: the view's
// models are released before and built again after.
template <class Change> void ChangeShownInventory(Inventory* inventory, Change change) {
    const bool shown = TvIsUpgradeScreenOpen();
    if (shown) inventory->ReleaseViewModels();
    change();
    if (shown) inventory->BuildViewModels();
}

// The notice of an item the local player's unit picked up: ammunition for its
// own weapon names the unit, another item shows its pickup text.
void ShowPickupNotice(ClientObject* unit, int32_t kind, const ObjectDefinition& item) {
    const CharacterRecord* itemCharacter = item.character.get();
    if (kind == IK_AMMO && itemCharacter && ClientUnitWeaponType(unit) == itemCharacter->weapon) {
        const char* suffix = StringTableLookup(kAmmoForWeaponText);
        std::string text = unit->Definition && !unit->Definition->name.IsNone() ? unit->Definition->name.Get() : "";
        text += ": ";
        text += suffix ? suffix : "";
        unit->ShowStatusText(text.c_str());
        TvPlaySound(kSoundPickedUp, "");
        return;
    }
    const char* text = item.pickup ? item.pickup->pickupNameText : nullptr;
    if (!text || !*text) return;
    TvShowObjectCaption(*unit, text, kPickupCaptionKind);
    if (ObjectDefinition::AggressionClass(&item) != kQuietAggressionClass) TvPlaySound(kSoundPickedUp, "");
}

template <bool announce> const char* OnPickupCollected(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* unit = ReadRecordObject(in);
    const int32_t kind = in.I32();
    const ObjectDefinition* item = DefinitionRegistry::FindById(in.I32());
    const int32_t itemId = in.I32();
    const int32_t count = in.I32();
    if (!unit || !item || !unit->IsUnit()) return nullptr;
    ClientUnitAddPickedUpItems(unit, kind, item, itemId, count);
    if (announce && unit->JoinsLocalTeam() && OnLocalTeam(unit) && !CutsceneActive) ShowPickupNotice(unit, kind, *item);
    return nullptr;
}

const char* OnInventoryFull(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t kind = in.I32();
    if (!object) return nullptr;
    const uint32_t id = kind == IK_WEAPON ? kNoRoomForWeaponText : kind == IK_AMMO ? kNoRoomForAmmoText : kNoRoomText;
    const char* text = StringTableLookup(id);
    const int32_t gameType = CurrentGameType;
    if (text && (gameType == kGameStory || gameType == kGameCooperative || OnLocalTeam(object)))
        object->ShowStatusText(text);
    if (!OnLocalTeam(object)) return nullptr;
    TvPlaySound(kSoundInventoryFull, "");
    if (text && TvIsUpgradeScreenOpen()) TvConsolePrint(text);
    return nullptr;
}

template <bool announce> const char* OnItemEquipped(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* unit = ReadRecordObject(in);
    const int32_t mountSlot = in.I32();
    const int32_t itemId = in.I32();
    if (mountSlot < 0 || mountSlot >= kMountSlotCount) return kMountSlotOutOfRange;
    if (unit) ClientUnitMountItem(unit, mountSlot, itemId, announce);
    return nullptr;
}

void UseItem(ClientObject* unit, int32_t itemId) { ClientUnitUseItem(unit, itemId, true); }
void UseItemQuietly(ClientObject* unit, int32_t itemId) { ClientUnitUseItem(unit, itemId, false); }

void RemoveItem(ClientObject* object, int32_t itemId) {
    if (Inventory* inventory = object->GetInventory())
        ChangeShownInventory(inventory, [&] { inventory->RemoveItemById(itemId); });
}

void ItemGone(ClientObject* object, int32_t itemId) {
    Inventory* inventory = object->GetInventory();
    if (!inventory) return;
    ChangeShownInventory(inventory, [&] {
        ClientUnitUnmountItem(object, itemId);
        inventory->RemoveItemById(itemId);
    });
}

const char* OnItemAmount(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t itemId = in.I32();
    const int32_t value = in.I32();
    if (object)
        if (Inventory* inventory = object->GetInventory()) inventory->SetItemValue(itemId, value);
    return nullptr;
}

const char* OnItemGiven(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* giver = ReadRecordObject(in);
    const int32_t receiverId = in.I32();
    const int32_t itemId = in.I32();
    const int32_t count = in.I32();
    const int32_t extra = in.I32();
    if (!giver) return nullptr;
    if (giver->IsUnit()) ClientUnitGiveItem(giver, itemId, receiverId, count, extra);
    TvPlaySound(kSoundItemGiven, "");
    return nullptr;
}

// The last object of the hash's walk whose definition has that id.
ClientObject* LastObjectOfDefinition(int32_t definitionId) {
    ClientObject* found = nullptr;
    HashSetIterator<ClientObject*> it;
    for (it.Begin(ClientObjectHash); !it.AtEnd(); it.Next()) {
        ClientObject* object = it.Current()->Payload;
        if (object->Definition && object->Definition->id == definitionId) found = object;
    }
    return found;
}

const char* OnAddItem(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    const int32_t ownerDefinitionId = in.I32();
    const ObjectDefinition* item = DefinitionRegistry::FindById(in.I32());
    const int32_t value = in.I32();
    const int32_t maxCount = in.I32();
    const int32_t count = in.I32();
    const int32_t ammoType = in.I32();
    const int32_t itemId = in.I32();
    if (ammoType != kItemGivenByName && (ammoType < 0 || ammoType >= kAmmoTypeCount))
        return "ammunition type out of range";
    ClientObject* owner = LastObjectOfDefinition(ownerDefinitionId);
    Inventory* inventory = owner ? owner->GetInventory() : nullptr;
    if (!inventory) return nullptr;
    if (ammoType == kItemGivenByName) {
        if (!item) return nullptr;
        inventory->AddItem(ObjectDefinition::AggressionClass(item), item, itemId, -1);
    } else {
        inventory->NewAmmoStack(ammoType, itemId);
    }
    if (InventoryItem* added = inventory->FindItem(itemId)) {
        added->Value = value;
        added->MaxCount = maxCount;
        added->Count = count;
    }
    return nullptr;
}

// 167 and 168: the count of a shield or armour item.
template <int32_t kind> const char* OnWornItemCount(const uint8_t* record, size_t size) {
    ByteReader in = RecordReader(record, size);
    ClientObject* object = ReadRecordObject(in);
    const int32_t itemId = in.I32();
    const int32_t count = in.I32();
    Inventory* inventory = object ? object->GetInventory() : nullptr;
    if (!inventory) return nullptr;
    ChangeShownInventory(inventory, [&] {
        InventoryItem* item = inventory->FindItem(itemId);
        if (item && item->Kind == kind) item->Count = count;
    });
    return nullptr;
}

void AddSightBonus(ClientObject* unit, const Real* bonus) { ClientUnitAddSightBonus(unit, *bonus); }

void PickupTaken(ClientObject* pickup) { ClientPickupSetTaken(pickup, true); }
void PickupBack(ClientObject* pickup) { ClientPickupSetTaken(pickup, false); }

} // namespace

const ServerMessageRow kItemMessageRows[] = {
    ExactRow(118, "MSG_PICKUP_COLLECTED", 24, OnPickupCollected<true>),
    ExactRow(119, "MSG_PICKUP_COLLECTED_QUIET", 24, OnPickupCollected<false>),
    ExactRow(120, "MSG_INVENTORY_FULL", 12, OnInventoryFull),
    ExactRow(121, "MSG_ITEM_EQUIPPED", 16, OnItemEquipped<true>),
    ExactRow(122, "MSG_ITEM_EQUIPPED_QUIET", 16, OnItemEquipped<false>),
    ExactRow(123, "MSG_ITEM_USED", 12, OnRecordObjectInt<UseItem>),
    ExactRow(124, "MSG_ITEM_USED_QUIET", 12, OnRecordObjectInt<UseItemQuietly>),
    ExactRow(125, "MSG_ITEM_DROPPED", 12, OnRecordObjectInt<ClientUnitDropItem>),
    ExactRow(126, "MSG_ITEM_REMOVED", 12, OnRecordObjectInt<RemoveItem>),
    ExactRow(127, "MSG_ITEM_AMOUNT", 16, OnItemAmount),
    ExactRow(128, "MSG_UNMOUNT_ITEM", 12, OnRecordObjectInt<ClientUnitUnmountItem>),
    ExactRow(129, "MSG_ITEM_GIVEN", 24, OnItemGiven),
    ExactRow(152, "MSG_ADD_ITEM", 32, OnAddItem),
    ExactRow(166, "MSG_ITEM_GONE", 12, OnRecordObjectInt<ItemGone>),
    ExactRow(167, "MSG_SHIELD_ITEM_COUNT", 16, OnWornItemCount<IK_SHIELD>),
    ExactRow(168, "MSG_ARMOUR_ITEM_COUNT", 16, OnWornItemCount<IK_ARMOUR>),
    ExactRow(94, "MSG_SIGHT_BONUS", 12, OnRecordObjectFloats<1, AddSightBonus>),
    ExactRow(117, "MSG_PICKUP_TRIGGERED", 8, OnRecordObject<ClientPickupTrigger>),
    ExactRow(132, "MSG_PICKUP_USED", 8, OnRecordObject<ClientPickupSetUsed>),
    ExactRow(133, "MSG_PICKUP_TAKEN", 8, OnRecordObject<PickupTaken>),
    ExactRow(150, "MSG_PICKUP_BACK", 8, OnRecordObject<PickupBack>),
    ExactRow(163, "MSG_PICKUP_COUNT", 12, OnRecordObjectInt<ClientPickupSetCount>),
};
const size_t kItemMessageRowCount = std::size(kItemMessageRows);
