#include "Tv/client/weapons.h"

#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"

WeaponParameters* WeaponTable[kWeaponTypeCount * kAmmoTypeCount] = {};
AmmoTypeRow AmmoTypeTable[kAmmoTypeCount] = {};

WeaponParameters** WeaponTableSlot(int32_t weaponType, int32_t ammoType) {
    if (weaponType < 0 || weaponType >= kWeaponTypeCount || ammoType < 0 || ammoType >= kAmmoTypeCount) return nullptr;
    return &WeaponTable[weaponType * kAmmoTypeCount + ammoType];
}

WeaponParameters* WeaponTableRow(int32_t weaponType, int32_t ammoType) {
    WeaponParameters** slot = WeaponTableSlot(weaponType, ammoType);
    return slot ? *slot : nullptr;
}

void SetAmmoTypeLook(AmmoTypeRow& row, AwModel* model, AwShape* shape) {
    if (row.model) row.model->ReleaseUse();
    if (row.shape) row.shape->ReleaseUse();
    row.model = model;
    row.shape = shape;
}

void EmptyWeaponTables() {
    for (WeaponParameters*& row : WeaponTable) {
        delete row;
        row = nullptr;
    }
    for (AmmoTypeRow& row : AmmoTypeTable) SetAmmoTypeLook(row, nullptr, nullptr);
}
