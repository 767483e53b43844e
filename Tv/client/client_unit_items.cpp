// The unit's items as the server reports them: mounted on the model, used,
// given, dropped and picked up. Items the inventory does not hold, and
// receivers without an inventory, are ignored.
#include <cmath>

#include "Awapi/model/model_node.h"
#include "Awapi/object.h"
#include "Tv/client/client_object_parts.h"
#include "Tv/client/client_unit.h"
#include "Tv/client/equipment_view.h"
#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/server/game_settings.h"
#include "core/numeric.h"

namespace {

constexpr int32_t kSoundArmed = 27;    // a shield, weapon or armour mounted
constexpr int32_t kSoundSensor = 28;   // a sight module mounted
constexpr int32_t kSoundRepaired = 26; // a repair item used
constexpr int32_t kSoundHandedOn = 55; // an item given or dropped
constexpr int32_t kSoundUnmounted = 120;
constexpr int32_t kFirstBodySlot = 2;  // slots 0 and 1 are the arms
constexpr int32_t kRefusedForBots = 4; // a module sub-kind a bot cannot mount
constexpr int32_t kSightModule = 3;    // module sub-kind: a sight bonus
constexpr int32_t kSpeedOne = 65536;
constexpr const char* kShieldPickupName = "shield_pickup";
constexpr const char* kArmPartNames[2] = {"Upper Arm Right", "Upper Arm Left"};

bool IsModule(int32_t kind) { return kind == IK_MODULE || kind == IK_MODULE_2; }

// The body slots take shields, modules and armour only.
bool SlotTakes(int32_t mountSlot, int32_t kind) {
    return mountSlot < kFirstBodySlot || kind == IK_SHIELD || IsModule(kind) || kind == IK_ARMOUR;
}

// The upgrade screen's copy of the unit, while the screen shows it.
AwObject* ShownCopy(const ClientUnit& unit) { return EquipViewUnit == &unit ? EquipViewModel : nullptr; }

// While the upgrade screen shows the unit's inventory, its item views are
// released around a change and built again after it.
class ItemViewsRebuilt {
public:
    explicit ItemViewsRebuilt(const ClientUnit& unit)
        : inventory_(EquipViewUnit == &unit && EquipViewInventory == unit.UnitInventory ? unit.UnitInventory
                                                                                        : nullptr) {
        if (inventory_) inventory_->ReleaseViewModels();
    }
    ~ItemViewsRebuilt() {
        if (inventory_) inventory_->BuildViewModels();
    }
    ItemViewsRebuilt(const ItemViewsRebuilt&) = delete;
    ItemViewsRebuilt& operator=(const ItemViewsRebuilt&) = delete;

private:
    Inventory* inventory_;
};

void PlayAnnounced(bool announce, int32_t sample, const ClientUnit& unit) {
    if (announce && unit.Team == LocalTeam) PlaySoundAtObject(sample, unit);
}

int32_t ItemsPerPickup(const ObjectDefinition& definition) {
    return definition.character ? definition.character->walkingSpeed / kSpeedOne : 0;
}

} // namespace

// ---- Mounting ----

MountedItem* ClientUnit::FindMounted(int32_t itemId) const {
    for (MountedItem* mounted : MountedItems)
        if (mounted->Item && mounted->Item->ItemId == itemId) return mounted;
    return nullptr;
}

