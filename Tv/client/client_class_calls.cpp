#include "Tv/client/client_class_calls.h"

#include "Tv/client/weapons.h"

// The classes fill these in; each tests its class before it touches the object.

void ClientUnitJoinLocalTeam(ClientObject*) {}
bool ClientUnitUnderReconControl(const ClientObject*) { return false; }
void ClientUnitApplyMotionState(ClientObject*, const UnitMotionState&, bool) {}
void ClientUnitStartWalking(ClientObject*, const Vector3&, const UnitMotionState&, const Vector3&) {}
void ClientUnitShowFollowOrder(ClientObject*, CollisionPolygon*, int32_t) {}
void ClientUnitCollapse(ClientObject*, const UnitMotionState&) {}
void ClientUnitChangeSpeed(ClientObject*, int32_t, const UnitMotionState&) {}
void ClientUnitTeleported(ClientObject*) {}
void ClientUnitSeverPart(ClientObject*, int32_t, int32_t) {}
void ClientUnitStartCloak(ClientObject*, const ObjectDefinition*, Real, Real) {}
void ClientUnitStartAudioCloak(ClientObject*, Real, Real) {}
void ClientUnitThrowDecoy(ClientObject*, const Vector3&) {}
void ClientUnitSetStance(ClientObject*, int32_t, bool, bool) {}
bool ClientUnitAnimationLocked(const ClientObject*) { return false; }
uint8_t* ClientUnitAnimationDoneFlag(ClientObject*) { return nullptr; }
void ClientUnitStartStateTimer(ClientObject*) {}
int32_t ClientUnitWeaponType(const ClientObject*) { return kNoWeapon; }
void ClientUnitAddSightBonus(ClientObject*, Real) {}
void ClientUnitPushHoldOrder(ClientObject*) {}
void ClientUnitDropHoldOrder(ClientObject*) {}
void ClientUnitDropFrontOrder(ClientObject*) {}
void ClientUnitTakeFlag(ClientObject*, int32_t) {}
void ClientUnitDropFlag(ClientObject*) {}
void ClientUnitReturnFlag(ClientObject*) {}
void ClientUnitCaptureFlag(ClientObject*) {}
void ClientUnitAddPickedUpItems(ClientObject*, int32_t, const ObjectDefinition*, int32_t, int32_t) {}
void ClientUnitMountItem(ClientObject*, int32_t, int32_t, bool) {}
void ClientUnitUnmountItem(ClientObject*, int32_t) {}
void ClientUnitUseItem(ClientObject*, int32_t, bool) {}
void ClientUnitDropItem(ClientObject*, int32_t) {}
void ClientUnitGiveItem(ClientObject*, int32_t, int32_t, int32_t, int32_t) {}

void ClientBotQueueServerOrder(ClientObject*, int32_t) {}
void ClientBotAttackPoint(ClientObject*, const Vector3&, Real, bool) {}
void ClientBotAttackObject(ClientObject*, ClientObject*, Real, bool) {}
void ClientBotStopAttacking(ClientObject*, Real) {}
bool ClientBotAttackTargetPending(const ClientObject*) { return false; }
void ClientBotStartScan(ClientObject*, Real) {}
void ClientBotChangeAmmoType(ClientObject*, int32_t) {}
void ClientBotSetWeapon(ClientObject*, int32_t) {}
void ClientBotPlayFireAnimation(ClientObject*, Real) {}
bool ClientBotFiredShot(ClientObject*) { return false; }

namespace {

// Until the projectile class exists: a plain object that answers as a projectile.
class ProjectileStandIn final : public ClientObject {
public:
    using ClientObject::ClientObject;
    bool IsProjectile() const override { return true; }
};

} // namespace

ClientObject* TvNewClientProjectile(int32_t team, const ObjectDefinition& definition, const Vector3& position,
                                    const Quaternion& orientation, Real, int32_t, int32_t, int32_t, int32_t id) {
    return new ProjectileStandIn(team, &definition, position, orientation, kClientFlagsProjectile, id);
}
uint32_t ClientProjectileFlags(const ClientObject*) { return 0; }
Vector3 ClientProjectileVelocity(const ClientObject*) { return {0, 0, 0}; }
void ClientProjectileTakeShooterValue(ClientObject*, const ClientObject*) {}
void ClientProjectileEndTrails(ClientObject*, const Vector3&) {}

void TvScareBackgroundCreatures(const Vector3&) {}

void ClientPickupTrigger(ClientObject*) {}
void ClientPickupSetUsed(ClientObject*) {}
void ClientPickupSetTaken(ClientObject*, bool) {}
void ClientPickupSetCount(ClientObject*, int32_t) {}

void ClientPopupSetRaised(ClientObject*, bool) {}

void ClientTrackObjectSetSignalObject(ClientObject*, int32_t) {}
void ClientTrackObjectSetTrack(ClientObject*, const Matrix34&, const Quaternion&, uint8_t) {}
void ClientTrackObjectSetSpeed(ClientObject*, Real) {}
void ClientTrackObjectSetLoopTime(ClientObject*, Real) {}
void ClientTrackObjectStart(ClientObject*, bool, const int32_t*, int32_t) {}
void ClientTrackObjectReverse(ClientObject*) {}
void ClientTrackObjectPause(ClientObject*) {}
void ClientTrackObjectResume(ClientObject*) {}

void ClientPresidentSetExit(ClientObject*, const Vector3&) {}

void ClientCentibodyLinkObject(ClientObject*, ClientObject*) {}
