#include "Tv/sim/squad_carry_over.h"

namespace {

SquadCarryOverHooks installed;

} // namespace

void SetSquadCarryOverHooks(const SquadCarryOverHooks& hooks) { installed = hooks; }

namespace SquadCarryOver {

void AddRobot(const ServerObject& actor) {
    if (installed.addRobot) installed.addRobot(actor);
}

void AddItem(const InventoryItem& item) {
    if (installed.addItem) installed.addItem(item);
}

} // namespace SquadCarryOver
