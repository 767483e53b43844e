#include "Tv/client/inventory.h"

#include <algorithm>

#include "Awapi/object.h"
#include "Tv/client/equipment_view.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "core/stringtable.h"

const char* const MountPointNames[kMountSlotCount] = {"Upper Arm Right", "Upper Arm Left", "slota", "slotb", "slotc",
                                                      "slotd",           "slote",          "slotf", "slotg", "sloth",
                                                      "sloti",           "slotj",          "slotk"};

int32_t NextInventoryItemId = 0;
InventoryItem* SelectedInventoryItem = nullptr;

namespace {

bool IsWeaponKind(int32_t kind) { return kind == IK_WEAPON; }
bool IsAmmoKind(int32_t kind) { return kind == IK_AMMO; }
// The other-items row and MaxModule: every stored kind but weapons and
// ammunition.
bool IsOtherKind(int32_t kind) { return kind != IK_NOT_STORED && kind != IK_WEAPON && kind != IK_AMMO; }

bool (*const RowTests[kViewRowCount])(int32_t) = {IsWeaponKind, IsAmmoKind, IsOtherKind};

bool IsAmmoType(int32_t type) { return type >= 0 && type < kAmmoTypeCount; }

// The record's view model and panel lose their use; nothing shows it any more.
void FreeItem(InventoryItem* item) {
    if (item->ViewModel) item->ViewModel->Release();
    if (item->Panel) item->Panel->Release();
    if (SelectedInventoryItem == item) SelectedInventoryItem = nullptr;
    ForgetViewSlotItem(item);
    delete item;
}

// Steps over the list's sentinel, so a cursor always stands on an entry.
void StepOn(InventoryCursor& cursor) {
    cursor.NextCrossing();
    if (cursor.AtEnd()) cursor.NextCrossing();
}
void StepBack(InventoryCursor& cursor) {
    cursor.PrevCrossing();
    if (cursor.AtEnd()) cursor.PrevCrossing();
}

} // namespace

bool IsEndMarker(const InventoryItem* item) {
    return item->SubType == kEndMarkerSubType && item->DefinitionId == kEndMarkerDefinitionId;
}

int32_t TakeInventoryItemId() { return NextInventoryItemId++; }

Inventory::Inventory(int32_t ownerWeaponType, const ObjectDefinition* ownerDefinition)
    : OwnerWeaponType(ownerWeaponType) {
    if (ownerDefinition && ownerDefinition->character) {
        MaxWeapon = ownerDefinition->character->maxWeapon;
        MaxAmmo = ownerDefinition->character->maxAmmo;
        MaxModule = ownerDefinition->character->maxModule;
    }
    auto* marker = new InventoryItem;
    marker->SubType = kEndMarkerSubType;
    marker->DefinitionId = kEndMarkerDefinitionId;
    Items.PushBack(marker);
    ResetCursors();
}

Inventory::~Inventory() {
    while (!Items.IsEmpty()) {
        InventoryItem* item = Items.Front();
        Items.PopFront();
        FreeItem(item);
    }
    if (Plate) Plate->Release();
    if (PanelModel) PanelModel->Release();
}

void Inventory::ResetCursors() {
    OtherCursor.Begin();
    WeaponCursor.Begin();
    AmmoCursor.Begin();
}

void Inventory::InsertByKind(InventoryItem* item) {
    ListNodeBase* at = Items.Sentinel()->Next;
    for (ListNodeBase* n = at; n != Items.Sentinel(); n = n->Next) {
        const InventoryItem* entry = static_cast<ListNode<InventoryItem*>*>(n)->Payload;
        if (IsEndMarker(entry)) break;
        if (entry->Kind == item->Kind) {
            at = n;
            break;
        }
    }
    Items.InsertBefore(at, item);
    ResetCursors();
}

ListNode<InventoryItem*>* Inventory::NodeOf(const InventoryItem* item) const {
    for (ListNodeBase* n = Items.Sentinel()->Next; n != Items.Sentinel(); n = n->Next) {
        auto* node = static_cast<ListNode<InventoryItem*>*>(n);
        if (IsEndMarker(node->Payload)) return nullptr;
        if (node->Payload == item) return node;
    }
    return nullptr;
}

int32_t Inventory::CountItems(bool (*test)(int32_t kind)) const {
    int32_t n = 0;
    for (const InventoryItem* item : Items) {
        if (IsEndMarker(item)) break;
        if (test(item->Kind)) ++n;
    }
    return n;
}

