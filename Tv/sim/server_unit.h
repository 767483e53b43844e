#pragma once
// ServerUnit: the walking character, every actor whose definition carries a
// character record. It joins its team when it starts, keeps an order queue,
// plans paths over the waypoint graph, walks by the turn-and-arc rule, yields
// to other units, crouches into cover and tells the clients how it moves.
// Bots, nodes, the president and the popups derive from it.
//
// The class is spread over one file per concern: server_unit.cpp (life,
// team, the update, targets, crouching), unit_orders.cpp (the order queue),
// unit_motion.cpp (commands, walking, motion messages), unit_paths.cpp (path
// states and planning), path_conflicts.cpp (the per-pass conflict
// resolution), unit_items.cpp (what the unit does with items), unit_flags.cpp (capture the
// flag).

#include <cstdint>

#include "Tv/sim/server_object.h"
#include "Tv/sim/unit_records.h"
#include "core/list.h"

class AwModel;
class LevelWorld;
struct InventoryItem;

constexpr int32_t kUnitRecordSize = 560;
constexpr int32_t kWeaponTypeNone = 33;

// Polygon flag bits a unit sets and reads.
constexpr uint32_t kPolygonUnitOn = 0x40;          // a unit stands or walks on it
constexpr uint32_t kPolygonUnitStanding = 0x100000; // ... and stands still (always with 0x40)
constexpr uint32_t kPolygonUnitMarks = kPolygonUnitOn | kPolygonUnitStanding;
constexpr uint32_t kPolygonReplanBlocked = 0x200000; // marked during a partial re-plan
constexpr uint32_t kPolygonCover = 0x800;

// Standing modes: 4 chooses its own targets, 5 and 6 do not.
constexpr int32_t kStandingModeChooseTargets = 4;
constexpr int32_t kStandingModePlayer = 6;

// Animation sequences the unit plays.
constexpr int32_t kSequenceCrouch = 19;

class ServerUnit : public ServerObject {
public:
    // The ServerObject part with flags 3 for the local player's team, else 1;
    // then the unit's fields, speeds and centre offset. No mover, inventory or
    // path until it starts.
    ServerUnit(int32_t team, const ObjectDefinition* definition, const Vector3& position,
               const Quaternion& orientation, int32_t id);
    // Frees waypoints, orders and equipment, leaves the path lists and the
    // level world, frees the inventory, runs OnDeath, releases YieldTo.
    ~ServerUnit() override;

    // ---- Overrides, in the table's order ----
    Vector3 GetCentre() const override { return Position + CentreOffset; }
    Real GetHealthFraction() const override;
    bool IsAlive() const override { return Strength > 0 && !Dead; }
    bool IsActive() const override { return Concealed != 0; }
    void SetActive(bool concealed) override { Concealed = concealed; }
    const CharacterRecord* GetCharacterRecord() const override { return Character; }
    CollisionPolygon* GetFloorPolygon() const override;
    bool IsMoving() const override { return Moving != 0; }
    ::Inventory* GetInventory() const override { return Inventory; }
    bool HasCustomisationModel() const override;
    ::Mover* GetMotion() const override { return Mover; }
    int32_t GetCarriedFlag() const override { return CarriedFlag; }
    void SetCarriedFlag(int32_t team) override { CarriedFlag = team; }
    bool IsUnderDirectControl() const override { return DirectControl != 0; }
    bool HasOrders() const override { return !Orders.IsEmpty(); }
    void SetTeam(int32_t team) override;
    List<EquippedItem*>* GetEquipment() override { return &Equipment; }
    int32_t GetSize() const override { return kUnitRecordSize; }
    bool IsUnit() const override { return true; }
    // Registers the mover, joins the team (always seen as a change), time base and floor.
    void Start(uint64_t time, Real seconds) override;
    void ReleaseReferences() override;
    // Direct placement: Destination = position + the mover's velocity.
    bool MoveTo(const Vector3& position, const Quaternion& orientation, Real seconds) override;
    void SetDirectControl(bool on) override { DirectControl = on; }
    void Replan(ServerObject* target, Real squaredRange) override;
    bool CanTakeDirectControl() const override { return IsAlive() && Speed != 0; }
    bool GetMovesOnLifts() const override { return true; }
    bool IsPathPending() const override { return PathState != PS_NONE && PathState != PS_DONE; }
    bool IsDisabled() const override { return Crouched != 0; }
    void Disable() override;
    bool TakeDamage(Real amount, bool protectedHit, int32_t attackerTeam) override;
    void SyncMotionPosition() override;
    // The per-pass update: paths, waypoints, targets, hand-overs, walking,
    // pickups, orders, item actions, disguise and cloak ends.
    void Think(uint64_t time, Real seconds) override;
    void OnDeath() override;

