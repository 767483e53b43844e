#pragma once
// ClientUnit: the display twin of a server unit (a robot, mine or creature
// with a character record). It walks toward the destination the server last
// announced, predicting the walk between messages with the character's speed
// and turning rate; it turns, takes stances, cloaks, carries an Inventory and
// mounts items on its model, shows its queued orders, and packs the player's
// orders about itself into client-to-server messages. It is the base of
// ClientBot and of the node and president classes. Main thread only.
//
// The slots below continue ClientObject's table in its order: the overrides
// first (by base slot), then the unit's own slots 91..105.

#include <cstdint>

#include "Tv/client/client_class_calls.h"
#include "Tv/client/client_objects.h"
#include "Tv/client/shown_orders.h"
#include "core/list.h"

class AwModel;
class AwShape;
struct InventoryItem;

// One item mounted on the unit's model. Model and shape are the item's (no use
// held).
struct MountedItem : MemObject {
    AwModel* ItemModel = nullptr;
    AwShape* ItemShape = nullptr;
    InventoryItem* Item = nullptr; // the unit's inventory owns it
    int32_t MountSlot = 0;         // 0..12
    int32_t Kind = 0;
    int32_t SubType = 0;
};

// Sequences of the unit's model.
constexpr int32_t kUnitSequenceBase = 0;
constexpr int32_t kUnitSequenceWalk = 1;
constexpr int32_t kUnitSequenceAltPose = 19;
constexpr int32_t kUnitSequenceStandUp = 20;
constexpr int32_t kUnitSequenceFirstIdle = 21; // standing idles 21..25
constexpr int32_t kUnitIdleSlots = 5;
constexpr int32_t kUnitSequenceFirstWalkIdle = 26; // walking idles 26..30

// The record size saved games rely on.
constexpr int32_t kClientUnitSize = 568;

// Squared weighted distance below which the predicted walk stays put.
constexpr Real kUnitArrivedSquared = 0.2f;

// The idle countdown all units share; 1 at start.
extern int32_t IdleCountdown;

class ClientUnit : public ClientObject {
public:
    ClientUnit(int32_t team, const ObjectDefinition* definition, const Vector3& position, const Quaternion& orientation,
               int32_t id);
    // Detaches, frees the shown orders and mounted items, counts a loss of
    // team 2 for the music, takes the mover out of the level world and
    // releases the rest.
    ~ClientUnit() override;

    // ---- Overrides, in slot order ----
    Vector3 GetCentre() const override;                                   // 4: Position + CentreOffset
    Real GetHealthFraction() const override;                              // 5
    bool IsAlive() const override;                                        // 6: not dead and not dying
    bool IsCloaked() const override { return Cloaked; }                   // 8
    void SetCloaked(bool cloaked) override { Cloaked = cloaked; }         // 9
    const CharacterRecord* GetCharacterRecord() const override;           // 10
    CollisionPolygon* GetFloorPolygon() const override;                   // 12: the mover's polygon
    bool IsMoving() const override { return Moving; }                     // 14
    Inventory* GetInventory() const override { return UnitInventory; }    // 16
    bool HasCustomisation() const override;                               // 17
    Mover* GetMotionRecord() const override { return UnitMover; }         // 24
    int32_t GetCarriedFlag() const override { return CarriedFlag; }       // 25
    void SetCarriedFlag(int32_t team) override { CarriedFlag = team; }    // 26
    void SetModeFlag(int32_t mode) override { OrderMode = mode; }         // 27
    bool IsHidden() const override { return Hidden; }                     // 30
    bool HasOrders() const override { return !ShownOrders.Empty(); }      // 32
    void SetTeam(int32_t team) override;                                  // 33
    List<MountedItem*>* GetEquipment() override { return &MountedItems; } // 34
    int32_t GetSize() const override { return kClientUnitSize; }          // 35
    bool IsUnit() const override { return true; }                         // 36
    void Start(uint64_t ticks, Real seconds) override;                    // 51
    void DropReferences() override;                                       // 52
    void SetHidden(bool hidden) override { Hidden = hidden; }             // 54
    void Reset() override;                                                // 55
    void SyncMotionRecord() override;                                     // 56
    void Update(uint64_t ticks, Real seconds) override;                   // 57
    // 58..61: the cloak model plays the unit's animations too.
    bool PlayAnimation(int32_t sequence, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                       uint32_t flags) override;
    void AddAnimation(int32_t sequence, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                      uint32_t flags, int32_t key) override;
    bool PlayAnimationRange(int32_t sequence, int32_t speed, int32_t from, int32_t to, uint32_t startTime,
                            uint32_t* endTime, uint8_t* done, uint32_t flags) override;
    void StopAnimations(uint32_t flags, int32_t key) override;
    void OnRemoveHook() override;                                                                // 64
    Real GroundHeight() const override;                                                          // 65
    Real SightRange() const override { return UnitSightRange; }                                  // 66
    void Render() override;                                                                      // 67
    void MoveToRecord(const ClientMotionRecord& record) override;                                // 69
    bool JoinsLocalTeam() const override { return Selectable; }                                  // 70
    bool IsInLocalTeam() const override { return Selectable; }                                   // 71
    void OnMoved() override { SendStop(); }                                                      // 72
    void UnitHookA(bool queued) override { SendStanceOrder(queued); }                            // 76
    AwModel* GetCustomisationModel() const override { return CustomisationModel; }               // 80
    void UnitHookB(int32_t ammoType, bool queued) override { SendSelectAmmo(ammoType, queued); } // 82
    void ClearSelectValues() override;                                                           // 89
    void Detach() override;                                                                      // 90

