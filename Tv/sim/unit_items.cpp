// What a unit does with the items it carries: putting them on its model,
// taking them off and using them. Laying mines and the special modules are in
// unit_item_actions.cpp; dropping, collecting and handing over in
// unit_item_transfer.cpp.
#include <algorithm>

#include "Awapi/model/model_node.h"
#include "Awapi/object.h"
#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionregistry.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/item_messages.h"
#include "Tv/sim/server_bot.h"
#include "Tv/sim/server_unit.h"
#include "Tv/sim/unit_item_steps.h"
#include "core/log.h"

namespace {

constexpr int16_t kNoticeRestricted = 12088;
constexpr int16_t kNoticeWhileFiring = 12089;
constexpr uint8_t kCueRefused = 40;
constexpr int32_t kItemKindSpecialModule = 10;
// Module sub-kinds with an effect while worn; sub-kind 4 cannot go on while
// firing.
constexpr int32_t kModuleSightBonus = 3;
constexpr int32_t kModuleAim = 6;
constexpr int32_t kModuleRefusedWhileFiring = 4;

// The definitions a mine layer lays, by its sub-kind.
constexpr const char* kMineNames[] = {"mine", "remote_mine", "timed_mine", "decoy", "EMP_mine"};
constexpr int32_t kMineTypeCount = static_cast<int32_t>(std::size(kMineNames));

// What a mount point takes: shields, modules and armour.
bool FitsMountPoint(int32_t kind) {
    return kind == IK_SHIELD || kind == IK_MODULE || kind == IK_MODULE_2 || kind == IK_ARMOUR;
}

bool IsModule(int32_t kind) { return kind == IK_MODULE || kind == IK_MODULE_2; }

// What wearing an item adds (sign +1) or taking it off takes away (sign -1):
// shield, armour, a sight bonus or aim modules.
void ApplyWornEffect(ServerUnit& unit, const EquippedItem& worn, int32_t sign) {
    const InventoryItem& item = *worn.Item;
    if (worn.Kind == IK_SHIELD) {
        unit.SetShield(unit.GetShield() + static_cast<Real>(sign * item.Count));
    } else if (worn.Kind == IK_ARMOUR) {
        unit.SetArmour(unit.GetArmour() + static_cast<Real>(sign * item.Count));
    } else if (IsModule(worn.Kind) && worn.SubKind == kModuleSightBonus) {
        unit.AddSightBonus(static_cast<Real>(sign * item.Value));
    } else if (IsModule(worn.Kind) && worn.SubKind == kModuleAim) {
        unit.AddAimModules(sign * item.Value);
    }
}

// The first worn item that passes the test, or null.
template <class Test>
EquippedItem* FindWorn(const ServerUnit& unit, Test test) {
    for (EquippedItem* worn : unit.Equipment)
        if (test(*worn)) return worn;
    return nullptr;
}

// Takes off, one at a time, every worn item that passes the test.
template <class Test>
void TakeOffEvery(ServerUnit& unit, Test test) {
    while (EquippedItem* worn = FindWorn(unit, test))
        unit.RemoveItem(worn);
}

} // namespace

bool IsRestricted(const ServerUnit& unit, const InventoryItem& item) {
    return unit.Definition && (item.LimitMask & unit.Definition->limit) != 0;
}

InventoryItem* FindCarriedItem(const ServerUnit& unit, int32_t itemKey) {
    return unit.Inventory ? unit.Inventory->FindItem(itemKey) : nullptr;
}

void TakeOffItem(ServerUnit& unit, const InventoryItem& item) {
    TakeOffEvery(unit, [&](const EquippedItem& worn) { return worn.Item == &item; });
}

void LetGoOfItem(ServerUnit& unit, const InventoryItem& item) {
    TakeOffItem(unit, item);
    if (unit.IsBot()) {
        auto& bot = static_cast<ServerBot&>(unit);
        if (bot.AmmoItem == &item) {
            bot.SetMagazineCount(0);
            bot.AmmoItem = nullptr;
        }
    }
    if (unit.ItemActionItem == &item) {
        unit.ItemActionItem = nullptr;
        unit.ItemActionCancelled = 1;
    }
}

void DiscardItem(ServerUnit& unit, InventoryItem* item) {
    LetGoOfItem(unit, *item);
    if (unit.Inventory) unit.Inventory->RemoveItem(item);
}

void BroadcastItemEvent(int32_t type, const ServerUnit& unit, int32_t value) {
    ByteWriter message = ActorMessage(type, unit.Id);
    message.I32(value);
    TvBroadcast(message, true);
}

void RefuseItem(const ServerUnit& unit, int16_t stringId) {
    TvSendPlayerNotice(unit.Team, stringId);
    TvSendPlayerSound(unit.Team, kCueRefused);
}

EquippedItem* ServerUnit::FindEquippedItem(int32_t itemKey) {
    return FindWorn(*this, [&](const EquippedItem& worn) { return worn.Item && worn.Item->ItemId == itemKey; });
}