    // ---- Appended operations ----
    // Crouch or stand up; nothing without the model's sequence 19.
    virtual void ToggleCrouch();
    virtual void EquipInFreeSlot(int32_t itemKey, bool notify);
    // The bot's queued orders (kinds 10, 1, 0); nothing for a plain unit.
    virtual void QueueSetAmmo(int32_t) {}
    virtual void QueueAttackPoint(const Vector3&) {}
    virtual void QueueAttackTarget(int32_t) {}
    // A complete path to the floor under the point, as HeadFor.
    virtual void HeadForPoint(const Vector3& point, Real time);
    virtual void Die();
    virtual void AddWaypoint(const Vector3& point, int32_t keep, bool alsoStore, int32_t tag);
    // This pass's step for the conflict pass; false when the unit is not walking.
    virtual bool GetPathSegment(PathSegment& out);
    virtual AwModel* GetCustomisationModel() const { return CustomisationModel; }
    virtual void PlayIdleSequence(int32_t sequence, Real time);
    virtual void SetWeapon(int32_t) {}
    // The bot's attacks; nothing for a plain unit.
    virtual void AttackTarget(ServerObject*, Real, int32_t, int32_t) {}
    virtual void StopAttacking(Real) {}

    // ---- Team, senses and standing orders ----
    // 0 to 2 the team's stance, 3 toggles CpuControlled, 4 to 6 StandingMode; others ignored.
    void SetStandingOrder(int32_t order);
    void AddSightBonus(Real amount);
    void AddAimModules(int32_t n);
    Real GetFirstPersonRange() const;
    // Changes the walking speed, recomputes the derived speeds and announces it (message 95).
    void AddWalkingSpeed(int32_t n);
    Real GetAlertRadius() const { return AlertRadius; }
    bool HasStoredWaypoints() const { return !StoredWaypoints.IsEmpty(); }
    // At rest under a player's direct control (set by the client's placement messages).
    bool IsAtRestUnderControl() const { return AtRestUnderControl != 0; }

    // ---- Orders ----
    void ClearOrders();
    void QueueMove(CollisionPolygon* polygon, int32_t targetId);
    void QueueCrouch();
    void PushHoldOrder();
    void PopHoldOrder();
    void QueueEquipItem(int32_t role, int32_t key);
    void QueueUseItem(int32_t key);
    void QueueDropItem(int32_t key);
    void QueueRemoveItem(int32_t key);
    void QueueGiveItem(int32_t key, int32_t targetId, int32_t count);
    // Undoes the last queued order that is not a hold; stops the unit when the queue is empty.
    void DropQueuedOrders();
    // Message 134 (also for an empty queue), then frees the front order.
    void PopOrder();
    // Carries out the front order (the update's order step).
    void RunFrontOrder(Real time);
    // The equipment entry whose inventory item has that key, or null (the remove order's).
    EquippedItem* FindEquippedItem(int32_t itemKey);

    // ---- Items (what the unit does with what it carries) ----
    void EquipItem(int32_t slot, int32_t itemKey, bool notify);
    void RemoveItem(EquippedItem* equipped);
    // Takes off the first equipped item with that key and announces it (128); nothing when none is worn.
    void RemoveItemByKey(int32_t itemKey);
    void UseItem(int32_t itemKey, bool notify);
    void DropItem(int32_t itemKey);
    bool CollectPickup(ServerObject* pickup, bool announce);
    void GiveItemTo(int32_t itemKey, int32_t receiverId, int32_t count);
    // Moves the item to the receiver's inventory (whole), or `count` of its
    // rounds or mines as a new item under `itemId` (the giver keeps the rest).
    void TransferItem(InventoryItem* item, ServerObject* receiver, int32_t itemId, bool whole, int32_t count);
    // The mine-laying progress of the update.
    void StepItemAction(uint64_t time, Real seconds);

    // ---- Capture the flag (unit_flags.cpp) ----
    void TakeFlag(int32_t team);
    // Leaves the carried flag where the unit stands.
    void DropFlag();
    // Brings the unit's own team's flag home.
    void ReturnFlag();
    // Scores with the carried flag.
    void CaptureFlag();