    // ---- The unit's own slots, 91..105 ----
    virtual bool IsAltStance() const { return AltStance; }
    // Stance 0 stands, 1 takes the alternate pose (instant: at once).
    virtual void SetStance(int32_t stance, bool cloaked, bool instant);
    virtual void QueueSelectAmmo(int32_t) {}
    virtual void UnitHookC(const Vector3&, bool) {}
    virtual void UnitHookD(int32_t, bool) {}
    virtual bool IsIdleBusy() const { return !IdleDone; }
    // Message 57: walks toward `destination`, placed by the state's pose.
    virtual void StartWalking(const Vector3& destination, const ClientMotionState& state, const Vector3& targetPoint);
    // Messages 59 and 60 (stopped): stands at the state's pose.
    virtual void ApplyMotionState(const ClientMotionState& state, bool stopped);
    // The item senders: queued ones also show the order (message numbers in the
    // .cpp).
    virtual void SendEquipItem(int32_t itemKey, int32_t mountSlot, bool queued);
    virtual void SendUseItem(int32_t itemKey, bool queued);
    virtual void SendDropItem(int32_t itemKey, bool queued);
    virtual void SendHeadFor(int32_t targetId, int32_t followValue, int32_t followMode, bool queued);
    virtual void SendRemoveItem(int32_t itemKey, bool queued);
    // The sequence once from `seconds`, unless armed or earlier than LastSeconds.
    virtual void PlayOnce(int32_t sequence, Real seconds);
    virtual void SetWeaponKind(int32_t) {}

    // ---- Orders to the server ----
    void SendStanceOrder(bool queued);
    // Empties the shown orders and tells the server to stop.
    void SendStop();
    void SendSelectAmmo(int32_t ammoType, bool queued);
    // Standing orders 0..2 set the team's formation, 3 toggles StandingFlag, 4..6
    // set OrderMode.
    void SetStandingOrder(int32_t order);
    // The player steers the unit: the current pose (59 moving, 61 placed).
    void SendDirectControlState(bool moving);
    void GetControlState(ClientMotionState& state) const;

    // ---- Walking ----
    // Message 95: the walk speed changes by `delta` (16.16), then the state
    // places the unit.
    void ChangeSpeed(int32_t delta, const ClientMotionState& state);
    // The looping base animation (19 in the alternate stance, else 0) from `time`
    // (ticks).
    void RestartBaseAnimation(uint32_t time);
    // Message 72: down and placed.
    void Collapse(const ClientMotionState& state);
    // Placed by the state's pose (MoveTo); the mover takes the state's motion values and floor.
    void MoveToState(const ClientMotionState& state);
    // Speed and TurnRadiusSquared from WalkSpeed16 and the character.
    void ComputeSpeed();

    // ---- Sight ----
    void AddSightBonus(Real bonus);
    Real GetFirstPersonRange() const;

    // ---- Cloaks ----
    // Message 157's model and times (its handler cloaks the unit and plays the sound).
    void StartCloak(const ObjectDefinition* effect, Real start, Real end);
    // Message 158: without the shape "audio cloak effect" none runs.
    void StartAudioCloak(Real start, Real end);