void ServerUnit::EquipItem(int32_t slot, int32_t itemKey, bool notify) {
    if (slot < 0 || slot >= kMountSlotCount) {
        LogPrintf("Unit %d: item %d refused for mount slot %d (0 to %d)", Id, itemKey, slot, kMountSlotCount - 1);
        return;
    }
    InventoryItem* item = FindCarriedItem(*this, itemKey);
    if (!item) return;
    if (slot >= kMountFirstPoint) {
        if (!FitsMountPoint(item->Kind)) return;
        if (item->SubType == kModuleRefusedWhileFiring && IsFiring()) {
            RefuseItem(*this, kNoticeWhileFiring);
            return;
        }
    }
    if (IsRestricted(*this, *item)) {
        RefuseItem(*this, kNoticeRestricted);
        return;
    }
    TakeOffEvery(*this, [&](const EquippedItem& worn) {
        return worn.Slot == slot || (worn.Item && worn.Item->ItemId == itemKey);
    });
    auto* worn = new EquippedItem;
    worn->Shape = item->Shape;
    worn->Model = item->Model;
    worn->Item = item;
    worn->Slot = slot;
    worn->Kind = item->Kind;
    worn->SubKind = item->SubType;
    Equipment.PushBack(worn);
    if (Model) AttachItemModel(Model, item, slot);
    ByteWriter message = ActorMessage(notify ? MSG_ITEM_EQUIPPED : kMsgItemEquippedQuiet, Id);
    message.I32(slot);
    message.I32(itemKey);
    TvBroadcast(message, true);
    if (worn->Kind == IK_WEAPON) {
        SetWeapon(worn->SubKind);
    } else {
        ApplyWornEffect(*this, *worn, 1);
    }
}

void ServerUnit::RemoveItem(EquippedItem* worn) {
    if (!worn) return;
    if (worn->Slot == kMountRightArm || worn->Slot == kMountLeftArm) {
        AwModel* body = Definition ? Definition->model : nullptr;
        const char* arm = MountPointName(worn->Slot);
        if (AwModel* bare = Model && body ? body->FindNode(arm) : nullptr) Model->ReplaceSubModel(*bare, 0);
        if (Inventory) SetWeapon(Inventory->OwnerWeaponType);
    }
    // Whatever the slot, what the item gave while worn goes with it.
    ApplyWornEffect(*this, *worn, -1);
    Equipment.RemoveValue(worn);
    delete worn;
}

void ServerUnit::RemoveItemByKey(int32_t itemKey) {
    EquippedItem* worn = FindEquippedItem(itemKey);
    if (!worn) return;
    RemoveItem(worn);
    ByteWriter message = ActorMessage(kMsgItemTakenOff, Id);
    message.I32(itemKey);
    TvBroadcast(message, true);
}

void ServerUnit::EquipInFreeSlot(int32_t itemKey, bool notify) {
    AwModel* model = CustomisationModel ? CustomisationModel : (Definition ? Definition->model : nullptr);
    if (!model) return;
    bool used[kMountSlotCount] = {};
    for (const EquippedItem* worn : Equipment)
        if (worn->Slot >= 0 && worn->Slot < kMountSlotCount) used[worn->Slot] = true;
    auto* probe = new AwObject(*model, false);
    int32_t free = -1;
    for (int32_t slot = kMountFirstPoint; slot <= kMountLastFreePoint && free < 0; ++slot) {
        Vector3 at;
        if (!used[slot] && probe->GetSubShapePosition(at, MountPointName(slot), 0)) free = slot;
    }
    probe->Release();
    if (free >= 0) EquipItem(free, itemKey, notify);
}

void ServerUnit::UseItem(int32_t itemKey, bool notify) {
    InventoryItem* item = FindCarriedItem(*this, itemKey);
    if (!item) return;
    if (IsRestricted(*this, *item)) {
        RefuseItem(*this, kNoticeRestricted);
        return;
    }
    BroadcastItemEvent(notify ? MSG_ITEM_USED : kMsgItemUsedQuiet, *this, itemKey);
    switch (item->Kind) {
    case IK_REPAIR:
        Strength += static_cast<Real>(item->Value);
        if (Character) Strength = std::min(Strength, Character->strength);
        DiscardItem(*this, item);
        break;
    case IK_SHIELD:
    case IK_MODULE:
    case IK_MODULE_2:
    case IK_ARMOUR: EquipInFreeSlot(itemKey, notify); break;
    case IK_WEAPON: EquipItem(kMountRightArm, itemKey, notify); break;
    case IK_MINE_LAYER: {
        if (Moving || item->SubType < 0 || item->SubType >= kMineTypeCount) break;
        const ObjectDefinition* mine = DefinitionRegistry::FindByName(kMineNames[item->SubType]);
        if (mine && !ItemActionActive && !Crouched) StartMineLaying(*this, *item, *mine);
        break;
    }
    case IK_AMMO:
        if (IsBot() && GetWeapon() && WeaponTableRow(GetWeapon()->WeaponType, item->Value))
            static_cast<ServerBot*>(this)->SetAmmoType(item->Value);
        break;
    case kItemKindSpecialModule: UseSpecialModule(*this, *item); break;
    default: break;
    }
}
