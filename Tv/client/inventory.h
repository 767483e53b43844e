#pragma once
// The items one character carries. The server's unit and the client's unit
// each keep an Inventory: a list of owned InventoryItem records grouped by
// kind and closed by an end marker, three capacity limits from the owner's
// character record, ammunition stacked per ammunition type, and three
// browsing cursors for the upgrade screen's rows (weapons, ammunition, other
// items). The view-model operations (BuildViewModels, PlaceViewModel,
// ReleaseViewModels) live with the equipment view (equipment_view.cpp).
//
// An inventory has no lock: the server's are used on the server thread, the
// client's on the main thread.

#include <cstdint>

#include "core/list.h"
#include "core/mem.h"

class AwModel;
class AwObject;
class AwShape;
class RefCounted;
struct ObjectDefinition;

// What an item is; the inventory groups items by it. Kind 1 is unused.
enum ItemKind : int32_t {
    IK_REPAIR = 0,     // Value = health restored on use
    IK_NOT_STORED = 2, // AddItem ignores it; RoomFor always answers room
    IK_SHIELD = 3,     // Value = MaxCount = base value, Count = shield amount
    IK_WEAPON = 4,     // SubType = weapon type
    IK_MINE_LAYER = 5, // SubType = mine type, Value = uses left
    IK_AMMO = 6,       // one stack of one ammunition type
    IK_MODULE = 7,     // SubType selects the effect when mounted
    IK_MODULE_2 = 8,
    IK_ARMOUR = 9, // as a shield, the amount going to armour
};

// Mine types of a mine layer's SubType.
constexpr int32_t kMineTypeProximity = 0; // "mine"
constexpr int32_t kMineTypeRemote = 1;    // "remote_mine"
constexpr int32_t kMineTypeTimed = 2;     // "timed_mine"
constexpr int32_t kMineTypeDecoy = 3;     // "decoy"
constexpr int32_t kMineTypeEmp = 4;       // "EMP_mine"

// The end marker's SubType and DefinitionId.
constexpr int32_t kEndMarkerSubType = 33;
constexpr int32_t kEndMarkerDefinitionId = 0x7fffffff;

// One carried item. The fields that hold pointers are rebuilt, never read
// from a file (the saved game's record is written field by field).
struct InventoryItem : MemObject {
    int32_t Kind = 0;              // an ItemKind
    AwModel* Model = nullptr;      // the item's look (the definition's or the ammunition row's); no use held
    AwShape* Shape = nullptr;      // likewise
    AwObject* ViewModel = nullptr; // shown in the equipment view; one use held
    RefCounted* Panel = nullptr;   // the interface panel a mounted module keeps; one use held
    const char* Name = nullptr;    // string table text, not owned
    // Ammunition: the ammunition type; mine layer: uses left; other kinds: the base value.
    int32_t Value = 0;
    int32_t DefinitionId = 0; // ammunition: minus the ammunition type
    int32_t SubType = 0;      // the definition's character "weapon"; ammunition: the ammunition type
    int32_t ItemId = 0;       // the key messages and orders name the item by
    // Shield and armour: the base value; ammunition: the type's MaxPerSlot; others 0.
    int32_t MaxCount = 0;
    // Shield and armour: the amount; ammunition: the rounds held; others: the count given when added, else 0.
    int32_t Count = 0;
    int32_t LimitMask = 0;   // the definition's "limit" bits
    int32_t DeathAction = 0; // the pickup record's "action on death"; 0 without one
};

// Whether the entry is an inventory's end marker (searches, counts and cursors stop at it).
bool IsEndMarker(const InventoryItem* item);

using InventoryCursor = ListIterator<InventoryItem*>;

// Row ids of the scrolling operations: back 17..19, forward 20..22, each
// weapons, ammunition, other items in that order.
constexpr int32_t kScrollBackWeapons = 17;
constexpr int32_t kScrollBackAmmo = 18;
constexpr int32_t kScrollBackOther = 19;
constexpr int32_t kScrollForwardWeapons = 20;
constexpr int32_t kScrollForwardAmmo = 21;
constexpr int32_t kScrollForwardOther = 22;

