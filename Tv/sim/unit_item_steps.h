#pragma once
// Steps that the unit's item operations share across their files
// (unit_items.cpp, unit_item_actions.cpp, unit_item_transfer.cpp and the
// death's inventory step in unit_damage.cpp).

#include <cstdint>

class ServerUnit;
struct InventoryItem;
struct ObjectDefinition;

// Whether the item's "limit" bits meet the unit's definition's: its character may not use it.
bool IsRestricted(const ServerUnit& unit, const InventoryItem& item);
// The carried item with that key, or null (also for a unit without an
// inventory).
InventoryItem* FindCarriedItem(const ServerUnit& unit, int32_t itemKey);
// Takes the item off wherever the unit wears it.
void TakeOffItem(ServerUnit& unit, const InventoryItem& item);
// Everything that still points at an item which is about to leave the
// inventory lets go of it: the unit takes it off, a bot loading from it
// empties its magazine, and a mine laying with it ends without a mine.
void LetGoOfItem(ServerUnit& unit, const InventoryItem& item);
// LetGoOfItem, then the item is taken out of the inventory and freed.
void DiscardItem(ServerUnit& unit, InventoryItem* item);
// Broadcasts the 12 bytes {type, unit id, value}, guaranteed: an item used,
// dropped or used up (the value its key), or no room (the value the item kind).
void BroadcastItemEvent(int32_t type, const ServerUnit& unit, int32_t value);
// Notice `stringId` and the refusal cue to the player of the unit's team.
void RefuseItem(const ServerUnit& unit, int16_t stringId);

// The mine layer's use: the kneeling starts (unit_item_actions.cpp).
void StartMineLaying(ServerUnit& unit, InventoryItem& item, const ObjectDefinition& mine);
// A special module's use: the disguise or the cloak; other modules do nothing.
void UseSpecialModule(ServerUnit& unit, InventoryItem& item);

// What a dying unit's items become (unit_death_items.cpp): pickups, the squad
// carry-over, or lost.
void LeaveItemsAtDeath(ServerUnit& unit);
