// The ammo and ammo info blocks fill the weapon tables (Tv/client/weapons.h).
#include "Tv/client/weapons.h"
#include "Tv/defs/definitiontypes.h"

void AmmoScriptObject::Apply() {
    if (!IsComplete()) return;
    WeaponParameters** slot = WeaponTableSlot(GetValue(24), GetValue(23));
    // The first block for a pair wins.
    if (!slot || *slot) return;
    auto* row = new WeaponParameters;
    *slot = row;
    row->roundTime = static_cast<float>(GetReal(20));
    row->reloadTime = static_cast<float>(GetReal(21));
    row->lifeTimer = GetValue(22);
    row->magazineSize = GetValue(18);
    row->sound = GetValue(32);
    row->salvoSize = GetValue(19);
    row->fileName = OwnedText(GetString(1));
    row->name = OwnedText(GetString(0));
    // Builds the projectile role now when its turn has not come yet.
    if (auto* role = static_cast<RoleScriptObject*>(GetReference(11))) row->projectile = role->BuildDefinition();
    row->firingSpeed = static_cast<float>(GetReal(46));
}

void AmmoInfoScriptObject::Apply() {
    const int32_t type = GetValue(23);
    if (!IsComplete() || type < 0 || type >= kAmmoTypeCount) return;
    AmmoTypeRow& row = AmmoTypeTable[type];
    // The last block for a type wins; the look it replaces is released.
    const ScriptObject* look = GetReference(5);
    if (look && look->Factory() == &ShapeScriptObject::Create)
        SetAmmoTypeLook(row, nullptr, static_cast<const ShapeScriptObject*>(look)->GetShape());
    else if (look)
        SetAmmoTypeLook(row, static_cast<const HierarchyScriptObject*>(look)->GetModel(), nullptr);
    else
        SetAmmoTypeLook(row, nullptr, nullptr);
    row.descriptionStringId = GetValue(26);
    row.nameStringId = GetValue(28);
    row.maxPerSlot = GetValue(29);
}