// The upgrade screen's rows, as the equipment view numbers them.
constexpr int32_t kViewRowWeapons = 0;
constexpr int32_t kViewRowAmmo = 1;
constexpr int32_t kViewRowOther = 2;
constexpr int32_t kViewRowCount = 3;

// An answer of RoomFor: there is room for any amount.
constexpr int32_t kRoomUnlimited = -1;

class Inventory : public MemObject {
public:
    // Limits from the owner definition's character record (all 0 without
    // one); the list holds the end marker only and the cursors stand on it.
    Inventory(int32_t ownerWeaponType, const ObjectDefinition* ownerDefinition);
    // Frees every item (each releasing its ViewModel and Panel) and the end
    // marker, then releases Plate and PanelModel.
    ~Inventory();
    Inventory(const Inventory&) = delete;
    Inventory& operator=(const Inventory&) = delete;

    // Adds an item made from a pickup definition: base value = floor(the
    // character's walking speed / 65536), sub-type = its "weapon". A count of
    // -1 means none given (shields, armour and ammunition then take the base
    // value). Ammunition goes to AddAmmo. Kind IK_NOT_STORED, a definition
    // without a character record, or ammunition of a type outside the table
    // add nothing. Does not check MaxWeapon or MaxModule (RoomFor does).
    void AddItem(int32_t kind, const ObjectDefinition* definition, int32_t itemId, int32_t count);
    // Tops up every stack of the type in list order, then opens at most one
    // new stack under `itemId` when fewer than MaxAmmo stacks exist; what
    // does not fit is lost. A type outside 0..18 adds nothing.
    void AddAmmo(int32_t ammoType, int32_t amount, int32_t itemId);
    // An empty stack of the type (look, MaxCount and name from its AmmoTypeTable
    // row), inserted by kind; null (nothing added) for a type outside 0..18.
    InventoryItem* NewAmmoStack(int32_t ammoType, int32_t itemId);
    // Inserts a whole item by kind; the inventory takes it over.
    void InsertItem(InventoryItem* item);
    // Takes the item out of the list and hands it to the caller (a whole item
    // moving to another inventory); the cursors return to the first entry and
    // the upgrade screen's selection is cleared when it was this item.
    InventoryItem* UnlinkItem(InventoryItem* item);
    // Unlinks and frees the item: its ViewModel and Panel lose their use and
    // the selection and view slots that show it are cleared. While the
    // equipment view is open the caller still releases the view models before
    // a change and builds them after it. Not an item of this list: nothing.
    void RemoveItem(InventoryItem* item);
    // Removes the first item with that id; none: nothing.
    void RemoveItemById(int32_t itemId);

    // The first item (list order) with that id, or null.
    InventoryItem* FindItem(int32_t itemId) const;
    bool HasAmmoType(int32_t ammoType) const;
    // The first item with that id gets Value = value; none: nothing.
    void SetItemValue(int32_t itemId, int32_t value);
    // The items of the definition of that name (any case); 0 when no definition has it.
    int32_t CountCarried(const char* definitionName) const;
    // The room for an item of a kind: kRoomUnlimited (-1), or an amount.
    // Weapons against MaxWeapon, ammunition stacks against MaxAmmo (at the
    // limit: the free rounds in the stacks of type `key`; 0 for a type
    // outside 0..18), every other stored kind together against MaxModule.
    int32_t RoomFor(int32_t kind, int32_t key) const;
    // RoomFor(kind, the definition's character "weapon"); 0 without a character record.
    int32_t RoomForDefinition(int32_t kind, const ObjectDefinition* definition) const;
    // The real items (the list's entries less the end marker).
    int32_t ItemCount() const { return Items.Count() - 1; }

