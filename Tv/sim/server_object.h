#pragma once
// ServerObject: the authoritative server-side actor, the base of every class
// of the simulation (units, bots, projectiles, pickups, creatures, lifts...).
// It lives on the server thread, or on the main thread while that holds the
// server lock. The reference count starts at 1, the actor registry's
// reference; the last release deletes the actor.
//
// Every class is reached through one table of virtual operations, declared
// here in its fixed order; subclasses override them and append their own.
// Times come twice: ServerClock ticks and the same instant in seconds.

#include <cstdint>

#include "core/list.h"
#include "core/maths.h"
#include "core/matrix.h"
#include "core/refcounted.h"
#include "Tv/sim/walk_step.h"

class AwObject;
class CollisionPolygon;
class Inventory;
struct CharacterRecord;
struct EquippedItem;
struct HitRecord;
struct Mover;
struct ObjectDefinition;
struct Vulnerability;
struct WeaponInstance;

// Construction flags: bit 0 or 2 make the actor mobile; bit 0 or 3 keep its
// model out of the collision world.
constexpr int32_t kActorFlagsPlain = 0;
constexpr int32_t kActorFlagsCreature = 1;
constexpr int32_t kActorFlagsUnit = 1;
constexpr int32_t kActorFlagsLocalUnit = 3;
constexpr int32_t kActorFlagsTrackObject = 4;
constexpr int32_t kActorFlagsBlocker = 8;
constexpr int32_t kActorFlagsProjectile = 17;

// The AiFlags bits, one list for every class that reads or sets them.
constexpr uint32_t kAiFlagShotAt = 0x4;      // a shot came its way since the last think
constexpr uint32_t kAiFlagNoiseEvent = 0x8;  // owns a noise event
constexpr uint32_t kAiFlagExploded = 0x10;   // blasts skip it
constexpr uint32_t kAiFlagHunter = 0x20;     // the combat core's idle step leaves it alone
constexpr uint32_t kAiFlagFlareFirer = 0x40; // fires flares
constexpr uint32_t kAiFlagFlareShot = 0x80;  // its next shot is a flare
constexpr uint32_t kAiFlagMineStarted = 0x100; // a mine: its start has run
constexpr uint32_t kAiFlagNoFloorMark = 0x100; // a unit: leaves no mark on its floor polygon
constexpr uint32_t kAiFlagDeadForAi = 0x200;

class ServerObject : public RefObject {
public:
    // Builds the model, sizes and level, copies the definition's
    // vulnerabilities, places the model in the collision world (unless the
    // flags keep it out) and registers the actor in ServerActorHash under
    // `id` (taken by the caller from ActorIdCounter). The caller appends the
    // actor to its team's list when InTeamList is set and starts it.
    ServerObject(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                 const Quaternion& orientation, int32_t flags, int32_t id);
    // Unlinks whatever is left (hash entry, collision world, team list) and
    // releases the model and the AI target.
    ~ServerObject() override;