void ClientUnit::MountItem(int32_t mountSlot, int32_t itemId, bool announce) {
    TvRemoveShadowCaster(this);
    InventoryItem* item = UnitInventory ? UnitInventory->FindItem(itemId) : nullptr;
    if (!item || !MountPointName(mountSlot)) return;
    if (!SlotTakes(mountSlot, item->Kind)) return;
    if (item->SubType == kRefusedForBots && IsModule(item->Kind) && GetBotFlag()) return;
    if (Definition && (item->LimitMask & Definition->limit)) return;

    for (auto it = MountedItems.begin(); it != MountedItems.end();) {
        MountedItem* mounted = *it;
        ++it; // the entry may leave the list
        if (mounted->MountSlot == mountSlot || mounted->Item == item) UnmountItem(mounted);
    }
    auto* mounted = new MountedItem;
    mounted->ItemModel = item->Model;
    mounted->ItemShape = item->Shape;
    mounted->Item = item;
    mounted->MountSlot = mountSlot;
    mounted->Kind = item->Kind;
    mounted->SubType = item->SubType;
    MountedItems.PushBack(mounted);
    AttachItemModel(Model, item, mountSlot);
    if (AwObject* copy = ShownCopy(*this)) AttachItemModel(copy, item, mountSlot);

    switch (item->Kind) {
    case IK_SHIELD:
        SetShield(GetShield() + static_cast<Real>(item->Count));
        PlayAnnounced(announce, kSoundArmed, *this);
        break;
    case IK_WEAPON:
        SetWeaponKind(item->SubType);
        PlayAnnounced(announce, kSoundArmed, *this);
        break;
    case IK_ARMOUR:
        SetArmour(GetArmour() + static_cast<Real>(item->Count));
        PlayAnnounced(announce, kSoundArmed, *this);
        break;
    case IK_MODULE:
    case IK_MODULE_2:
        if (item->SubType == kSightModule) {
            AddSightBonus(static_cast<Real>(item->Value));
            PlayAnnounced(announce, kSoundSensor, *this);
        }
        break;
    default:
        break;
    }
    TvBuildShadowCaster(this);
}

void ClientUnit::UnmountItem(MountedItem* mounted) {
    if (!mounted || !MountedItems.Contains(mounted)) return;
    InventoryItem* item = mounted->Item;
    AwObject* copy = ShownCopy(*this);
    if (mounted->MountSlot < kFirstBodySlot) {
        // An arm puts back the customisation model's own arm part.
        const char* arm = kArmPartNames[mounted->MountSlot];
        AwModel* part = CustomisationModel ? CustomisationModel->FindNode(arm) : nullptr;
        if (part && Model) Model->ReplaceSubModel(*part, 0);
        if (part && copy) copy->ReplaceSubModel(*part, 0);
        if (UnitInventory) SetWeaponKind(UnitInventory->OwnerWeaponType);
    } else {
        switch (mounted->Kind) {
        case IK_SHIELD:
            SetShield(GetShield() - static_cast<Real>(item->Count));
            break;
        case IK_ARMOUR:
            SetArmour(GetArmour() - static_cast<Real>(item->Count));
            break;
        case IK_MODULE:
        case IK_MODULE_2:
            if (mounted->SubType == kSightModule) AddSightBonus(-static_cast<Real>(item->Value));
            break;
        default:
            break;
        }
        const char* point = MountPointName(mounted->MountSlot);
        if (Model) Model->DeleteSubShape(point);
        if (copy) copy->DeleteSubShape(point);
    }
    if (SelectedInventoryItem == item && item) SelectedInventoryItem = nullptr;
    PlaySoundAtObject(kSoundUnmounted, *this);
    MountedItems.RemoveValue(mounted);
    delete mounted;
}

// ---- Using, giving, dropping, picking up ----

void ClientUnit::UseItem(int32_t itemId, bool announce) {
    InventoryItem* item = UnitInventory ? UnitInventory->FindItem(itemId) : nullptr;
    if (!item || (Definition && (item->LimitMask & Definition->limit))) return;
    ItemViewsRebuilt views(*this);
    switch (item->Kind) {
    case IK_REPAIR: {
        const Real healed = Health + static_cast<Real>(item->Value);
        Health = healed < Character->strength ? healed : Character->strength;
        UnitInventory->RemoveItem(item);
        if (announce) PlaySoundAtObject(kSoundRepaired, *this);
        break;
    }
    case IK_WEAPON:
        if (AwObject* copy = ShownCopy(*this))
            for (const MountedItem* mounted : MountedItems)
                if (mounted->Item == item && mounted->MountSlot != 0)
                    copy->DeleteSubShape(MountPointName(mounted->MountSlot));
        break;
    case IK_AMMO: {
        const WeaponInstance* weapon = GetWeapon();
        if (IsBot() && weapon && WeaponTableRow(weapon->WeaponType, item->SubType))
            ClientBotChangeAmmoType(this, item->SubType);
        break;
    }
    default:
        break; // a mine layer: the server lays the mine
    }
}

