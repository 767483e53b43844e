#pragma once
// The squad carry-over's entry points that a dying unit of the player's squad
// calls: the robot, then each item it keeps for the next level. The list they
// fill belongs to the level flow; until it exists, an installed hook takes the
// calls, and without one they are dropped.

class ServerObject;
struct InventoryItem;

struct SquadCarryOverHooks {
    void (*addRobot)(const ServerObject& actor) = nullptr;
    // The item is still in the dying unit's inventory; copy what is kept.
    void (*addItem)(const InventoryItem& item) = nullptr;
};

// Installs the hooks (a default-constructed record removes them).
void SetSquadCarryOverHooks(const SquadCarryOverHooks& hooks);

namespace SquadCarryOver {

void AddRobot(const ServerObject& actor);
void AddItem(const InventoryItem& item);

} // namespace SquadCarryOver
