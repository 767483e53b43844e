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

constexpr int32_t kNoWeapon = kWeaponTypeCount;

// The weapon a character carries: its type, the ammunition loaded and the
// firing parameters copied from the WeaponTable row of that pair. The times
// are in ticks of the thread that loaded them (the server thread and the
// others count differently), so an instance is loaded on the thread that uses it.
struct WeaponInstance {
    ObjectDefinition* Projectile = nullptr;
    float FiringSpeed = 0;
    int32_t WeaponType = kNoWeapon;
    float RoundTicks = 0;
    float ReloadTicks = 0;
    float LifeTimer = 0;
    int32_t MagazineSize = 0;
    int32_t SalvoSize = 0;
    int32_t AmmoType = 0;
    int32_t Sound = 0;

    // Loads the default ammunition of the weapon type; false when the table has no row for it.
    bool SetDefaultAmmo();
    // Copies the row of (WeaponType, AmmoType). Without a row the parameters
    // are cleared (the types stay) and the answer is false.
    bool LoadParameters();
    // Loads ammunition `ammoType` when the weapon has a row for it; otherwise nothing changes.
    bool SetAmmoType(int32_t ammoType);
};

// The ammunition a weapon type loads by default (2 for types outside the table).
int32_t DefaultAmmoType(int32_t weaponType);