    // ---- Items (the unit's own inventory; unknown items are ignored) ----
    void MountItem(int32_t mountSlot, int32_t itemId, bool announce);
    void UnmountItem(MountedItem* mounted);
    // The mounted entry holding the item, or null.
    MountedItem* FindMounted(int32_t itemId) const;
    void UseItem(int32_t itemId, bool announce);
    void GiveItem(int32_t itemId, int32_t receiverId, int32_t count, int32_t extra);
    void TransferItem(InventoryItem* item, ClientUnit& receiver, int32_t count, bool whole, int32_t extra);
    void DropItem(int32_t itemId);
    void AddPickedUpItems(int32_t kind, const ObjectDefinition* item, int32_t itemId, int32_t count);

    // ---- Shown orders from the server ----
    void PushHoldOrder();
    void DropHoldOrder() { ShownOrders.DropHold(); }
    void DropFrontOrder() { ShownOrders.DropFront(); }
    void ShowFollowOrder(CollisionPolygon* polygon, int32_t value);

    // ---- Capture the flag ----
    void TakeFlag(int32_t team);
    void DropFlag();
    void ReturnFlag();
    void CaptureFlag();

    // Message 146: one use of the first decoy layer goes, and the unit faces the point.
    void ThrowDecoy(const Vector3& point);
    // The part at the definition's sever point becomes the object `newId`.
    void SeverPart(int32_t newId, int32_t severIndex);
    // Joins the local player's team (owner notice).
    void JoinLocalTeam();

    // ---- Fields ----
    AwObject* GlowFan = nullptr;
    AwObject* GlowQuad = nullptr;
    int32_t GlowValues[2] = {0, 0};
    int32_t GlowCounters[2] = {0, 0};
    Real GlowPeriod = 0, GlowPeriodInverse = 0;
    int32_t VoiceHandle = -1;
    uint8_t HudFlag = 1;
    Real CloakStart = 0, CloakEnd = 0;
    int32_t CloakEffect = -1;
    AwObject* CloakModel = nullptr; // one reference held
    uint8_t AudioCloakActive = 0;
    Real AudioCloakStart = 0, AudioCloakEnd = 0;
    AwObject* AudioCloakModel = nullptr; // one reference held
    const CharacterRecord* Character;    // the definition's, never null
    int32_t SightBonusCount = 0;
    Real UnitSightRange = 0;
    Real FirstPersonRange = 0;
    Real AlertRadius = 0;
    Real SightAngle = 0;
    int32_t WalkSpeed16 = 0;
    Real Speed = 0;
    Real TurnRadiusSquared = 0;
    uint8_t Moving = 0;
    uint8_t Dying = 0;
    uint8_t Cloaked = 0;
    uint8_t AltStance = 0;
    uint8_t Hidden = 0;
    uint8_t BotFlag = 0;
    int32_t CarriedFlag = 0;
    uint8_t AnimationEnded = 0;
    uint8_t Armed = 0;
    Inventory* UnitInventory = nullptr;    // owned; made when the unit joins a player's team
    AwModel* CustomisationModel = nullptr; // one use held
    List<MountedItem*> MountedItems;       // owned
    int32_t OrderMode = 0;
    uint8_t StandingFlag = 1;
    Vector3 TargetPoint;
    AwObject* TargetMarker = nullptr; // one reference held
    Vector3 CentreOffset{0, 0, 0};
    Vector3 MoveDestination;
    Real LastStateTime = 0;
    Real TargetTime = 0;
    ShownOrderList ShownOrders;
    Mover* UnitMover = nullptr; // the level world's
    uint8_t Selectable = 0;
    uint8_t IsDefogger = 0;
    uint8_t IdleDone = 1;
    int32_t MarkerLife = 0;
    uint32_t MarkerExpiry = 0;
    Vector3 MarkerScaleStart{25, 25, 25}, MarkerScaleEnd{0, 0, 0};

protected:
    // CentreOffset as at construction (the normal box).
    void ComputeCentreOffset();

private:
    // One walk step of `dt` seconds toward MoveDestination.
    void StepWalk(Real dt);
    void UpdateIdle(uint32_t time);
    void UpdateCloaks(Real seconds);
    void UpdateMarker();
    void EndAudioCloak();
    void StopVoice();
};

// The unit of a client object, or null for other classes.
ClientUnit* AsClientUnit(ClientObject* object);
const ClientUnit* AsClientUnit(const ClientObject* object);

// The factory's maker for units (and the classes that derive from them until
// they land).
ClientObject* MakeClientUnit(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                             const Quaternion& orientation, int32_t id);