    // ---- Motion and paths ----
    void SetPathState(::PathState state);
    void HeadFor(CollisionPolygon* goal, Real time);
    void WalkTo(const Vector3& point, bool keepStartTime);
    void StopMoving(Real time);
    void Halt(Real time);
    void GetMotionState(UnitMotionState& out) const;
    void PushWaypointFront(const Vector3& point, int32_t keep, int32_t tag);
    void AddStoredWaypoint(const Vector3& point, int32_t keep, int32_t tag);
    void ClearStoredWaypoints();
    void RemoveCurrentWaypoint();
    void ClearWaypoints();
    void PrependPathTo(const Vector3& point, Real time);
    // The planning steps of PS_COMPLETE, PS_CLEARPATH_FAILED and the two partial states.
    void PlanClearPath();
    void PlanFullPath();
    void PlanPartialPath();
    // The waypoint advance; true while the unit is on its way.
    bool AdvanceWaypoints();
    // The walking step with its mover move and motion broadcast, ending with the base update.
    void Walk(uint64_t time, Real seconds);
    // The waypoint under the cursor (the cursor at the end moves to the first), or null.
    Waypoint* CurrentWaypoint();
    // Where the unit is bound for: the last waypoint, else Destination while moving, else Position.
    Vector3 FinalTarget() const;

    // ---- Fields ----
    uint8_t Collecting = 0;
    int32_t GiveCount = -1;
    int32_t ItemActionState = 0;
    uint8_t ItemActionActive = 0;
    uint8_t ItemActionCancelled = 0;
    uint8_t ItemSequenceDone = 0;
    Real ItemActionEndTime = 0;
    const ObjectDefinition* ItemActionDefinition = nullptr;
    InventoryItem* ItemActionItem = nullptr;
    uint8_t OrdersCancelled = 0;
    Real PatrolWaitEnd = 0;
    uint8_t PatrolWaiting = 0;
    Real DisguiseStart = 0, DisguiseEnd = 0;
    int32_t DisguiseId = -1;
    uint8_t CloakActive = 0;
    Real CloakStart = 0, CloakEnd = 0;
    const CharacterRecord* Character = nullptr; // not owned
    int32_t SightBonusCount = 0;
    Real SightRange = 0;
    Real FirstPersonRange = 0;
    Real AlertRadius = 0;
    Real SightAngle = 0;
    int32_t WalkingSpeed = 0; // 16.16
    Real Speed = 0;           // metres a second
    Real TurnRadiusSquared = 0;
    uint8_t Moving = 0;
    uint8_t Concealed = 0;
    uint8_t Crouched = 0;
    uint8_t DirectControl = 0;
    uint8_t MineSweep = 0;
    uint8_t StopSent = 1;
    int32_t CarriedFlag = 0;
    uint8_t IdleSequenceDone = 0;
    uint8_t Disabled = 0;
    ::Inventory* Inventory = nullptr; // owned
    AwModel* CustomisationModel = nullptr; // one use held
    List<EquippedItem*> Equipment;   // owned records
    int32_t StandingMode = 0;
    uint8_t CpuControlled = 1;
    Real Aim = 0;
    int32_t AimModuleCount = 0;
    ::PathState PathState = PS_NONE;
    CollisionPolygon* GoalPolygon = nullptr;
    uint8_t Yielding = 0;
    uint8_t TeamEngaged = 0;
    Real YieldUntil = 0;
    ServerUnit* YieldTo = nullptr; // one reference held
    Vector3 CentreOffset{0, 0, 0};
    Vector3 Destination{0, 0, 0};
    Real LastCommandTime = 0;
    Real MoveStartTime = 0;
    List<UnitOrder*> Orders;              // owned
    ::Mover* Mover = nullptr;            // the level world's
    List<Waypoint*> Waypoints;            // owned
    List<Waypoint*> StoredWaypoints;      // owned
    ListNodeBase* WaypointCursor = nullptr; // a node of Waypoints, or its sentinel
    uint8_t AtRestUnderControl = 0;

    // Recomputes Speed and TurnRadiusSquared from WalkingSpeed.
    void UpdateDerivedSpeeds();
    // The body centre: standing (with the character's size factor when asked) or crouched.
    void UpdateCentreOffset(bool applySize);

private:
    // Steps of the update for a unit of a player team: targets it picks, the item it carries to a team-mate.
    void ChooseTarget(Real time);
    void HandOverOnArrival();
    // Steps of the update: stopping at the pickup TargetId names, taking it once the pick-up animation ends.
    void ApproachPickup();
    void FinishCollecting();
    // The actor TargetId names when it is a pickup, else null.
    ServerObject* TargetPickup() const;
    // Crouching: a pickup that hides the unit lies near it; the middle of the crouched body.
    bool NearCoverPickup() const;
    Vector3 CrouchBoxCentre() const;
};


// Registers the unit's maker with the server factory (AI core "mine" and unarmed characters).
void RegisterServerUnit();