void Inventory::AddItem(int32_t kind, const ObjectDefinition* definition, int32_t itemId, int32_t count) {
    if (kind == IK_NOT_STORED || !definition || !definition->character) return;
    const int32_t base = definition->character->walkingSpeed >> 16; // floor of the 16.16 value
    const int32_t subType = definition->character->weapon;
    auto* item = new InventoryItem;
    switch (kind) {
    case IK_SHIELD:
    case IK_ARMOUR:
        if (count == -1) count = base;
        item->Value = base;
        item->MaxCount = base;
        break;
    case IK_MINE_LAYER:
        item->Value = count != -1 ? count : base;
        break;
    case IK_AMMO:
        delete item;
        AddAmmo(subType, count != -1 ? count : base, itemId);
        return;
    default:
        item->Value = base;
        break;
    }
    item->Kind = kind;
    item->DefinitionId = definition->id;
    item->LimitMask = definition->limit;
    item->Count = count != -1 ? count : 0;
    item->SubType = subType;
    item->ItemId = itemId;
    item->Model = definition->model;
    item->Shape = definition->shape;
    if (const PickupRecord* look = definition->pickup.get()) {
        if (look->pickupModel) item->Model = look->pickupModel;
        if (look->pickupShape) item->Shape = look->pickupShape;
        item->Name = look->descriptionText;
        item->DeathAction = look->actionOnDeath;
    }
    InsertByKind(item);
}

void Inventory::AddAmmo(int32_t ammoType, int32_t amount, int32_t itemId) {
    if (!IsAmmoType(ammoType)) return;
    for (InventoryItem* item : Items) {
        if (amount <= 0 || IsEndMarker(item)) break;
        if (item->Kind != IK_AMMO || item->Value != ammoType) continue;
        const int32_t taken = std::clamp(item->MaxCount - item->Count, 0, amount);
        item->Count += taken;
        amount -= taken;
    }
    if (amount <= 0 || CountItems(IsAmmoKind) >= MaxAmmo) return;
    InventoryItem* stack = NewAmmoStack(ammoType, itemId);
    stack->Count = std::min(amount, stack->MaxCount);
}

InventoryItem* Inventory::NewAmmoStack(int32_t ammoType, int32_t itemId) {
    if (!IsAmmoType(ammoType)) return nullptr;
    const AmmoTypeRow& row = AmmoTypeTable[ammoType];
    auto* item = new InventoryItem;
    item->Kind = IK_AMMO;
    item->Model = row.model;
    item->Shape = row.shape;
    item->MaxCount = row.maxPerSlot;
    item->Name = StringTableLookup(static_cast<uint32_t>(row.descriptionStringId));
    item->Value = ammoType;
    item->SubType = ammoType;
    item->DefinitionId = -ammoType;
    item->ItemId = itemId;
    InsertByKind(item);
    return item;
}

void Inventory::InsertItem(InventoryItem* item) { InsertByKind(item); }

InventoryItem* Inventory::UnlinkItem(InventoryItem* item) {
    ListNode<InventoryItem*>* node = NodeOf(item);
    if (!node) return nullptr;
    Items.RemoveNode(node);
    ResetCursors();
    if (SelectedInventoryItem == item) SelectedInventoryItem = nullptr;
    return item;
}

void Inventory::RemoveItem(InventoryItem* item) {
    if (UnlinkItem(item)) FreeItem(item);
}

void Inventory::RemoveItemById(int32_t itemId) {
    if (InventoryItem* item = FindItem(itemId)) RemoveItem(item);
}

InventoryItem* Inventory::FindItem(int32_t itemId) const {
    for (InventoryItem* item : Items) {
        if (IsEndMarker(item)) break;
        if (item->ItemId == itemId) return item;
    }
    return nullptr;
}

bool Inventory::HasAmmoType(int32_t ammoType) const {
    for (const InventoryItem* item : Items) {
        if (IsEndMarker(item)) break;
        if (item->Kind == IK_AMMO && item->SubType == ammoType) return true;
    }
    return false;
}

void Inventory::SetItemValue(int32_t itemId, int32_t value) {
    if (InventoryItem* item = FindItem(itemId)) item->Value = value;
}

int32_t Inventory::CountCarried(const char* definitionName) const {
    const ObjectDefinition* definition = definitionName ? DefinitionRegistry::FindByName(definitionName) : nullptr;
    if (!definition) return 0;
    int32_t n = 0;
    for (const InventoryItem* item : Items) {
        if (IsEndMarker(item)) break;
        if (item->DefinitionId == definition->id) ++n;
    }
    return n;
}

