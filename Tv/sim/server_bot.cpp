#include "Tv/sim/server_bot.h"

#include <algorithm>
#include <cmath>

#include "Awapi/object.h"
#include "Tv/client/teamtable.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/match_settings.h"
#include "Tv/server/senders.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/default_item.h"
#include "Tv/sim/lob_elevation.h"
#include "chunkfile/nametext.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/random.h"

namespace {

constexpr int32_t kWeaponTypeHalfRound = 12;  // fires twice as fast for the character "tavrin"
constexpr int32_t kGameStateNoCeaseFire = 17; // a change of side keeps the attack
constexpr Real kLobSpeedFactor = 0.65f;

const char* TextOf(const OwnedText& text) { return text.Get(); }

} // namespace

ServerBot::ServerBot(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                     const Quaternion& orientation, int32_t id)
    : ServerUnit(team, definition, position, orientation, id) {
    if (Character) {
        WeaponCycleTime = Character->weaponCycleTime;
        TargetCycleTime = Character->targetCycleTime;
        if (Character->weapon != kWeaponTypeNone) {
            Weapon = new WeaponInstance;
            Weapon->WeaponType = Character->weapon;
        }
    }
    if (Definition) {
        MuzzleHotspot = TextOf(Definition->hotspotName);
        OtherMuzzleHotspot =
            Definition->alternateHotspotName.IsNone() ? MuzzleHotspot : TextOf(Definition->alternateHotspotName);
        Shield = Definition->shields;
    }
    MuzzlePosition = position;
    AiData = new ActorAiData(this, &Scan);
    NextScanTime = static_cast<Real>(RandomGenerator::ForCallingThread().Draw() % 10) * 0.1f;
}

ServerBot::~ServerBot() {
    delete AiData;
    ReleaseFireTarget();
    delete Weapon;
}

int32_t ServerBot::GetMagazineSize() const { return Weapon ? Weapon->MagazineSize : 100; }

void ServerBot::SetTeam(int32_t team) {
    if (Attacking && team != Team && CurrentGameState != kGameStateNoCeaseFire) StopAttacking(ServerClock.GetSeconds());
    ServerUnit::SetTeam(team);
}

void ServerBot::Start(uint64_t time, Real seconds) {
    ServerUnit::Start(time, seconds);
    if (!Loaded) ReloadWeapon();
    UpdateMuzzlePosition(time);
}

void ServerBot::ReleaseReferences() {
    ReleaseFireTarget();
    ServerUnit::ReleaseReferences();
}

void ServerBot::Remove(bool announce) {
    ReleaseFireTarget();
    Attacking = 0;
    ServerUnit::Remove(announce);
}

void ServerBot::QueueSetAmmo(int32_t ammoType) {
    auto* order = new UnitOrder;
    order->Type = kOrderChangeAmmo;
    order->ItemKey = ammoType;
    Orders.PushBack(order);
}

void ServerBot::QueueAttackPoint(const Vector3& point) { QueueAttackPoint(point, 0); }
void ServerBot::QueueAttackTarget(int32_t targetId) { QueueAttackTarget(targetId, 0); }

void ServerBot::QueueAttackPoint(const Vector3& point, int32_t lob) {
    auto* order = new UnitOrder;
    order->Type = kOrderAttackPoint;
    order->Position = point;
    order->AttackWord = lob & 0xff;
    Orders.PushBack(order);
}

void ServerBot::QueueAttackTarget(int32_t targetId, int32_t lob) {
    auto* order = new UnitOrder;
    order->Type = kOrderAttackTarget;
    order->TargetId = targetId;
    order->AttackWord = lob & 0xff;
    Orders.PushBack(order);
}

void ServerBot::SetWeapon(int32_t weaponType) {
    StopAttacking(LastSeconds);
    if (TeamTable::IsPlayerTeam(Team)) {
        ByteWriter message = ActorMessage(kMsgBotWeapon, Id);
        message.I32(weaponType);
        TvBroadcast(message, true);
    }
    delete Weapon;
    Weapon = nullptr;
    MagazineCount = 0;
    AmmoItem = nullptr;
    if (weaponType == kWeaponTypeNone) return;
    Weapon = new WeaponInstance;
    Weapon->WeaponType = weaponType;
    ReloadWeapon();
    if (weaponType == kWeaponTypeHalfRound && Definition && Definition->name.Get() &&
        EqualsIgnoringCase(Definition->name.Get(), "tavrin"))
        Weapon->RoundTicks *= 0.5f;
}

void ServerBot::SetAmmoType(int32_t ammoType) {
    if (!Weapon) return;
    Weapon->SetAmmoType(ammoType);
    FillMagazine(); // an unfitted bot, which counts no rounds, keeps firing
    ByteWriter message = ActorMessage(kMsgBotAmmoType, Id);
    message.I32(ammoType);
    TvBroadcast(message, true);
}

