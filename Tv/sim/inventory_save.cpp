// The saved game's inventory block: the owners in hash order, the next item
// id, and per owner its items as 56-byte records whose pointer words are
// zero. A file cannot carry an item's look or name, so loading derives them
// again from the ammunition row or the item's definition.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/actor_save.h"
#include "Tv/sim/server_object.h"
#include "core/bytes.h"
#include "core/stringtable.h"

namespace {

constexpr size_t kItemRecordSize = 56;
constexpr size_t kItemPointerWords = 20; // Model, Shape, ViewModel, Panel, Name at 4 to 23
constexpr size_t kOwnerHeaderSize = 8;   // actor id, item count

// The words after the pointer words, in record order (offsets 24 to 55).
constexpr int32_t InventoryItem::*kItemDataWords[] = {
    &InventoryItem::Value,    &InventoryItem::DefinitionId, &InventoryItem::SubType,   &InventoryItem::ItemId,
    &InventoryItem::MaxCount, &InventoryItem::Count,        &InventoryItem::LimitMask, &InventoryItem::DeathAction,
};
static_assert(4 + kItemPointerWords + std::size(kItemDataWords) * 4 == kItemRecordSize);

void WriteItemRecord(ByteWriter& out, const InventoryItem& item) {
    out.I32(item.Kind);
    out.Zeros(kItemPointerWords);
    for (int32_t InventoryItem::*word : kItemDataWords) out.I32(item.*word);
}

// The data fields of one record; the pointer words are skipped.
bool ReadItemRecord(ByteReader& in, InventoryItem& item) {
    in.I32(item.Kind);
    in.Skip(kItemPointerWords);
    for (int32_t InventoryItem::*word : kItemDataWords) in.I32(item.*word);
    return in.ok();
}

// The kinds an inventory stores (1 is unused, 2 is never stored).
bool IsStoredKind(int32_t kind) { return kind == IK_REPAIR || (kind >= IK_SHIELD && kind <= IK_ARMOUR); }

bool IsAmmoType(int32_t type) { return type >= 0 && type < kAmmoTypeCount; }

// An ammunition stack takes its look and name from its type's row. The kind
// decides, not the sign of DefinitionId: type 0's stack has DefinitionId 0.
bool DeriveAmmoLook(InventoryItem& item) {
    const int32_t type = -item.DefinitionId;
    if (!IsAmmoType(type) || !IsAmmoType(item.Value) || !IsAmmoType(item.SubType)) return false;
    const AmmoTypeRow& row = AmmoTypeTable[type];
    item.Model = row.model;
    item.Shape = row.shape;
    item.Name = StringTableLookup(static_cast<uint32_t>(row.descriptionStringId));
    return true;
}

// Any other item: its definition's pickup look, falling back to the
// definition's own model and shape; its name only from the pickup record.
bool DeriveDefinitionLook(InventoryItem& item) {
    const ObjectDefinition* definition = DefinitionRegistry::FindById(item.DefinitionId);
    if (!definition) return false;
    item.Model = definition->model;
    item.Shape = definition->shape;
    if (const PickupRecord* look = definition->pickup.get()) {
        if (look->pickupModel) item.Model = look->pickupModel;
        if (look->pickupShape) item.Shape = look->pickupShape;
        item.Name = look->descriptionText;
    }
    return true;
}

bool DeriveLook(InventoryItem& item) {
    if (!IsStoredKind(item.Kind)) return false;
    return item.Kind == IK_AMMO ? DeriveAmmoLook(item) : DeriveDefinitionLook(item);
}

// Reads one owner's items into its inventory, each to the front of the list.
bool LoadOwnerItems(ByteReader& in, Inventory& inventory) {
    uint32_t count = 0;
    if (!in.U32(count) || count > in.remaining() / kItemRecordSize) return false;
    for (uint32_t i = 0; i < count; ++i) {
        InventoryItem read;
        if (!ReadItemRecord(in, read) || !DeriveLook(read)) return false;
        inventory.Items.PushFront(new InventoryItem(read));
    }
    inventory.OtherCursor.Begin();
    inventory.WeaponCursor.Begin();
    inventory.AmmoCursor.Begin();
    return true;
}

} // namespace

bool TvSaveInventories(ByteWriter& out) {
    std::vector<std::pair<int32_t, const Inventory*>> owners;
    ForEachActor([&](ServerObject* actor) {
        if (const Inventory* inventory = actor->GetInventory()) owners.emplace_back(actor->Id, inventory);
    });
    out.U32(static_cast<uint32_t>(owners.size()));
    out.I32(NextInventoryItemId);
    for (const auto& [id, inventory] : owners) {
        out.I32(id);
        out.U32(static_cast<uint32_t>(inventory->ItemCount()));
        for (const InventoryItem* item : inventory->Items) {
            if (IsEndMarker(item)) break;
            WriteItemRecord(out, *item);
        }
    }
    return true;
}

bool TvLoadInventories(ByteReader& in) {
    uint32_t owners = 0;
    int32_t nextItemId = 0;
    if (!in.U32(owners) || !in.I32(nextItemId) || owners > in.remaining() / kOwnerHeaderSize) return false;
    NextInventoryItemId = nextItemId;
    for (uint32_t i = 0; i < owners; ++i) {
        int32_t ownerId = 0;
        if (!in.I32(ownerId)) return false;
        const ServerObject* owner = TvFindActor(ownerId);
        Inventory* inventory = owner ? owner->GetInventory() : nullptr;
        if (!inventory || !LoadOwnerItems(in, *inventory)) return false;
    }
    return true;
}
