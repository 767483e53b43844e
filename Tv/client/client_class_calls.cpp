#include "Tv/client/client_class_calls.h"

#include "Tv/client/client_bot.h"
#include "Tv/client/inventory.h"
#include "Tv/client/client_unit.h"
#include "Tv/client/weapons.h"
#include "Tv/sim/cheat_switches.h"

// The classes fill these in; each tests its class before it touches the object.

void ClientUnitJoinLocalTeam(ClientObject* object) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->JoinLocalTeam();
}
// The recon view that steers a unit directly is the interface's; until it lands no unit is steered.
bool ClientUnitUnderReconControl(const ClientObject*) { return false; }
void ClientUnitApplyMotionState(ClientObject* object, const ClientMotionState& state, bool stopped) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->ApplyMotionState(state, stopped);
}
void ClientUnitStartWalking(ClientObject* object, const Vector3& destination, const ClientMotionState& state,
                            const Vector3& targetPoint) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->StartWalking(destination, state, targetPoint);
}
void ClientUnitShowFollowOrder(ClientObject* object, CollisionPolygon* polygon, int32_t value) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->ShowFollowOrder(polygon, value);
}
void ClientUnitCollapse(ClientObject* object, const ClientMotionState& state) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->Collapse(state);
}
void ClientUnitChangeSpeed(ClientObject* object, int32_t change, const ClientMotionState& state) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->ChangeSpeed(change, state);
}
void ClientUnitTeleported(ClientObject* object) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->SendStop();
}
void ClientUnitSeverPart(ClientObject* object, int32_t newId, int32_t severIndex) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->SeverPart(newId, severIndex);
}
void ClientUnitStartCloak(ClientObject* object, const ObjectDefinition* effect, Real start, Real end) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->StartCloak(effect, start, end);
}
void ClientUnitStartAudioCloak(ClientObject* object, Real start, Real end) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->StartAudioCloak(start, end);
}
void ClientUnitThrowDecoy(ClientObject* object, const Vector3& point) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->ThrowDecoy(point);
}
void ClientUnitSetStance(ClientObject* object, int32_t stance, bool cloaked, bool instant) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->SetStance(stance, cloaked, instant);
}
bool ClientUnitAnimationLocked(const ClientObject* object) {
    const ClientUnit* unit = AsClientUnit(object);
    return unit && unit->Armed;
}
uint8_t* ClientUnitAnimationDoneFlag(ClientObject* object) {
    ClientUnit* unit = AsClientUnit(object);
    return unit ? &unit->AnimationEnded : nullptr;
}
// The state timer drives the unit's glow effect, which is the effects' to build.
void ClientUnitStartStateTimer(ClientObject*) {}
int32_t ClientUnitWeaponType(const ClientObject* object) {
    const ClientUnit* unit = AsClientUnit(object);
    return unit ? unit->Character->weapon : kNoWeapon;
}
void ClientUnitAddSightBonus(ClientObject* object, Real bonus) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->AddSightBonus(bonus);
}
void ClientUnitPushHoldOrder(ClientObject* object) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->PushHoldOrder();
}
void ClientUnitDropHoldOrder(ClientObject* object) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->DropHoldOrder();
}
void ClientUnitDropFrontOrder(ClientObject* object) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->DropFrontOrder();
}
void ClientUnitTakeFlag(ClientObject* object, int32_t team) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->TakeFlag(team);
}
void ClientUnitDropFlag(ClientObject* object) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->DropFlag();
}
void ClientUnitReturnFlag(ClientObject* object) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->ReturnFlag();
}
void ClientUnitCaptureFlag(ClientObject* object) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->CaptureFlag();
}
void ClientUnitAddPickedUpItems(ClientObject* object, int32_t kind, const ObjectDefinition* item, int32_t itemId,
                                int32_t count) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->AddPickedUpItems(kind, item, itemId, count);
}
void ClientUnitMountItem(ClientObject* object, int32_t mountSlot, int32_t itemId, bool announce) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->MountItem(mountSlot, itemId, announce);
}
void ClientUnitUnmountItem(ClientObject* object, int32_t itemId) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->UnmountItem(unit->FindMounted(itemId));
}
void ClientUnitUseItem(ClientObject* object, int32_t itemId, bool announce) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->UseItem(itemId, announce);
}
void ClientUnitDropItem(ClientObject* object, int32_t itemId) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->DropItem(itemId);
}
void ClientUnitGiveItem(ClientObject* object, int32_t itemId, int32_t receiverId, int32_t count, int32_t extra) {
    if (ClientUnit* unit = AsClientUnit(object)) unit->GiveItem(itemId, receiverId, count, extra);
}

void ClientBotQueueServerOrder(ClientObject* object, int32_t targetId) {
    if (ClientBot* bot = AsClientBot(object)) bot->UnitHookD(targetId, false);
}
void ClientBotAttackPoint(ClientObject* object, const Vector3& point, Real time, bool alternate) {
    if (ClientBot* bot = AsClientBot(object)) bot->AttackPoint(point, time, false, alternate);
}
void ClientBotAttackObject(ClientObject* object, ClientObject* target, Real time, bool alternate) {
    if (ClientBot* bot = AsClientBot(object)) bot->AttackObject(target, time, false, alternate);
}
void ClientBotStopAttacking(ClientObject* object, Real time) {
    if (ClientBot* bot = AsClientBot(object)) bot->StopAttacking(time);
}
bool ClientBotAttackTargetPending(const ClientObject* object) {
    const ClientBot* bot = AsClientBot(object);
    return bot && bot->AttackFlag;
}
void ClientBotStartScan(ClientObject* object, Real time) {
    if (ClientBot* bot = AsClientBot(object)) bot->StartScan(time);
}
void ClientBotChangeAmmoType(ClientObject* object, int32_t ammoType) {
    if (ClientBot* bot = AsClientBot(object)) bot->ChangeAmmoType(ammoType);
}
void ClientBotSetWeapon(ClientObject* object, int32_t weaponType) {
    if (ClientBot* bot = AsClientBot(object)) bot->SetWeapon(weaponType);
}
void ClientBotPlayFireAnimation(ClientObject* object, Real) {
    if (ClientBot* bot = AsClientBot(object)) bot->PlayFireAnimation();
}
bool ClientBotFiredShot(ClientObject* object) {
    ClientBot* bot = AsClientBot(object);
    if (!bot) return false;
    if (bot->GetBotCounter() == 0) {
        if (InfiniteAmmo)
            bot->SetRoundsInMagazine(1);
        else
            bot->Reload();
    }
    return bot->UseRound() == kReloadSwitched;
}
void ClientBotAmmoStackChanged(ClientObject* object, const InventoryItem* stack, bool gone) {
    ClientBot* bot = AsClientBot(object);
    if (!bot || !stack || bot->AmmoItem != stack) return;
    if (gone) {
        bot->AmmoItem = nullptr;
        bot->Reload();
    } else if (bot->RoundsInMagazine > stack->Count) {
        bot->RoundsInMagazine = stack->Count > 0 ? stack->Count : 0;
    }
}

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