    // Advance the cursor, from its own entry, to the next item of the row
    // (weapons: kind 4; ammunition: kind 6; other: any kind but 2, 4, 6) and
    // answer true; at the end marker they stay there and answer false.
    bool SeekWeapon(InventoryCursor& cursor) const { return SeekRow(kViewRowWeapons, cursor); }
    bool SeekAmmo(InventoryCursor& cursor) const { return SeekRow(kViewRowAmmo, cursor); }
    bool SeekOther(InventoryCursor& cursor) const { return SeekRow(kViewRowOther, cursor); }
    // The same by view row (kViewRow...); false for another row.
    bool SeekRow(int32_t viewRow, InventoryCursor& cursor) const;
    // The cursor of a view row (kViewRow...), or null for another row.
    InventoryCursor* RowCursor(int32_t viewRow);
    // A page of three items on (succeeds only when a fourth item follows the
    // three shown) or back; with `rebuild` the view models are released
    // before and built after, and a move plays the scroll sound. An unknown
    // row id moves nothing. Answers whether the cursor moved.
    bool ScrollForward(bool rebuild, int32_t rowId);
    bool ScrollBack(bool rebuild, int32_t rowId);

    // The equipment view (equipment_view.cpp). Build places the first up to
    // three items of each row from its cursor into the view slots (column 0..2,
    // row 0 weapons, 1 ammunition, 2 other); Release frees every item's
    // ViewModel and clears the nine view slots.
    void BuildViewModels();
    void ReleaseViewModels();
    // Makes the item's ViewModel when missing (from Model, else Shape; neither:
    // nothing happens), puts it in view slot row + 3 x column, scales it to
    // the row's size and places it at the slot's screen position.
    void PlaceViewModel(InventoryItem* item, int32_t column, int32_t row);

    RefCounted* Plate = nullptr;        // the interface's character plate; one use held
    int32_t OwnerWeaponType = 0;        // what the owner goes back to when an arm item comes off
    int32_t MaxWeapon = 0;              // most weapon items
    int32_t MaxAmmo = 0;                // most ammunition stacks
    int32_t MaxModule = 0;              // most items of the other stored kinds
    AwObject* PanelModel = nullptr;     // an interface panel's model of the character; one use held
    List<InventoryItem*> Items;         // owned, grouped by kind, always ending with the end marker
    InventoryCursor OtherCursor{Items}; // first shown item of each upgrade-screen row
    InventoryCursor WeaponCursor{Items};
    InventoryCursor AmmoCursor{Items};

private:
    // Inserts before the first item of the kind, else at the front; cursors to the first entry.
    void InsertByKind(InventoryItem* item);
    void ResetCursors();
    // The node of a real item of this list, or null.
    ListNode<InventoryItem*>* NodeOf(const InventoryItem* item) const;
    // The real items whose kind passes the test.
    int32_t CountItems(bool (*test)(int32_t kind)) const;
    // Moves a view row's cursor by a page with the view models released
    // around the move when `rebuild` is set; answers whether it moved.
    using PageMove = bool (*)(const Inventory&, int32_t viewRow, InventoryCursor& cursor);
    bool Scroll(bool rebuild, int32_t viewRow, PageMove page);
};

// Mount points: the model part an item of each mount slot attaches at. Slot
// 0 attaches by the item model's own part names.
constexpr int32_t kMountSlotCount = 13;
extern const char* const MountPointNames[kMountSlotCount];
// The part name of a mount slot; null for a slot outside 0..12.
const char* MountPointName(int32_t mountSlot);
// Attaches the item's look to the object: slot 0 replaces the parts named
// like the item model's own (its Model), other slots replace the slot's part
// with the item's Shape. A slot outside 0..12, or slot 0 for an item without
// a Model, attaches nothing and answers false; otherwise true.
bool AttachItemModel(AwObject* object, const InventoryItem* item, int32_t mountSlot);

// The id the next new inventory item takes (the level load sets it to 0).
extern int32_t NextInventoryItemId;
// Answers NextInventoryItemId and raises it by one.
int32_t TakeInventoryItemId();

// The upgrade screen's selected item (main thread), or null; removing that item clears it.
extern InventoryItem* SelectedInventoryItem;
