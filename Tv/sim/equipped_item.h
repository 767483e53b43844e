#pragma once
// What a unit wears: one record per item put on its model, kept in the
// unit's Equipment list (the unit owns the records, the inventory the items).

#include <cstdint>

#include "core/mem.h"

class AwModel;
class AwShape;
struct InventoryItem;

// Mount slots: 0 the right arm, 1 the left arm, 2 to 9 the customisation
// model's "slota" to "sloth"; slots up to 12 (kMountSlotCount, inventory.h) are accepted.
constexpr int32_t kMountRightArm = 0;
constexpr int32_t kMountLeftArm = 1;
constexpr int32_t kMountFirstPoint = 2;
constexpr int32_t kMountLastFreePoint = 9; // the last one EquipInFreeSlot fills

struct EquippedItem : MemObject {
    AwShape* Shape = nullptr;      // the item's inventory shape
    AwModel* Model = nullptr;      // the item's model
    InventoryItem* Item = nullptr; // the inventory's
    int32_t Slot = 0;
    int32_t Kind = 0;
    int32_t SubKind = 0;
    int32_t SavedItemKey = 0; // a loaded record's inventory key until the fix-up finds the item
};
