#include "Tv/client/weapons.h"

#include "Awapi/model/model_node.h"
#include "Awapi/shape.h"
#include "core/clock.h"

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

int32_t DefaultAmmoType(int32_t weaponType) {
    static constexpr int8_t kDefaults[kWeaponTypeCount] = {2, 2, 2, 2, 6, 6, 6, 9,  13, 15, 16, 8, 8, 8, 18, 2, 2,
                                                           2, 2, 6, 6, 6, 9, 9, 13, 13, 13, 6,  2, 2, 2, 8,  8};
    if (weaponType < 0 || weaponType >= kWeaponTypeCount) return 2;
    return kDefaults[weaponType];
}

bool WeaponInstance::SetDefaultAmmo() {
    AmmoType = DefaultAmmoType(WeaponType);
    return LoadParameters();
}

bool WeaponInstance::LoadParameters() {
    const WeaponParameters* row = WeaponTableRow(WeaponType, AmmoType);
    if (!row) {
        *this = WeaponInstance{nullptr, 0, WeaponType, 0, 0, 0, 0, 0, AmmoType, 0};
        return false;
    }
    const float ticksPerSecond = CurrentTicksPerSecondFloat();
    Projectile = row->projectile;
    FiringSpeed = row->firingSpeed;
    RoundTicks = ticksPerSecond * row->roundTime;
    ReloadTicks = ticksPerSecond * row->reloadTime;
    LifeTimer = static_cast<float>(row->lifeTimer);
    MagazineSize = row->magazineSize;
    SalvoSize = row->salvoSize;
    Sound = row->sound;
    return true;
}

bool WeaponInstance::SetAmmoType(int32_t ammoType) {
    if (!WeaponTableRow(WeaponType, ammoType)) return false;
    AmmoType = ammoType;
    return LoadParameters();
}
