#pragma once
// ServerBot: the armed unit. It carries a weapon (none for weapon type 33),
// a shield, a fire target or aim point, its senses and a sight scan. The AI
// decides what to attack (AttackTarget, AttackPoint, StopAttacking); the per-pass Think carries the attack out.
//
// The class is spread over one file per concern: server_bot.cpp (life,
// weapon, attack commands, scans), bot_items.cpp (the ammunition stacks, the
// worn shield and armour items, decoys), bot_aim.cpp (muzzle, elevation and
// the aiming step), bot_fire.cpp (the target's vulnerabilities and the shot),
// bot_think.cpp (Think and its other stages).

#include <cstdint>

#include "Tv/sim/aim_math.h"
#include "Tv/sim/sensing.h"
#include "Tv/sim/server_unit.h"

class ActorAiData;
struct InventoryItem;

constexpr int32_t kBotRecordSize = 776;
constexpr int32_t kAmmoTypeNoItem = 18;   // the weapon needs no ammunition item
constexpr int32_t kAmmoTypeOneShot = 1;   // aims higher and fires once per attack command
constexpr int32_t kWeaponTypeRepair = 13; // shots of team 0
constexpr int32_t kWeaponTypeMineSweep = 14;
constexpr int32_t kWeaponTypeSteepLob = 7; // may lob on the high arc

// What SelectAmmo found.
enum SelectAmmoResult : int32_t { kAmmoSameType = 0, kAmmoSwitched = 1, kAmmoNone = 2 };
// What ConsumeShot left.
enum ConsumeShotResult : int32_t { kShotNext = 0, kShotReloaded = 1, kShotEmpty = 2 };


class ServerBot : public ServerUnit {
public:
    // The unit first; then the weapon of the character's type (none for 33),
    // muzzles and shield from the definition, the senses and the first scan time.
    ServerBot(int32_t team, const ObjectDefinition* definition, const Vector3& position, const Quaternion& orientation,
              int32_t id);
    // Frees the senses, releases FireTarget, frees the weapon.
    ~ServerBot() override;

    // ---- Overrides, in the table's order ----
    bool IsFiring() const override { return Attacking != 0; }
    WeaponInstance* GetWeapon() const override { return Weapon; }
    ServerObject* GetFireTarget() const override { return FireTarget; }
    Real GetShield() const override { return Shield; }
    // Spend the worn armour (shield) items in equipment order: the amount,
    // floored, comes off the first item that holds more (message 168, 167);
    // an item it exceeds is used up (message 166), taken off and dropped from
    // the inventory, and the rest goes on. Team 2 lowers Shield alone.
    void DrainArmourItems(Real amount) override;
    void DrainShieldItems(Real amount) override;
    int32_t GetMagazineSize() const override;
    int32_t GetMagazineCount() const override { return static_cast<int32_t>(MagazineCount); }
    void SetShield(Real value) override { Shield = value; }
    const char* GetMuzzleHotspot() const override { return MuzzleHotspot; }
    // Stops attacking on a change of side (not in game state 17), then joins the team.
    void SetTeam(int32_t team) override;
    int32_t GetSize() const override { return kBotRecordSize; }
    bool IsBot() const override { return true; }
    // The unit's start, then the weapon's default ammunition, magazine and muzzle.
    void Start(uint64_t time, Real seconds) override;
    void ReleaseReferences() override;
    void Remove(bool announce) override;
    // The per-pass step (bot_think.cpp).
    void Think(uint64_t time, Real seconds) override;
    void QueueSetAmmo(int32_t ammoType) override;
    void QueueAttackPoint(const Vector3& point) override;
    void QueueAttackTarget(int32_t targetId) override;
    void SetWeapon(int32_t weaponType) override;
    // Ignored by a dead or crouched bot; a null target stops the attack.
    void AttackTarget(ServerObject* target, Real time, int32_t holdFire, int32_t lob) override;
    void StopAttacking(Real time) override;

    // ---- Appended operations ----
    void SetMagazineCount(uint32_t count) { MagazineCount = count; }
    // Ignored by a dead or crouched bot.
    void AttackPoint(const Vector3& point, Real time, int32_t holdFire, int32_t lob);
    // Loads the ammo type when the weapon has a row for it; always refills
    // the magazine (reselecting a stack) and announces the requested type.
    void SetAmmoType(int32_t ammoType);

    // ---- Weapon and ammunition ----
    // The weapon part of Start alone: default ammunition and a full magazine.
    void ReloadWeapon();
    // Loads from the fullest carried stack that holds a salvo: of the loaded
    // type when there is one (kAmmoSameType), else of another type the weapon
    // fires, switching to it (kAmmoSwitched); kAmmoNone when nothing can be
    // fired. A weapon that needs no ammunition always has one in the magazine.
    SelectAmmoResult SelectAmmo();
    // Counts a salvo off the magazine and the stack: kShotNext while the
    // magazine holds another, kShotReloaded after refilling from the stack (or
    // another), kShotEmpty when nothing is left (an emptied stack is dropped).
    // Without a stack only the muzzles alternate.
    ConsumeShotResult ConsumeShot();
    // The first carried item of that kind and sub-kind, or null.
    InventoryItem* FirstCarried(int32_t kind, int32_t subType) const;
    // The orders of kinds 0 and 1 with their lob byte.
    void QueueAttackTarget(int32_t targetId, int32_t lob);
    void QueueAttackPoint(const Vector3& point, int32_t lob);

