// What the bot takes from the items it carries: the ammunition stack its
// magazine is filled from, the worn shield and armour items that soak up
// damage, and the decoys it launches.
#include <algorithm>
#include <cmath>

#include "Tv/client/ammo_stacks.h"
#include "Tv/client/inventory.h"
#include "Tv/client/teamtable.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/projectile_launch.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/unit_item_steps.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

constexpr Real kDecoySpeed = 17.1f;
constexpr int32_t kAnySubKind = -1;
constexpr int32_t kModuleOffWhileAttacking = 4;
constexpr Vector3 kDecoyDrop{0, -1, 0}; // one unit above the bot (y grows downward)

// The first worn item of that kind and sub-kind (kAnySubKind: any), or null.
EquippedItem* FirstWorn(List<EquippedItem*>& equipment, int32_t kind, int32_t subKind) {
    for (EquippedItem* worn : equipment)
        if (worn->Kind == kind && (subKind == kAnySubKind || worn->SubKind == subKind) && worn->Item) return worn;
    return nullptr;
}

} // namespace

InventoryItem* ServerBot::FirstCarried(int32_t kind, int32_t subType) const {
    if (!Inventory) return nullptr;
    for (InventoryItem* item : Inventory->Items) {
        if (IsEndMarker(item)) break;
        if (item->Kind == kind && item->SubType == subType) return item;
    }
    return nullptr;
}

SelectAmmoResult ServerBot::SelectAmmo() {
    AmmoItem = nullptr;
    if (!Weapon) return kAmmoSameType;
    if (Weapon->AmmoType == kAmmoTypeNoItem) {
        MagazineCount = 1;
        return kAmmoSameType;
    }
    const AmmoStackChoice choice = ChooseAmmoStack(Inventory, *Weapon);
    if (!choice.stack) return kAmmoNone;
    AmmoItem = choice.stack;
    if (choice.otherType) Weapon->SetAmmoType(choice.stack->Value);
    MagazineCount = static_cast<uint32_t>(std::min(choice.stack->Count, Weapon->MagazineSize));
    return choice.otherType ? kAmmoSwitched : kAmmoSameType;
}

ConsumeShotResult ServerBot::ConsumeShot() {
    if (!AmmoItem || !Weapon) {
        std::swap(MuzzleHotspot, OtherMuzzleHotspot);
        return kShotNext;
    }
    int32_t magazine = static_cast<int32_t>(MagazineCount);
    const SalvoResult salvo = TakeSalvo(magazine, *AmmoItem, *Weapon);
    MagazineCount = static_cast<uint32_t>(magazine);
    if (salvo == SalvoResult::Next) return kShotNext;
    if (salvo == SalvoResult::Refilled) return kShotReloaded;
    if (AmmoItem->Count == 0) DiscardItem(*this, AmmoItem);
    return SelectAmmo() == kAmmoNone ? kShotEmpty : kShotReloaded;
}

void ServerBot::DrainArmourItems(Real amount) { DrainWornItems(IK_ARMOUR, amount); }

void ServerBot::DrainShieldItems(Real amount) {
    if (Team == kComputerTeam) {
        Shield = std::max(0.0f, Shield - amount);
        return;
    }
    DrainWornItems(IK_SHIELD, amount);
}

void ServerBot::DrainWornItems(int32_t kind, Real amount) {
    // Each round uses an item up or ends the walk; the bound keeps an item
    // that fails to come off from holding the walk.
    for (int32_t rounds = Equipment.Count(); rounds > 0; --rounds) {
        EquippedItem* worn = FirstWorn(Equipment, kind, kAnySubKind);
        if (!worn) return;
        InventoryItem* item = worn->Item;
        if (amount < static_cast<Real>(item->Count)) {
            const int32_t spent = FloorToInt(amount);
            item->Count -= spent;
            if (kind == IK_SHIELD)
                Shield -= static_cast<Real>(spent);
            else
                Armour -= static_cast<Real>(spent);
            ByteWriter message = ActorMessage(kind == IK_SHIELD ? kMsgShieldItemCount : kMsgArmourItemCount, Id);
            message.I32(item->ItemId);
            message.I32(item->Count);
            TvBroadcast(message, UserMatchSettings.NetDetailLevel == 0);
            return;
        }
        amount -= static_cast<Real>(item->Count);
        BroadcastItemEvent(kMsgItemGone, *this, item->ItemId);
        DiscardItem(*this, item); // taking it off takes its worth from Shield or Armour
    }
}

void ServerBot::TakeOffAttackModule() {
    if (EquippedItem* worn = FirstWorn(Equipment, IK_MODULE, kModuleOffWhileAttacking)) RemoveItem(worn);
}

void ServerBot::LaunchDecoy(const Vector3& point) {
    if (Dead) return;
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) return;
    // The clients use up a decoy for message 146 whenever they find one, so
    // the carried one goes even in a level that cannot fire it.
    if (InventoryItem* decoy = FirstCarried(IK_MINE_LAYER, kMineTypeDecoy)) {
        if (--decoy->Value <= 0) DiscardItem(*this, decoy);
        Vector3 from;
        if (!MuzzleAt(GameClock.GetTime(), from)) from = Position + kDecoyDrop;
        TvFireProjectile(DefinitionRegistry::FindByName("decoy_projectile"), from, point, Id, -1, Team, kWeaponTypeNone,
                         kDecoySpeed);
    }
    SetOrientation(HeadingRotation(std::atan2(point.x - Position.x, point.z - Position.z) * AngleUnitsPerRadian));
    WithheldShots = 0;
    ByteWriter message = ActorMessage(kMsgBotDecoy, Id);
    message.F32(point.x);
    message.F32(point.y);
    message.F32(point.z);
    TvBroadcast(message, false);
}
