#pragma once
// The weapon tables the level's `ammo` and `ammo info` definitions fill:
// WeaponTable holds the firing parameters of every (weapon type, ammunition
// type) pair a level allows, AmmoTypeTable the inventory look and texts of
// each ammunition type. Written while a level loads and emptied at its
// teardown; in between the main and the server thread only read them.

#include <cstdint>

#include "Tv/defs/ownedtext.h"
#include "core/mem.h"

class AwModel;
class AwShape;
struct ObjectDefinition;

constexpr int32_t kWeaponTypeCount = 33; // 33 itself means no weapon
constexpr int32_t kAmmoTypeCount = 19;

struct WeaponParameters : MemObject {
    float roundTime = 0;  // seconds
    float reloadTime = 0; // seconds
    int32_t lifeTimer = 0;
    int32_t magazineSize = 0;
    int32_t sound = 0;
    int32_t salvoSize = 0;
    OwnedText fileName;                     // chunk file of the weapon's model
    OwnedText name;                         // the model's name in it
    ObjectDefinition* projectile = nullptr; // what it fires, or none
    float firingSpeed = 0;
};

struct AmmoTypeRow {
    AwModel* model = nullptr; // one use held
    AwShape* shape = nullptr; // one use held
    int32_t nameStringId = 0;
    int32_t descriptionStringId = 0;
    int32_t maxPerSlot = 0;
};

// Row (w, a) at w x kAmmoTypeCount + a; null where no definition declared the pair.
extern WeaponParameters* WeaponTable[kWeaponTypeCount * kAmmoTypeCount];
extern AmmoTypeRow AmmoTypeTable[kAmmoTypeCount];

// The slot of a pair; null for a pair outside the table.
WeaponParameters** WeaponTableSlot(int32_t weaponType, int32_t ammoType);
// The row of a pair, or null.
WeaponParameters* WeaponTableRow(int32_t weaponType, int32_t ammoType);

// Sets an ammunition row's model or shape (one use each, taken over from the
// caller), releasing what it held.
void SetAmmoTypeLook(AmmoTypeRow& row, AwModel* model, AwShape* shape);

// The level teardown (and program exit): frees every weapon row and releases
// every ammunition row's model and shape. The rows' numbers stay.
void EmptyWeaponTables();