int32_t Inventory::RoomFor(int32_t kind, int32_t key) const {
    switch (kind) {
    case IK_NOT_STORED:
        return kRoomUnlimited;
    case IK_WEAPON:
        return CountItems(IsWeaponKind) < MaxWeapon ? kRoomUnlimited : 0;
    case IK_AMMO: {
        if (!IsAmmoType(key)) return 0;
        if (CountItems(IsAmmoKind) < MaxAmmo) return kRoomUnlimited;
        int32_t room = 0;
        for (const InventoryItem* item : Items) {
            if (IsEndMarker(item)) break;
            if (item->Kind == IK_AMMO && item->Value == key) room += std::max(item->MaxCount - item->Count, 0);
        }
        return room;
    }
    default:
        return CountItems(IsOtherKind) < MaxModule ? kRoomUnlimited : 0;
    }
}

int32_t Inventory::RoomForDefinition(int32_t kind, const ObjectDefinition* definition) const {
    if (!definition || !definition->character) return 0;
    return RoomFor(kind, definition->character->weapon);
}

bool Inventory::SeekRow(int32_t viewRow, InventoryCursor& cursor) const {
    if (viewRow < 0 || viewRow >= kViewRowCount) return false;
    if (cursor.AtEnd()) cursor.NextCrossing();
    for (;;) {
        const InventoryItem* item = *cursor.Payload();
        if (IsEndMarker(item)) return false;
        if (RowTests[viewRow](item->Kind)) return true;
        StepOn(cursor);
    }
}

InventoryCursor* Inventory::RowCursor(int32_t viewRow) {
    switch (viewRow) {
    case kViewRowWeapons:
        return &WeaponCursor;
    case kViewRowAmmo:
        return &AmmoCursor;
    case kViewRowOther:
        return &OtherCursor;
    default:
        return nullptr;
    }
}

namespace {

// A page of three on: only when the three shown items are there and a fourth
// follows them; the cursor then stands on the fourth.
bool PageForward(const Inventory& inventory, int32_t row, InventoryCursor& cursor) {
    const InventoryCursor saved = cursor;
    for (int32_t i = 0; i < 4; ++i) {
        if (!inventory.SeekRow(row, cursor)) {
            cursor = saved;
            return false;
        }
        if (i < 3) StepOn(cursor);
    }
    return true;
}

// Up to three items of the row back; a step that meets the end marker leaves
// the cursor on the last item reached (on the first page: where it started).
bool PageBack(const Inventory&, int32_t row, InventoryCursor& cursor) {
    InventoryCursor lastGood = cursor;
    bool moved = false;
    for (int32_t i = 0; i < 3; ++i) {
        StepBack(cursor);
        while (!IsEndMarker(*cursor.Payload()) && !RowTests[row]((*cursor.Payload())->Kind)) StepBack(cursor);
        if (IsEndMarker(*cursor.Payload())) break;
        lastGood = cursor;
        moved = true;
    }
    cursor = lastGood;
    return moved;
}

} // namespace

bool Inventory::Scroll(bool rebuild, int32_t viewRow, PageMove page) {
    InventoryCursor* cursor = RowCursor(viewRow);
    if (!cursor) return false;
    if (rebuild) ReleaseViewModels();
    const bool moved = page(*this, viewRow, *cursor);
    if (moved && rebuild) EquipViewHooks.playSound(kScrollSound);
    if (rebuild) BuildViewModels();
    return moved;
}

bool Inventory::ScrollForward(bool rebuild, int32_t rowId) {
    return Scroll(rebuild, rowId - kScrollForwardWeapons, PageForward);
}

bool Inventory::ScrollBack(bool rebuild, int32_t rowId) {
    return Scroll(rebuild, rowId - kScrollBackWeapons, PageBack);
}

const char* MountPointName(int32_t mountSlot) {
    return mountSlot >= 0 && mountSlot < kMountSlotCount ? MountPointNames[mountSlot] : nullptr;
}

bool AttachItemModel(AwObject* object, const InventoryItem* item, int32_t mountSlot) {
    const char* part = MountPointName(mountSlot);
    if (!object || !item || !part) return false;
    if (mountSlot == 0) {
        if (!item->Model) return false;
        object->ReplaceSubModel(*item->Model, 0);
    } else {
        object->ReplaceSubShape(item->Shape, part);
    }
    return true;
}
