#include "Tv/sim/server_unit.h"

// What a unit does with the items it carries. The inventory is not built yet:
// every operation leaves the unit as it is.

void ServerUnit::EquipInFreeSlot(int32_t, bool) {}
void ServerUnit::EquipItem(int32_t, int32_t, bool) {}
void ServerUnit::RemoveItem(EquippedItem*) {}
void ServerUnit::UseItem(int32_t, bool) {}
void ServerUnit::DropItem(int32_t) {}
bool ServerUnit::CollectPickup(ServerObject*, bool) { return false; }
void ServerUnit::GiveItemTo(int32_t, int32_t, int32_t) {}
void ServerUnit::StepItemAction(uint64_t, Real) {}
EquippedItem* ServerUnit::FindEquippedItem(int32_t) { return nullptr; }
