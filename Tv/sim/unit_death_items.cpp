// What becomes of a unit's items when it dies (once, at its first OnDeath): in
// the player's story and cooperative games the squad keeps some for the next
// level and about half the rest lie where the unit fell; otherwise everything
// is dropped.
#include <vector>

#include "Tv/client/inventory.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_options.h"
#include "Tv/server/game_settings.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/squad_carry_over.h"
#include "Tv/sim/unit_item_steps.h"
#include "core/random.h"

namespace {

// An item's death action: always dropped, or kept for the next level; any other
// value takes its chance.
constexpr int32_t kDeathActionDrop = 1;
constexpr int32_t kDeathActionCarryOver = 2;

InventoryItem* FirstItem(const Inventory& inventory) {
    InventoryItem* first = inventory.Items.Front(); // the end marker at least
    return IsEndMarker(first) ? nullptr : first;
}

// Every drop takes an item or one pickup's worth of it, so this ends.
void DropEverything(ServerUnit& unit) {
    while (InventoryItem* item = FirstItem(*unit.Inventory))
        unit.DropItem(item->ItemId);
}

void LeaveSquadItems(ServerUnit& unit) {
    Inventory& inventory = *unit.Inventory;
    int32_t toDrop = inventory.ItemCount() / 2;
    std::vector<InventoryItem*> items;
    for (InventoryItem* item : inventory.Items)
        if (!IsEndMarker(item)) items.push_back(item);
    bool robotRecorded = false;
    for (InventoryItem* item : items) {
        if (item->DeathAction == kDeathActionDrop) {
            unit.DropItem(item->ItemId);
            --toDrop;
        } else if (item->DeathAction == kDeathActionCarryOver) {
            if (!robotRecorded) SquadCarryOver::AddRobot(unit);
            robotRecorded = true;
            SquadCarryOver::AddItem(*item);
            DiscardItem(unit, item);
        }
    }
    if (toDrop > 0 && toDrop < inventory.ItemCount()) {
        for (int32_t i = 0; i < toDrop; ++i) {
            const uint32_t r = RandomGenerator::ForCallingThread().Draw();
            const auto index = static_cast<int32_t>(r / 2 % static_cast<uint32_t>(inventory.ItemCount()));
            unit.DropItem((*inventory.Items.At(index))->ItemId);
        }
        while (InventoryItem* item = FirstItem(inventory))
            DiscardItem(unit, item); // lost with the unit
    } else if (toDrop > 0) {
        DropEverything(unit);
    }
    if (unit.AiCore == kAiCoreBot) {
        ++GameOptions.MissionStats[kStatLevelLosses];
        ++GameOptions.MissionStats[kStatTotalLosses];
    }
}

} // namespace

void LeaveItemsAtDeath(ServerUnit& unit) {
    const bool squadGame = CurrentGameType == kGameStory || CurrentGameType == kGameCooperative;
    if (squadGame && TeamTable::IsPlayerTeam(unit.Team)) {
        LeaveSquadItems(unit);
    } else {
        DropEverything(unit);
    }
}
