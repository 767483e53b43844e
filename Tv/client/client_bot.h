#pragma once
// ClientBot: the display twin of an armed character. On top of ClientUnit it
// carries the character's weapon, the current attack (a point or an object),
// the aim of torso and gun by animation, the magazine and its reloads from the
// inventory's ammunition, the shield and its recharge, the hum of a scanning
// sentry, the scan sweep the HUD draws, the interface arm's beam that shows
// hidden mines, and the player's attack orders to the server. The popup,
// turret and centipede classes derive from it. Main thread only.
//
// The slots continue ClientUnit's table: the overrides first (by base slot),
// then the bot's own slots 106..110.

#include <cstdint>

#include "Tv/client/client_unit.h"
#include "Tv/client/weapons.h"

struct InventoryItem;
struct WeaponInstance;

// The record size saved games rely on.
constexpr int32_t kClientBotSize = 736;

// Sequences of the bot's model.
constexpr int32_t kBotSequenceFire = 2;
constexpr int32_t kBotSequencePitch = 5;
constexpr int32_t kBotSequenceYaw = 12;
constexpr int32_t kBotSequenceGunTurn = 13;

// What a reload or a shot's bookkeeping answers.
enum BotReload : int32_t {
    kReloadSameType = 0, // loaded from the same ammunition type, or nothing to do
    kReloadSwitched = 1, // loaded from another ammunition type
    kReloadEmpty = 2,    // nothing to load from
};

// The alternate-fire modifier of the interface's input: the bot's attack
// orders choose their alternate form while it is held.
extern bool AlternateFireHeld;

class ClientBot : public ClientUnit {
public:
    // The unit, then the weapon of the character's "weapon" (none for 33),
    // the shield from "shields" and the hotspot names from the definition.
    ClientBot(int32_t team, const ObjectDefinition* definition, const Vector3& position, const Quaternion& orientation,
              int32_t id);
    // Releases the target and frees the weapon.
    ~ClientBot() override;

    // ---- Overrides, in slot order ----
    bool GetBotFlag() const override { return Attacking; }              // 7
    WeaponInstance* GetWeapon() const override { return Weapon; }       // 11
    int32_t GetBotValue() const override;                               // 15: the target's id, -1 none
    Real GetShield() const override { return Shield; }                  // 19
    int32_t GetAmmoCount() const override;                              // 22
    int32_t GetBotCounter() const override { return RoundsInMagazine; } // 23
    void SetShield(Real shield) override { Shield = shield; }           // 29
    const char* GetPartName() const override { return HotspotName; }    // 31
    int32_t GetSize() const override { return kClientBotSize; }         // 35
    bool IsBot() const override { return true; }                        // 37
    void Start(uint64_t ticks, Real seconds) override;                  // 51
    void DropReferences() override;                                     // 52
    void Update(uint64_t ticks, Real seconds) override;                 // 57
    void Remove() override;                                             // 63
    // 73..79: the player's attack orders, sent to the server (not guaranteed).
    void BotHookA(ClientObject* target) override { SendAttackObject(target); }
    void BotHookB(const Vector3& point) override { SendAttackPoint(point); }
    void BotHookC() override { SendCeaseFire(); }
    void BotHookD(const Vector3& point) override { SendQueuedAttackPoint(point); }
    void BotHookE(ClientObject* target) override { SendQueuedAttackObject(target); }
    void BotHookF(const Vector3& point) override { SendLaunchDecoy(point); }
    // 93..95: shown orders of the bot's kinds.
    void QueueSelectAmmo(int32_t ammoType) override;
    void UnitHookC(const Vector3& point, bool alternate) override;
    void UnitHookD(int32_t targetId, bool alternate) override;
    // 105: a mounted weapon item changes the weapon.
    void SetWeaponKind(int32_t weaponType) override { SetWeapon(weaponType); }

