#pragma once
// ClientObject: the display-side twin of a server actor, the base of every
// client class (units, bots, projectiles, pickups, creatures, lifts...). It
// owns the 3D object, its emitters and its light, keeps the pose the server
// last reported and the display state (team, health, armour, level). Client
// objects live on the main thread only. The reference count starts at 1, the
// registry's reference; Remove drops it.
//
// Every class is reached through one table of virtual operations, declared
// here in its fixed order; subclasses override them and append their own.
// Type tests go through the Is... operations (no RTTI). Times come twice: 64-bit
// GameClock ticks of the calling thread and GameClock seconds.
//
// The registry (ClientObjectHash, LocalTeamObjects, CurrentClientObject, the
// id counter) and the per-frame passes are declared below the class; the
// factory is client_factory.h's (included here for the level build).

#include <cstdint>

#include "Tv/client/client_factory.h"
#include "Tv/defs/objectdefinition.h"
#include "core/hashtable.h"
#include "core/list.h"
#include "core/maths.h"
#include "core/matrix.h"
#include "core/refcounted.h"

class AwBoundingBox;
class AwLight;
class AwLightSet;
class AwModel;
class AwObject;
class AwParticleEmitter;
class AwPickContext;
class CollisionPolygon;
class Inventory;
struct CharacterRecord;
struct MountedItem;
struct Mover;
struct ShadowCaster;
struct WeaponInstance;

// Construction flags (a byte): bit 0 alpha fog and no collision registration,
// bit 1 ignore fog, bit 2 the light follows the object, bit 3 no collision
// registration, bit 4 emitters without their camera-facing option.
constexpr int32_t kClientFlagsPlain = 0;
constexpr int32_t kClientFlagsCreature = 1;
constexpr int32_t kClientFlagsUnit = 1;
constexpr int32_t kClientFlagsLocalUnit = 3;
constexpr int32_t kClientFlagsTrackObject = 4;
constexpr int32_t kClientFlagsBlocker = 8;
constexpr int32_t kClientFlagsProjectile = 17;

// Bits of ObjectRenderFlags.
constexpr uint32_t kRenderPerVertexFog = 0x8;
constexpr uint32_t kRenderAlphaFog = 0x10;
constexpr uint32_t kRenderNoLighting = 0x400000;
constexpr uint32_t kRenderShadowCaster = 0x100000;
constexpr uint32_t kRenderDestinationSelectable = 0x10000000;
constexpr uint32_t kRenderPickable = 0x60000000;

// The pose record of the motion messages: {seconds, position, orientation}, 32 bytes.
struct ClientMotionRecord {
    Real Seconds = 0;
    Vector3 Position{0, 0, 0};
    Quaternion Orientation{0, 0, 0, 1};
};

// One exhaust emitter at a model dummy.
struct ExhaustEmitter : MemObject {
    AwParticleEmitter* Emitter = nullptr;
    OwnedText DummyName;
};

class ClientObject : public RefObject {
public:
    // Builds the 3D object, emitters, light, sizes and level, places the model
    // in the collision world (unless the flags keep it out, or the server runs
    // in this process and its twin already stands there) and registers the
    // object in ClientObjectHash under `id`.
    ClientObject(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                 const Quaternion& orientation, int32_t flags, int32_t id);
    // Leaves the hash and the collision world, detaches, and releases the model.
    ~ClientObject() override;

