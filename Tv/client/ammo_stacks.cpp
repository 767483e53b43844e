#include "Tv/client/ammo_stacks.h"

#include <algorithm>

#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"

namespace {

// The ammunition stack holding the most rounds (the first of equals) among
// those of a type `salvoOf` accepts that hold at least that type's salvo;
// `salvoOf` answers -1 for a type it does not accept.
template <class SalvoOf> InventoryItem* FullestStack(const Inventory* inventory, SalvoOf salvoOf) {
    if (!inventory) return nullptr;
    InventoryItem* fullest = nullptr;
    for (InventoryItem* item : inventory->Items) {
        if (IsEndMarker(item)) break;
        if (item->Kind != IK_AMMO) continue;
        const int32_t salvo = salvoOf(item->Value);
        if (salvo < 0 || item->Count < salvo) continue;
        if (!fullest || item->Count > fullest->Count) fullest = item;
    }
    return fullest;
}

} // namespace

AmmoStackChoice ChooseAmmoStack(const Inventory* inventory, const WeaponInstance& weapon) {
    const int32_t loaded = weapon.AmmoType;
    InventoryItem* stack =
        FullestStack(inventory, [&](int32_t type) { return type == loaded ? weapon.SalvoSize : -1; });
    if (stack && stack->Count > 0) return {stack, false};
    stack = FullestStack(inventory, [&](int32_t type) {
        const WeaponParameters* row = WeaponTableRow(weapon.WeaponType, type);
        const bool interchangeable = (type == kAmmoFlares) == (loaded == kAmmoFlares);
        return row && interchangeable ? row->salvoSize : -1;
    });
    if (!stack || stack->Count <= 0) return {};
    return {stack, true};
}

SalvoResult TakeSalvo(int32_t& magazine, InventoryItem& stack, const WeaponInstance& weapon) {
    const int32_t salvo = std::max(weapon.SalvoSize, 0);
    magazine = std::max(magazine - salvo, 0);
    stack.Count = std::max(stack.Count - salvo, 0);
    if (magazine >= salvo) return SalvoResult::Next;
    if (stack.Count >= weapon.MagazineSize) {
        magazine = weapon.MagazineSize;
        return SalvoResult::Refilled;
    }
    if (stack.Count >= salvo) {
        magazine = stack.Count;
        return SalvoResult::Refilled;
    }
    magazine = 0;
    return SalvoResult::Spent;
}
