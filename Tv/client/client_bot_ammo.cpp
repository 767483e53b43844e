// The bot's weapon and magazine: readying a weapon, reloading from the
// inventory's ammunition and counting the rounds of each shot.
#include <algorithm>
#include <utility>

#include "Tv/client/ammo_stacks.h"
#include "Tv/client/client_bot.h"
#include "Tv/client/equipment_view.h"
#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/server/game_settings.h"

namespace {

constexpr uint32_t kAmmoSwitchedText = 12041;
constexpr uint32_t kOutOfAmmoText = 12043;

// A change to the bot's inventory while the equipment view shows it: the
// view's models are released before and built again after.
template <class Change> void ChangeShownInventory(Inventory* inventory, Change change) {
    const bool shown = inventory && EquipViewModel && EquipViewInventory == inventory;
    if (shown) inventory->ReleaseViewModels();
    change();
    if (shown) inventory->BuildViewModels();
}

} // namespace

void ClientBot::ReadyWeapon() {
    if (!Weapon) return;
    Weapon->SetDefaultAmmo();
    if (!UnitInventory || !HasCustomisation()) {
        RoundsInMagazine = 1; // a character without an ammunition inventory never runs dry
        return;
    }
    ChangeShownInventory(UnitInventory, [this] {
        RoundsInMagazine = 0;
        Reload();
    });
    if (JoinsLocalTeam() && !AmmoItem && Weapon->AmmoType != kAmmoNoneNeeded) ShowNamedStatus(kOutOfAmmoText);
}

int32_t ClientBot::Reload() {
    AmmoItem = nullptr;
    if (!Weapon) return kReloadSameType;
    if (Weapon->AmmoType == kAmmoNoneNeeded) {
        RoundsInMagazine = 1;
        return kReloadSameType;
    }
    const AmmoStackChoice choice = ChooseAmmoStack(UnitInventory, *Weapon);
    if (!choice.stack) return kReloadEmpty;
    AmmoItem = choice.stack;
    if (choice.otherType) Weapon->SetAmmoType(choice.stack->Value);
    RoundsInMagazine = std::min(choice.stack->Count, Weapon->MagazineSize);
    return choice.otherType ? kReloadSwitched : kReloadSameType;
}

int32_t ClientBot::UseRound() {
    if (!AmmoItem || !Weapon) {
        std::swap(HotspotName, OtherHotspotName); // shots alternate between the two hotspots
        return kReloadSameType;
    }
    const SalvoResult salvo = TakeSalvo(RoundsInMagazine, *AmmoItem, *Weapon);
    if (salvo == SalvoResult::Next) return kReloadSameType;
    if (salvo == SalvoResult::Refilled) return kReloadSwitched;
    int32_t reload = kReloadEmpty;
    ChangeShownInventory(UnitInventory, [&] {
        RoundsInMagazine = 0;
        if (AmmoItem->Count == 0 && UnitInventory) UnitInventory->RemoveItem(AmmoItem);
        reload = Reload();
    });
    const bool local = Team == LocalTeam;
    if (reload == kReloadEmpty) {
        if (local) ShowNamedStatus(kOutOfAmmoText);
        return kReloadEmpty;
    }
    if (local && reload == kReloadSwitched) ShowNamedStatus(kAmmoSwitchedText);
    return kReloadSwitched;
}

void ClientBot::ChangeAmmoType(int32_t ammoType) {
    if (!Weapon) return;
    Weapon->SetAmmoType(ammoType);
    RoundsInMagazine = 0;
    Reload();
}