    // ---- The table, in slot order (slot 0 is the destructor) ----
    // CurrentClientObject becomes this object (the old one released, this one referenced).
    void MakeCurrent() override;
    virtual void SetLevel(Real level) { Level = level; }
    virtual Real GetLevel() const { return Level; }
    // Position raised by half the height of Extent (y grows downward).
    virtual Vector3 GetCentre() const;
    // Health over the character's strength; 1.0 without health or a character.
    virtual Real GetHealthFraction() const;
    virtual bool IsAlive() const { return !Dead; }
    virtual bool GetBotFlag() const { return false; }
    virtual bool IsCloaked() const { return false; }
    virtual void SetCloaked(bool) {}
    virtual const CharacterRecord* GetCharacterRecord() const;
    virtual WeaponInstance* GetWeapon() const { return nullptr; }
    virtual CollisionPolygon* GetFloorPolygon() const { return Floor; }
    virtual bool IsAvailable() const { return true; }
    virtual bool IsMoving() const { return false; }
    virtual int32_t GetBotValue() const { return 0; }
    virtual Inventory* GetInventory() const { return nullptr; }
    virtual bool HasCustomisation() const { return false; }
    virtual Real GetArmour() const { return Armour; }
    virtual Real GetShield() const { return 0; }
    virtual void EmptyHookA(int32_t) {}
    virtual void EmptyHookB(int32_t) {}
    virtual int32_t GetAmmoCount() const { return 100; }
    virtual int32_t GetBotCounter() const { return 0; }
    virtual Mover* GetMotionRecord() const { return nullptr; }
    virtual int32_t GetCarriedFlag() const { return 0; }
    virtual void SetCarriedFlag(int32_t) {}
    virtual void SetModeFlag(int32_t) {}
    virtual void SetArmour(Real armour) { Armour = armour; }
    virtual void SetShield(Real) {}
    virtual bool IsHidden() const { return false; }
    virtual const char* GetPartName() const { return nullptr; }
    virtual bool HasOrders() const { return false; }
    virtual void SetTeam(int32_t team) { Team = team; }
    virtual List<MountedItem*>* GetEquipment() { return nullptr; }
    // The record size the saved games rely on (each class its own).
    virtual int32_t GetSize() const { return 304; }
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
    // The time base, the floor under the object, the idle animation, and the
    // local team's list for an object that joins it.
    virtual void Start(uint64_t ticks, Real seconds);
    // Drops the references the object holds on others.
    virtual void DropReferences() {}
    // Stores the reported pose; an arrival time later than now counts as now.
    virtual bool MoveTo(const Vector3& position, const Quaternion& orientation, Real seconds);
    virtual void SetHidden(bool) {}
    virtual void Reset() {}
    virtual void SyncMotionRecord() {}
    // The time base; a following light moves to the centre, dimmed by the fog.
    virtual void Update(uint64_t ticks, Real seconds);
    // Model animation, forwarded to the model when there is one. Speeds 16.16
    // fixed point, times GameClock ticks; `done` receives 1 once the player ends.
    virtual bool PlayAnimation(int32_t sequence, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                               uint32_t flags);
    virtual void AddAnimation(int32_t sequence, int32_t speed, int32_t loopCount, uint32_t startTime, uint8_t* done,
                              uint32_t flags, int32_t key);
    virtual bool PlayAnimationRange(int32_t sequence, int32_t speed, int32_t from, int32_t to, uint32_t startTime,
                                    uint32_t* endTime, uint8_t* done, uint32_t flags);
    virtual void StopAnimations(uint32_t flags, int32_t key);
    virtual bool IsCollected() const { return false; }
    // Ends the object once: Dead, Detach, out of the hash, the registry's
    // reference released (normally the last). A second call does nothing.
    virtual void Remove();
    virtual void OnRemoveHook() {}
    // The floor's height under Position; Position.y + 1000 without a floor.
    virtual Real GroundHeight() const;
    // The character's "sight range", else 53.
    virtual Real SightRange() const;
    // Queues the 3D object for drawing and moves the emitters.
    virtual void Render();
    virtual bool IsTargetable() const { return IsAlive(); }
    virtual void MoveToRecord(const ClientMotionRecord& record);
    virtual bool JoinsLocalTeam() const { return false; }
    virtual bool IsInLocalTeam() const { return false; }
    virtual void OnMoved() {}
    virtual void BotHookA(ClientObject*) {}
    virtual void BotHookB(const Vector3&) {}
    virtual void BotHookC() {}
    virtual void UnitHookA(bool) {}
    virtual void BotHookD(const Vector3&) {}
    virtual void BotHookE(ClientObject*) {}
    virtual void BotHookF(const Vector3&) {}
    virtual AwModel* GetCustomisationModel() const { return nullptr; }
    virtual void EmptyHookC(int32_t, int32_t, int32_t) {}
    virtual void UnitHookB(int32_t, bool) {}
    virtual ShadowCaster* GetShadowData() const { return ShadowData; }
    // Four path points, the orientation at the end, carries passengers.
    virtual void TrackHookA(const Vector3 (&)[4], const Quaternion&, bool) {}
    virtual void TrackHookB() {}
    virtual void SetMarkValues(Real a, Real b);
    virtual void ClearMarkValues();
    // Plays sound 77.
    virtual void SetSelectValues(Real a, Real b, Real ignored);
    // Plays sound 78.
    virtual void ClearSelectValues();
    // Light, emitters, local team list, shown equipment view, own lights,
    // pickability and shadow pieces go.
    virtual void Detach();

    // ---- Plain operations ----
    int32_t GetId() const { return Id; }
    void SetPosition(const Vector3& position) { Position = position; }
    void SetOrientation(const Quaternion& orientation) { Orientation = orientation; }
    // What a heap holds (message 185).
    void SetLinkValue(const ObjectDefinition* definition) { LinkValue = definition; }
    void RaiseRideCount() { RideCount = 1; }
    void LowerRideCount() { RideCount = RideCount > 0 ? RideCount - 1 : 0; }
    void SetAlertArea(Real a, Real b);
    void ClearAlertArea();
    // Announced; for an object of the local team, sound 101 at the object.
    void SetAlert(Real a, Real b);
    // The dynamic point light at the centre (message 158); replaces any earlier one.
    void CreateLight(const Colour& diffuse, const Colour& specular, Real range);
    void ReleaseLight();
    // A corona at the model's part, kept in Emitter; nothing without a model,
    // with an emitter already held, or without the part.
    void AddCoronaAtPart(const char* part, const Colour& colour);
    // A caption of the text at the object on screen, else mid-screen.
    void ShowStatusText(const char* text);
    // The sequence once at speed 1.0 from the current GameClock time.
    void PlayAnimationOnce(int32_t sequence);
    // ScreenRect from the bounding box under the current camera.
    void UpdateScreenRect();
    // The fog of war's value (0 clear .. 254) at Position for the object's fog flags; 0 without fog.
    int32_t FogLevel() const;
    // Joins the riders of that track object when it exists and is one.
    void AttachToTrack(int32_t trackId);
    // The destruction record's effect (message 107); a fragment object of that id for kind 3.
    void ApplyDestruction(int32_t fragmentId);