void ClientUnit::GiveItem(int32_t itemId, int32_t receiverId, int32_t count, int32_t extra) {
    InventoryItem* item = UnitInventory ? UnitInventory->FindItem(itemId) : nullptr;
    ClientUnit* receiver = AsClientUnit(TvFindClientObject(receiverId));
    if (!item || !receiver || !receiver->UnitInventory || receiver == this) return;
    PlaySoundAtObject(kSoundHandedOn, *this);
    ItemViewsRebuilt views(*this);
    if (SelectedInventoryItem == item) SelectedInventoryItem = nullptr;
    // As the server decides it: less than the whole stack or mine layer stays partly with the giver.
    const bool partial = count != kRoomUnlimited && ((item->Kind == IK_MINE_LAYER && count < item->Value) ||
                                                     (item->Kind == IK_AMMO && count < item->Count));
    TransferItem(item, *receiver, count, !partial, extra);
}

void ClientUnit::TransferItem(InventoryItem* item, ClientUnit& receiver, int32_t count, bool whole, int32_t extra) {
    Inventory* theirs = receiver.UnitInventory;
    if (!UnitInventory || !theirs || count == 0 || count < kRoomUnlimited) return;
    if (whole) {
        UnmountItem(FindMounted(item->ItemId));
        UnitInventory->UnlinkItem(item);
        if (item->Kind == IK_AMMO) {
            theirs->AddAmmo(item->Value, item->Count, extra); // merges into the receiver's stacks
            delete item;
        } else {
            theirs->InsertItem(item);
        }
        ClientBotAmmoStackChanged(this, item, true);
        return;
    }
    if (item->Kind == IK_AMMO) {
        theirs->AddAmmo(item->Value, count, extra);
    } else if (const ObjectDefinition* definition = DefinitionRegistry::FindById(item->DefinitionId)) {
        theirs->AddItem(item->Kind, definition, extra, count);
    } else {
        return; // nothing to make the receiver's share from
    }
    if (item->Kind == IK_MINE_LAYER)
        item->Value -= count;
    else
        item->Count -= count;
    ClientBotAmmoStackChanged(this, item, false);
}

void ClientUnit::DropItem(int32_t itemId) {
    InventoryItem* item = UnitInventory ? UnitInventory->FindItem(itemId) : nullptr;
    if (!item) return;
    PlaySoundAtObject(kSoundHandedOn, *this);
    ItemViewsRebuilt views(*this);
    UnmountItem(FindMounted(itemId));
    const ObjectDefinition* pickup = nullptr;
    if (item->Kind == IK_AMMO)
        pickup = DefinitionRegistry::FindByWeaponClass6(item->Value);
    else if (item->Kind == IK_SHIELD)
        pickup = DefinitionRegistry::FindByName(kShieldPickupName);
    const int32_t perPickup = pickup ? ItemsPerPickup(*pickup) : 0;
    if (pickup && perPickup >= 1 && item->Count > perPickup) {
        item->Count -= perPickup;
        ClientBotAmmoStackChanged(this, item, false);
        return;
    }
    UnitInventory->RemoveItem(item);
    ClientBotAmmoStackChanged(this, item, true);
}

void ClientUnit::AddPickedUpItems(int32_t kind, const ObjectDefinition* item, int32_t itemId, int32_t count) {
    if (!UnitInventory || !item) return;
    ItemViewsRebuilt views(*this);
    UnitInventory->AddItem(kind, item, itemId, count);
}

void ClientUnit::ThrowDecoy(const Vector3& point) {
    if (UnitInventory)
        for (InventoryItem* item : UnitInventory->Items) {
            if (IsEndMarker(item)) break;
            if (item->Kind != IK_MINE_LAYER || item->SubType != kMineTypeDecoy) continue;
            if (--item->Value <= 0) {
                ItemViewsRebuilt views(*this);
                UnitInventory->RemoveItem(item);
            }
            break;
        }
    const Real half = 0.5f * std::atan2(point.x - Position.x, point.z - Position.z) * AngleUnitsPerRadian;
    Orientation = Quaternion{0, SineOf(FloorToInt(half)), 0, CosineOf(FloorToInt(half))};
}