void ServerBot::ReloadWeapon() {
    if (!Weapon) return;
    Weapon->SetDefaultAmmo();
    FillMagazine();
}

void ServerBot::FillMagazine() {
    if (Inventory && HasCustomisationModel()) {
        MagazineCount = 0;
        SelectAmmo();
    } else {
        MagazineCount = 1; // a bot not fitted by a player does not count its rounds
    }
}

void ServerBot::ReleaseFireTarget() {
    if (FireTarget) FireTarget->Release();
    FireTarget = nullptr;
}

void ServerBot::Unconceal() {
    Concealed = 0;
    DisguiseStart = DisguiseEnd = 0;
    DisguiseId = -1;
}

void ServerBot::BeginAttack(Real time, int32_t holdFire, int32_t lob) {
    LastAttackChange = time;
    ReleaseFireTarget();
    Attacking = 1;
    YawAimed = PitchAimed = 0;
    HoldFire = static_cast<uint8_t>(holdFire != 0);
    Lob = static_cast<uint8_t>(lob != 0);
    if (Weapon)
        ShotSpeed =
            Weapon->FiringSpeed * (Lob ? kLobSpeedFactor : 1.0f) * (Character ? Character->shotSpeedMultiplier : 1.0f);
    WithheldShots = 0;
    AttackCommandTime = time;
}

void ServerBot::AttackPoint(const Vector3& point, Real time, int32_t holdFire, int32_t lob) {
    if (!IsAlive() || Crouched) return;
    BeginAttack(time, holdFire, lob);
    if (Concealed) Unconceal();
    TargetPoint = point;
    ByteWriter message = ActorMessage(Lob ? kMsgBotLobPoint : kMsgBotAttackPoint, Id);
    message.F32(LastSeconds);
    message.F32(point.x);
    message.F32(point.y);
    message.F32(point.z);
    TvBroadcast(message, false);
}

void ServerBot::AttackTarget(ServerObject* target, Real time, int32_t holdFire, int32_t lob) {
    if (!IsAlive() || Crouched) return;
    MineSweep = 0;
    if (!target) {
        StopAttacking(time);
        return;
    }
    if (BeamPending && target != FireTarget) BeamPending = 0;
    if (Weapon && Weapon->WeaponType == kWeaponTypeMineSweep && target->Definition &&
        target->Definition->aiCore == kAiCoreMine) {
        NextMineSweep = 0;
        HeadForPoint(target->Position, GameClock.GetSeconds());
        MineSweep = 1;
    }
    BeginAttack(time, holdFire, lob);
    target->AddRef();
    FireTarget = target;
    TargetPoint = target->GetCentre();
    ReportBlockedShot = 1;
    if (Concealed) {
        Unconceal();
        TakeOffAttackModule();
    }
    ByteWriter message = ActorMessage(Lob ? kMsgBotLobTarget : kMsgBotAttackTarget, Id);
    message.F32(time);
    message.I32(target->Id);
    TvBroadcast(message, false);
}

void ServerBot::StopAttacking(Real time) {
    LastAttackChange = time;
    ReleaseFireTarget();
    Attacking = 0;
    BeamPending = 0;
    MineSweep = 0;
    for (int32_t sequence : {kSequenceAimPitch, kSequenceAimYaw})
        if (Model && Model->HasSequence(sequence))
            PlaySequenceRange(sequence, kBlendFull, kBlendCentre, kBlendCentre, static_cast<uint32_t>(ThinkTicks),
                              nullptr, nullptr, kBlendFlags, false);
    ByteWriter message = ActorMessage(kMsgBotStopAttacking, Id);
    message.F32(time);
    TvBroadcast(message, UserMatchSettings.NetDetailLevel == 0);
}

void ServerBot::StartScan(Real seconds) {
    Scan.Start(SightAngle, seconds);
    const Vector3 forward = ForwardAxis(Orientation);
    const int32_t turn = FloorToInt(Scan.ScanAngle);
    const Real s = SineOf(turn), c = CosineOf(turn);
    const Vector3 direction{forward.x * c + forward.z * s, forward.y - 0.1f, forward.z * c - forward.x * s};
    Scan.ScanRayStart = Position + SightEyeOffset;
    Scan.ScanRayEnd = Scan.ScanRayStart + direction * SightRange;
}

bool ServerBot::CanLobAt(const Vector3& point) const {
    if (!Character || !Weapon || !Weapon->Projectile || !Weapon->Projectile->projectile ||
        !Weapon->Projectile->projectile->gravity)
        return false;
    const Real v = Weapon->FiringSpeed * kLobSpeedFactor * Character->shotSpeedMultiplier;
    Real e = 0;
    return TvFlatterLobElevation(point - Position, v, e) && std::fabs(e) < Character->elevationAngle;
}

void RegisterServerBot() {
    SetServerActorMaker(ServerActorClass::Bot, &MakeServerActor<ServerBot>);
    RegisterDefaultItem();
}
