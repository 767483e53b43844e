#pragma once
// The operations of the later client classes that the message handlers call:
// units, bots, projectiles, pickups, track objects, popups, centipede bodies
// and presidents. Each takes any client object and tests its class first, so
// a message about an object of another class does nothing. Until a class is
// built its operations do nothing (queries answer as for an object without
// the state they ask about); the class fills them in. Main thread only.

#include <cstdint>

#include "Tv/client/client_objects.h"

class CollisionPolygon;
struct InventoryItem;

// The 48-byte motion state of the unit motion messages as the client reads it: the pose, three
// motion values and the animation id (the low 24 bits of its last word).
struct ClientMotionState {
    ClientMotionRecord Pose;
    Real Motion[3] = {0, 0, 0};
    int32_t Animation = 0;
};

// ---- Units (IsUnit) ----
// The unit joins the local player's team (owner notice): it becomes selectable.
void ClientUnitJoinLocalTeam(ClientObject* object);
// Under recon control the player steers the unit directly, and the server's placements wait.
bool ClientUnitUnderReconControl(const ClientObject* object);
void ClientUnitApplyMotionState(ClientObject* object, const ClientMotionState& state, bool stopped);
void ClientUnitStartWalking(ClientObject* object, const Vector3& destination, const ClientMotionState& state,
                            const Vector3& targetPoint);
// A shown order of kind 2 toward the polygon with the value as its target.
void ClientUnitShowFollowOrder(ClientObject* object, CollisionPolygon* polygon, int32_t value);
// Health 0, down, then placed by the state's pose.
void ClientUnitCollapse(ClientObject* object, const ClientMotionState& state);
// `change` (16.16) added to the walk animation's speed, then placed by the state's pose.
void ClientUnitChangeSpeed(ClientObject* object, int32_t change, const ClientMotionState& state);
// After a teleport: the shown orders go and the stop is sent (a living bot of the local team also reports).
void ClientUnitTeleported(ClientObject* object);
// The part at the definition's sever point becomes an object of its own with `newId`.
void ClientUnitSeverPart(ClientObject* object, int32_t newId, int32_t severIndex);
// The visual cloak of `effect` from `start` to `end` (GameClock seconds).
void ClientUnitStartCloak(ClientObject* object, const ObjectDefinition* effect, Real start, Real end);
void ClientUnitStartAudioCloak(ClientObject* object, Real start, Real end);
void ClientUnitThrowDecoy(ClientObject* object, const Vector3& point);
void ClientUnitSetStance(ClientObject* object, int32_t stance, bool cloaked, bool instant);
// Animations the unit plays itself are locked against the server's.
bool ClientUnitAnimationLocked(const ClientObject* object);
// The byte a reported animation sets when it ends; null for an object without one.
uint8_t* ClientUnitAnimationDoneFlag(ClientObject* object);
// The state timer of message 97: RealClock now plus two seconds.
void ClientUnitStartStateTimer(ClientObject* object);
// The weapon type the unit's character fires; kNoWeapon for other objects.
int32_t ClientUnitWeaponType(const ClientObject* object);
void ClientUnitAddSightBonus(ClientObject* object, Real bonus);
// Shown orders: a hold order in front (101), the front hold order off (102), the front order off (134).
void ClientUnitPushHoldOrder(ClientObject* object);
void ClientUnitDropHoldOrder(ClientObject* object);
void ClientUnitDropFrontOrder(ClientObject* object);
// Capture the flag: the unit takes, drops, returns or captures the flag of `team`.
void ClientUnitTakeFlag(ClientObject* object, int32_t team);
void ClientUnitDropFlag(ClientObject* object);
void ClientUnitReturnFlag(ClientObject* object);
void ClientUnitCaptureFlag(ClientObject* object);
// Items of the unit's inventory by id.
void ClientUnitAddPickedUpItems(ClientObject* object, int32_t kind, const ObjectDefinition* item, int32_t itemId,
                                int32_t count);
void ClientUnitMountItem(ClientObject* object, int32_t mountSlot, int32_t itemId, bool announce);
// Takes off the mounted entry holding the item, if any.
void ClientUnitUnmountItem(ClientObject* object, int32_t itemId);
void ClientUnitUseItem(ClientObject* object, int32_t itemId, bool announce);
void ClientUnitDropItem(ClientObject* object, int32_t itemId);
void ClientUnitGiveItem(ClientObject* object, int32_t itemId, int32_t receiverId, int32_t count, int32_t extra);