    // ---- Requests and senses ----
    // Fires a carried decoy (a use of the first decoy layer) toward a finite
    // point from the muzzle, faces the point and announces it (with or without a decoy).
    void LaunchDecoy(const Vector3& point);
    // A new sweep of the sight ray from minus the sight angle.
    void StartScan(Real seconds);
    // The flatter lobbed path to the point needs no more than the character's elevation angle.
    bool CanLobAt(const Vector3& point) const;

    // ---- Aiming and firing (the think's stages 9, 13 and 14 to 20) ----
    // Where the model's muzzle part is at the time, scaled by the character's
    // size and carried by the actor's pose; false without a model, character or muzzle part.
    bool MuzzleAt(uint64_t time, Vector3& position) const;
    // MuzzlePosition for the time (the position itself without a muzzle).
    void UpdateMuzzlePosition(uint64_t time);
    // The aiming stage while attacking: elevation, gun yaw or body turn. False
    // when the bot is not aimed this pass (the attack may have ended).
    bool AimAtTarget(uint64_t time, Real now);
    // Stores the elevation and drives the pitch channel to it (or marks the pitch aimed without one).
    void AimPitchChannel(Real elevation);
    // The body's heading (angle units) from its orientation.
    Real BodyHeading() const;
    // Sets `TargetHeading` toward `TargetPoint`; answers its difference from the body's heading, wrapped.
    Real TurnToTargetHeading();
    // The target's vulnerabilities for a shot of `projectile`; true when the step must end without a shot.
    bool ApplyVulnerabilities(const ObjectDefinition* projectile, Real now);
    // Line of fire, spread, the projectile, statistics, ammunition, timing and
    // message 70; false when the shot was withheld.
    bool FireShot(const ObjectDefinition* projectile, uint64_t time, Real now);

    // ---- Fields, in the record's order ----
    uint64_t ShotInterval = 0;
    uint64_t NextShotTime = 0;
    uint64_t NextWeaponCycle = 0;
    Real WeaponCycleTime = 0;
    Real NextScanTime = 0;
    uint8_t HoldFire = 0;
    SightScan Scan; // ScanActive, ScanAngle, ScanStartTime, the ray, ScanProgress
    uint8_t Lob = 0;
    uint8_t ReportBlockedShot = 0;
    ActorAiData* AiData = nullptr; // owned
    Real AttackCommandTime = 0;
    uint8_t Fleeing = 0;
    uint64_t NextFleeStep = 0;
    uint8_t AiFlagCopy = 0;
    uint64_t NextMineSweep = 0;
    WeaponInstance* Weapon = nullptr; // owned; null for weapon type 33
    Vector3 MuzzlePosition{0, 0, 0};
    const char* MuzzleHotspot = nullptr;      // the definition's
    const char* OtherMuzzleHotspot = nullptr; // the definition's
    Real Shield = 0;
    uint8_t Attacking = 0;
    ServerObject* FireTarget = nullptr; // one reference held
    Vector3 TargetPoint{0, 0, 0};
    uint8_t AimReady = 1;
    uint8_t YawAimed = 1;
    uint8_t PitchAimed = 1;
    Real ShotSpeed = 0;
    Real TargetHeading = 0;
    Real Elevation = 0;
    Real LastAttackChange = 0;
    Real TargetCycleTime = 0;
    InventoryItem* AmmoItem = nullptr; // the inventory's
    uint32_t MagazineCount = 0;
    // A loaded bot's saved references (key or id + 1, 0 none) until the fix-up resolves them.
    int32_t SavedAmmoItemKey = 0;
    int32_t SavedFireTargetId = 0;

private:
    // MagazineCount for a new or reloaded weapon: counted only for a player-fitted robot.
    void FillMagazine();
    // Builds a weapon of the type with its default ammunition (none for 33).
    void BuildWeapon(int32_t weaponType);
    // The attack state both attack commands set; `message` is 63/64 or 65/66.
    void BeginAttack(Real time, int32_t holdFire, int32_t lob);
    // Ends concealment for an attack.
    void Unconceal();
    // The equipment walk of the two drains, over items of that kind.
    void DrainWornItems(int32_t kind, Real amount);
    // An attack that ends concealment takes off the first worn module of sub-kind 4.
    void TakeOffAttackModule();
    void ReleaseFireTarget();
};

// Registers the bot's maker with the server factory ("bot" and armed
// characters of no other class) and the default item its interface beam applies.
void RegisterServerBot();