    // ---- The table, in slot order ----
    void MakeCurrent() override {} // the client twin's; a server actor does nothing
    // Announces the new level (message 85), then sets it.
    virtual void SetLevel(Real level);
    virtual Real GetLevel() const { return Level; }
    // Position raised by half the height of Size.
    virtual Vector3 GetCentre() const;
    virtual Real GetHealthFraction() const;
    virtual bool IsAlive() const { return !Dead; }
    virtual bool IsFiring() const { return false; }
    virtual bool IsActive() const { return false; }
    virtual void SetActive(bool) {}
    virtual const CharacterRecord* GetCharacterRecord() const;
    virtual WeaponInstance* GetWeapon() const { return nullptr; }
    virtual CollisionPolygon* GetFloorPolygon() const { return FloorPolygon; }
    virtual bool IsDetectable() const { return true; }
    virtual bool IsMoving() const { return false; }
    virtual ServerObject* GetFireTarget() const { return nullptr; }
    virtual Inventory* GetInventory() const { return nullptr; }
    virtual bool HasCustomisationModel() const { return false; }
    virtual Real GetArmour() const { return Armour; }
    virtual Real GetShield() const { return 0; }
    virtual void DrainArmourItems(Real) {}
    virtual void DrainShieldItems(Real) {}
    virtual int32_t GetMagazineSize() const { return 100; }
    virtual int32_t GetMagazineCount() const { return 0; }
    virtual Mover* GetMotion() const { return nullptr; }
    virtual int32_t GetCarriedFlag() const { return 0; }
    virtual void SetCarriedFlag(int32_t) {}
    // The saved-game loader's; no class answers it.
    virtual void RestoreHook(int32_t) {}
    virtual void SetArmour(Real armour) { Armour = armour; }
    virtual void SetShield(Real) {}
    virtual bool IsUnderDirectControl() const { return false; }
    // The model part the next shot leaves from, or null.
    virtual const char* GetMuzzleHotspot() const { return nullptr; }
    virtual bool HasOrders() const { return false; }
    // Moves the actor to another team; the caller relinks the team lists and tells the clients.
    virtual void SetTeam(int32_t team) { Team = team; }
    virtual List<EquippedItem*>* GetEquipment() { return nullptr; }
    // The record size the saved games rely on (each class its own).
    virtual int32_t GetSize() const { return 288; }
    virtual bool IsUnit() const { return false; }
    virtual bool IsBot() const { return false; }
    virtual bool IsProjectile() const { return false; }
    virtual bool IsTrackObject() const { return false; }
    virtual bool IsNode() const { return false; }
    virtual bool IsCentipede() const { return false; }
    virtual bool IsCentibody() const { return false; }
    virtual bool IsBackgroundCreature() const { return false; }
    virtual bool IsFlyingCreature() const { return false; }
    virtual bool IsPickup() const { return false; }
    virtual bool IsTumbleweed() const { return false; }
    virtual bool IsPopup() const { return false; }
    virtual bool IsBlocker() const { return false; }
    virtual bool IsPresident() const { return false; }
    virtual bool IsTurret() const { return false; }
    // The actor's time base; finds the floor under it and runs the AI start callback.
    virtual void Start(uint64_t time, Real seconds);
    // Drops the references the actor holds on other actors (AiTarget here).
    virtual void ReleaseReferences();
    // Places the actor directly; StateTicks from the seconds at the calling thread's rate.
    virtual bool MoveTo(const Vector3& position, const Quaternion& orientation, Real seconds);
    virtual void SetDirectControl(bool) {}
    virtual void Step(uint64_t, Real) {}
    // Plans a path to within that squared range of the target (units).
    virtual void Replan(ServerObject*, Real) {}
    // The path start + t direction against the actor (its shape tree, else its
    // box): true on a hit no later than in.t, the updated record in `out`.
    // No model: no hit.
    virtual bool HitTestSegment(HitRecord& out, const Vector3& start, const Vector3& direction, const HitRecord& in);
    // The path start + velocity t + acceleration t^2 / 2, as HitTestSegment.
    virtual bool HitTestBallistic(HitRecord& out, const Vector3& start, const Vector3& velocity,
                                  const Vector3& acceleration, const HitRecord& in);
    virtual void SetHeap(int32_t, int32_t) {}
    virtual bool CanTakeDirectControl() const { return false; }
    virtual bool GetMovesOnLifts() const { return MovesOnLifts != 0; }
    virtual bool IsPathPending() const { return false; }
    virtual bool IsDisabled() const { return false; }
    // Destruction by the definition's destruction record: respawn trigger,
    // blast, fragments, script, replacement, removal.
    virtual void Explode();
    // Ends the actor's life in the simulation, once: sets Dead, runs OnDeath,
    // spawns the heap contents, announces it (message 73) when asked, leaves
    // ServerActorHash and drops the registry's reference (the actor may be
    // deleted here).
    virtual void Remove(bool announce);
    virtual void Associate(int32_t, int32_t) {}
    virtual void Disable() {}
    // Applies damage; true when it changed the actor.
    virtual bool TakeDamage(Real amount, bool protectedHit, int32_t attackerTeam);
    virtual void SyncMotionPosition() {}
    // Countdown and time base, the model's pose and animation, the pose broadcast (111).
    virtual void Think(uint64_t time, Real seconds);
    // Model animation, forwarded to the model when there is one.
    virtual bool PlaySequence(int32_t n, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                              uint32_t flags, bool reset);
    virtual void AddSequence(int32_t n, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                             uint32_t flags, bool reset);
    virtual bool PlaySequenceRange(int32_t n, int32_t speed, int32_t from, int32_t to, uint32_t startTime,
                                   uint32_t* endTime, uint8_t* done, uint32_t flags, bool holdTracks);
    virtual void StopSequences(uint32_t mode, int32_t key);
    virtual bool GetPickupFlag() const { return false; }
    // The SET TRACK command's (track objects answer).
    virtual void SetTrack(int32_t, int32_t, int32_t) {}
    virtual void RunTrack() {}
    virtual void Stun(Real start, Real end);
    virtual void EndStun();
    virtual void Convert(Real start, Real end, int32_t team);
    virtual void EndConversion();
    // The AI's bookkeeping at death: noise event, mine slots, AiFlags bit 9.
    virtual void OnDeath();