// ---- Bots (IsBot) ----
// A client order of kind 0 at `targetId` appended to the bot's queue.
void ClientBotQueueServerOrder(ClientObject* object, int32_t targetId);
void ClientBotAttackPoint(ClientObject* object, const Vector3& point, Real time, bool alternate);
// Without a target the bot stops attacking.
void ClientBotAttackObject(ClientObject* object, ClientObject* target, Real time, bool alternate);
void ClientBotStopAttacking(ClientObject* object, Real time);
bool ClientBotAttackTargetPending(const ClientObject* object);
void ClientBotStartScan(ClientObject* object, Real time);
void ClientBotChangeAmmoType(ClientObject* object, int32_t ammoType);
void ClientBotSetWeapon(ClientObject* object, int32_t weaponType);
void ClientBotPlayFireAnimation(ClientObject* object, Real time);
// The bookkeeping of a shot the server fired for the bot: its counter, reload
// and rounds; true when it used its last round (the empty click plays).
bool ClientBotFiredShot(ClientObject* object);
// The unit's ammunition stack changed hands: when it is the bot's current one,
// `gone` (the stack left the inventory; the pointer is only compared, it may
// be freed) makes the bot let go of it and reload, else the magazine keeps no
// more rounds than the stack holds.
void ClientBotAmmoStackChanged(ClientObject* object, const InventoryItem* stack, bool gone);

// ---- Projectiles ----
// A projectile fired by the server, not yet started; null when none is made.
// Until the projectile class exists it is a plain object of the projectile's
// definition and id that answers IsProjectile.
ClientObject* TvNewClientProjectile(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                                    const Quaternion& orientation, Real speed, int32_t shooterId, int32_t targetId,
                                    int32_t weaponType, int32_t id);
// The projectile's flags (its definition's); 0 for other objects.
uint32_t ClientProjectileFlags(const ClientObject* object);
// The projectile's velocity (0 for other objects).
Vector3 ClientProjectileVelocity(const ClientObject* object);
// The shooter's character value taken over.
void ClientProjectileTakeShooterValue(ClientObject* projectile, const ClientObject* shooter);
// The trail emitters move to the end, stop and fade.
void ClientProjectileEndTrails(ClientObject* object, const Vector3& end);

// Projectile flags.
constexpr uint32_t kProjectileFlare = 0x4;
constexpr uint32_t kProjectileSpray = 0x8;
constexpr uint32_t kProjectileDestroys = 0x10;
constexpr uint32_t kProjectileDefogger = 0x80;
constexpr uint32_t kProjectileStreak = 0x100;
constexpr uint32_t kProjectileEmp = 0x200;
constexpr uint32_t kProjectileImpactEffects = kProjectileSpray | kProjectileStreak | kProjectileEmp;

// ---- Background creatures ----
// The creatures near a place react to a shot that hit nothing.
void TvScareBackgroundCreatures(const Vector3& position);

// ---- Pickups (IsPickup) ----
void ClientPickupTrigger(ClientObject* object);
void ClientPickupSetUsed(ClientObject* object);
// Taken: no longer pickable (with its sound unless it goes after collection); back: pickable again.
void ClientPickupSetTaken(ClientObject* object, bool taken);
void ClientPickupSetCount(ClientObject* object, int32_t count);

// ---- Popups (IsPopup) ----
// The raise animation, at once or at its own pace.
void ClientPopupSetRaised(ClientObject* object, bool now);

// ---- Track objects (IsTrackObject) ----
void ClientTrackObjectSetSignalObject(ClientObject* track, int32_t objectId);

void ClientTrackObjectSetTrack(ClientObject* track, const Matrix34& path, const Quaternion& orientation,
                               uint8_t carries);
// Speed = scale / 10.
void ClientTrackObjectSetSpeed(ClientObject* track, Real scale);
void ClientTrackObjectSetLoopTime(ClientObject* track, Real seconds);
// A track running the given way takes the listed objects aboard and starts;
// a track set the other way ignores it.
void ClientTrackObjectStart(ClientObject* track, bool backward, const int32_t* passengerIds, int32_t count);
void ClientTrackObjectReverse(ClientObject* track);
void ClientTrackObjectPause(ClientObject* track);
void ClientTrackObjectResume(ClientObject* track);

// ---- Presidents (IsPresident) ----
void ClientPresidentSetExit(ClientObject* object, const Vector3& exit);

// ---- Centipede bodies (IsCentibody) ----
// The body keeps a counted reference to `linked`.
void ClientCentibodyLinkObject(ClientObject* object, ClientObject* linked);