    // ---- The bot's own slots, 106..110 ----
    virtual void SetRoundsInMagazine(int32_t rounds) { RoundsInMagazine = rounds; }
    // Messages 65/66: null stops attacking.
    virtual void AttackObject(ClientObject* target, Real setting, bool byte, bool alternate);
    // Messages 63/64.
    virtual void AttackPoint(const Vector3& point, Real setting, bool byte, bool alternate);
    // Message 68: the gun and torso go back to the middle of their sequences.
    virtual void StopAttacking(Real setting);
    // Message 130: loads that ammunition type and reloads.
    virtual void ChangeAmmoType(int32_t ammoType);

    // ---- Weapon and magazine ----
    // Message 131 and mounted weapon items: the new weapon (none for 33), readied.
    void SetWeapon(int32_t weaponType);
    // Default ammunition, then the magazine: from the inventory for a
    // character with a customisation hierarchy, else one round that never runs out.
    void ReadyWeapon();
    int32_t Reload();
    // The bookkeeping of one shot of this bot (message 70).
    int32_t UseRound();
    // Sequence 2 once, unless it still plays.
    void PlayFireAnimation();
    // Message 113: the sweep starts at minus the sight angle.
    void StartScan(Real seconds);
    // The elevation (angle units, negative up) that sends a shot of `speed`
    // along `v`: straight above or below a quarter turn; out of a ballistic
    // shot's reach, the one arc of a zero discriminant.
    static Real AimElevation(const Vector3& v, Real speed, bool ballistic, bool highArc);
    // A heading difference (angle units) brought into (-2048, 2048].
    static Real YawDifference(Real d);

    // ---- Orders to the server (the interface calls them for bots of the local team) ----
    void SendAttackObject(ClientObject* target);
    void SendAttackPoint(const Vector3& point);
    void SendCeaseFire();
    void SendQueuedAttackPoint(const Vector3& point);
    void SendQueuedAttackObject(ClientObject* target);
    void SendLaunchDecoy(const Vector3& point);

    // ---- Fields ----
    uint8_t Scanning = 0;
    uint8_t AttackFlag = 0;
    Real ScanAngle = 0;
    Real ScanTime = 0;
    Vector3 ScanStart{0, 0, 0}, ScanEnd{0, 0, 0};
    int32_t ScanPhase = 0;
    uint8_t HighArc = 0;
    uint8_t TargetIsObject = 0;
    int32_t InterfaceWeaponType = kNoWeapon;
    uint8_t InterfaceByte = 0;
    WeaponInstance* Weapon = nullptr; // owned
    Vector3 MuzzlePosition{0, 0, 0};
    const char* HotspotName = nullptr;      // the definition's, not owned
    const char* OtherHotspotName = nullptr; // likewise
    Real Shield = 0;
    uint8_t Attacking = 0;
    ClientObject* Target = nullptr; // one reference held
    Vector3 TargetPosition{0, 0, 0};
    uint8_t FireAnimationDone = 1;
    uint8_t YawDone = 1, PitchDone = 1;
    Real ShotSpeed = 0;
    Real AttackSetting = 0;
    InventoryItem* AmmoItem = nullptr; // the inventory's
    int32_t RoundsInMagazine = 0;
    int32_t HumVoice = -1;
    int32_t HumState = 0;

private:
    void ReleaseTarget();
    void StopHum();
    // Shared by both attack orders from the server.
    void BeginAttack(Real setting, bool byte, bool alternate);
    void BreakCloak();
    // The world position of the hotspot part at `ticks` (the position without the part).
    Vector3 HotspotPosition(uint64_t ticks);
    void UpdateHum();
    void AimAtTarget(uint64_t ticks);
    void UpdateInterfaceBeam(Real seconds);
    // The shot speed of an order: the weapon's, slowed for the alternate fire.
    void SetShotSpeed(bool alternate, bool withCharacter);
    // "name: " and the string, at the bot.
    void ShowNamedStatus(uint32_t stringId);
};

// The bot of a client object, or null for other classes.
ClientBot* AsClientBot(ClientObject* object);
const ClientBot* AsClientBot(const ClientObject* object);

// The factory's maker for bots (and the classes that derive from them until they land).
ClientObject* MakeClientBot(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                            const Quaternion& orientation, int32_t id);