    // ---- Plain operations ----
    int32_t GetId() const { return Id; }
    int32_t GetTeamIndex() const { return Team; }
    Vector3* PositionPtr() { return &Position; }
    // Store the pose and mark it for the next pose broadcast; the quiet forms do not mark.
    void SetPosition(const Vector3& position);
    void SetOrientation(const Quaternion& orientation);
    void SetPositionQuiet(const Vector3& position) { Position = position; }
    void SetOrientationQuiet(const Quaternion& orientation) { Orientation = orientation; }
    // Sets what the heap holds and announces it (message 185).
    void SetHeapContents(const ObjectDefinition* definition);
    // Joins the riders of that track object (when it exists, is one, and this
    // actor is registered and not yet riding it).
    void AttachToTrack(int32_t trackId);
    void MarkOnTrack();
    void MarkOffTrack();
    // Replaces AiTarget (reference counted; null clears it).
    void SetAiTarget(ServerObject* target);

    // ---- Fields ----
    uint8_t Mobile = 0;    // flags bit 0 or 2
    uint8_t SpareFlag = 0; // for subclasses
    int32_t Id;
    List<Vulnerability*> Vulnerabilities; // the definition's (shared) and the actor's own (owned flag)
    Real StunStart = 0, StunEnd = 0;
    Real ConvertStart = 0, ConvertEnd = 0;
    Real AlarmDelay = 0;
    void (*AiTickCallback)(ServerObject* actor, uint64_t time) = nullptr;
    void (*AiStartCallback)(ServerObject* actor, uint64_t time) = nullptr;
    uint8_t InTeamList = 1;            // belongs in its team's list of TeamActorLists
    ServerObject* AiTarget = nullptr;  // one reference held
    int32_t TargetId = -1;
    // The AI's block.
    uint64_t AlarmTime = 0;
    int32_t AiCore = 0;
    int32_t AiActivity = 0;
    uint64_t AiWakeTime = 0;
    Real AiAggression = 0;
    Vector3 InvestigatePoint{0, 0, 0};
    uint8_t NoInvestigatePoint = 1;
    int32_t WithheldShots = 0;
    uint8_t HasNoisePoint = 0;
    uint32_t AiFlags = 0;
    int32_t AlarmState = 0;
    int32_t AiSpare = 0;
    Real LastSeconds = 0; // of the last Start or Think
    int32_t SpareWord = 0; // for subclasses
    uint64_t AiTimer = 0;
    Real Countdown = 10.0f;
    uint8_t KeepModelInWorld = 0; // the destructor leaves the model in the collision world
    Vector3 Position;
    Quaternion Orientation;
    int32_t Team;
    const ObjectDefinition* Definition; // not owned
    const ObjectDefinition* HeapContents = nullptr;
    uint64_t StateTicks = 0;
    uint64_t ThinkTicks = 0;
    Real StateSeconds = 0;
    Real BroadcastSeconds = 0;
    AwObject* Model = nullptr; // one reference held
    Vector3 Size{1, 1, 1};     // the model's extent in world axes
    Real Armour = 0;
    Real Strength = 0;
    Real Level = 0;
    int32_t OnTrack = 0;
    uint8_t BeamPending = 0;
    Real BeamStartSeconds = 0;
    Real BeamDueSeconds = 0;
    uint8_t StateChanged = 0; // the pose changed since the last pose broadcast
    uint8_t MovesOnLifts = 0;
    Real Radius = 0;
    uint8_t InCollisionWorld = 0;
    uint8_t Dead = 0; // set once by Remove
    uint8_t SavedByte1 = 0, SavedByte2 = 0; // carried by the saved game
    CollisionPolygon* FloorPolygon = nullptr; // the floor under the actor, found when it starts
    uint8_t InActorHash = 1; // registered in ServerActorHash
    // A loaded actor's saved references (id + 1, 0 none) until the fix-up resolves them.
    int32_t SavedHeapContentsId = 0;
    int32_t SavedAiTargetId = 0;
    // Built by the saved-game loader: its start keeps what was restored (a bot's
    // weapon and magazine, a centipede's body).
    uint8_t Loaded = 0;
};