    // ---- Fields ----
    uint8_t LightFollows = 0;
    uint8_t IsFragment = 0;
    int32_t Id;
    Real MarkValueA = 0, MarkValueB = 0;
    Real SelectValueA = 0, SelectValueB = 0;
    Real AlarmDelay = 0;
    int32_t State = 0;    // 1 burning after destruction (message 99) until StateEndTime
    int32_t ModeWord = 0; // message 62's value, read by the interface
    ShadowCaster* ShadowData = nullptr;
    AwParticleEmitter* Emitter = nullptr;
    AwParticleEmitter* Emitter2 = nullptr;
    AwLightSet* OwnLights = nullptr; // one reference held
    uint8_t OnScreen = 0;
    int32_t ScreenRect[4] = {0, 0, 0, 0};
    AwBoundingBox* Bounds = nullptr; // owned
    uint8_t DrawVisionCone = 1, DrawHearingRange = 1;
    uint8_t Visible = 0; // queued for drawing in the last Render
    Real LastSeconds = 0;
    uint64_t StateEndTime = 0;
    uint8_t Announced = 0;
    uint8_t NoCollisionRemove = 0;
    Vector3 Position;
    Quaternion Orientation;
    int32_t Team;
    const ObjectDefinition* Definition; // not owned
    const ObjectDefinition* LinkValue = nullptr;
    uint64_t MoveTicks = 0;
    uint64_t StartTicks = 0;
    Real MoveSeconds[2] = {0, 0};
    AwObject* Model = nullptr; // one reference held
    Vector3 Extent{1, 1, 1};
    Real Armour = 0;
    Real Health = 0;
    Real Level = 0;
    int32_t RideCount = 0;
    uint8_t Alert = 0;
    Real AlertA = 0, AlertB = 0;
    AwLight* Light = nullptr;              // in SceneLightsInstance
    List<ExhaustEmitter*> ExhaustEmitters; // owned records
    uint32_t ObjectRenderFlags = 0;
    uint8_t IgnoresFog = 0;
    Real Radius = 0;
    uint8_t InCollisionWorld = 0;
    uint8_t Dead = 0;
    uint8_t Controlled = 0;
    uint8_t ShownInCutscene = 0;
    CollisionPolygon* Floor = nullptr;
    uint8_t InObjectHash = 1;      // registered in ClientObjectHash
    AwPickContext* Pick = nullptr; // queued with the model: a pick hit makes the object current
};

// The level shown on an object's status: from armour and health (1 to 5),
// raised by the interface beam's delay, capped at 9; 10 more for an object the
// beam cannot reach; 0 for the barrels ("blobarrel", "oildrum").
Real ClientLevelOf(const ObjectDefinition* definition, Real armour, Real health);

// ---- The registry (main thread) ----
constexpr uint32_t kClientObjectHashBuckets = 64;
// Every live client object keyed by Id (bucket Id AND 63, new entries at the
// head of their chain). An entry holds no reference of its own.
extern HashTable<ClientObject*> ClientObjectHash;
// The live objects of LocalTeam whose JoinsLocalTeam answers true, in start order.
extern List<ClientObject*> LocalTeamObjects;
// The current object (one reference held), or null.
extern ClientObject* CurrentClientObject;
// The next id of a client-made object: 0 at level load, saved with games.
extern int32_t ClientObjectIdCounter;
// Model dummies that carry an exhaust emitter; the level load adds "dum exhaust".
extern List<OwnedText> ExhaustDummyNames;
// Every live background and flying creature (their classes join and leave it).
extern List<ClientObject*> BackgroundCreatureList;
// The corners the console's SET UPPER LEFT BOUND and SET LOWER RIGHT BOUND set.
extern Vector3 UpperLeftBound, LowerRightBound;

// The object with that id, or null.
ClientObject* TvFindClientObject(int32_t id);
// Update on every object; objects removed during the pass stay valid until its end.
void UpdateAllClientObjects(uint64_t ticks, Real seconds);
// Render on every object, buckets in ascending order.
void RenderAllClientObjects();
// Start at time 0 on every object (after the level-start handshake).
void StartAllClientObjects();
// CurrentClientObject goes; every object drops its references and the registry's one.
void ReleaseAllClientObjects();
// Level load: the id counter to 0 and "dum exhaust" the one exhaust dummy.
void TvResetClientObjects();
// Level teardown: the exhaust dummy names go.
void TvClearExhaustDummyNames();

// The object is firing: a bot in an attack.
bool TvIsClientObjectFiring(const ClientObject& object);
// The music's view of the client objects (alive, drawn, unit, team, firing; LocalTeam).
void InstallClientMusicSource();
