#pragma once
// The ammunition bookkeeping that the server's bots and the client's twins
// share, so both count the same rounds: which stack of an inventory a weapon
// loads from, and what one salvo leaves in the magazine and its stack.

#include <cstdint>

class Inventory;
struct InventoryItem;
struct WeaponInstance;

// The ammunition type a weapon fires without items (it always holds one round).
constexpr int32_t kAmmoNoneNeeded = 18;
// Flares: only a weapon loaded with flares takes them, and it takes nothing else.
constexpr int32_t kAmmoFlares = 1;

struct AmmoStackChoice {
    InventoryItem* stack = nullptr; // null: nothing to load from
    bool otherType = false;         // the stack holds another type than the one loaded
};

// The fullest stack (the first of equals) of the loaded type that holds at
// least the weapon's salvo; failing one with rounds in it, the fullest stack of
// another type the weapon fires (a WeaponTable row of the pair) that holds at
// least that row's salvo. A stack without rounds is no choice.
AmmoStackChoice ChooseAmmoStack(const Inventory* inventory, const WeaponInstance& weapon);

enum class SalvoResult {
    Next,     // the magazine still holds a salvo
    Refilled, // the stack filled the magazine again (at most MagazineSize rounds)
    Spent,    // the stack holds less than a salvo; the magazine is 0
};
// One salvo off the magazine and off the stack, neither going below 0.
SalvoResult TakeSalvo(int32_t& magazine, InventoryItem& stack, const WeaponInstance& weapon);
