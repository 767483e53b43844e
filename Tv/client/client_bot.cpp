#include "Tv/client/client_bot.h"

#include <string>

#include "Awapi/object.h"
#include "Tv/client/inventory.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/sim/aim_math.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/matrix.h"
#include "core/numeric.h"
#include "core/stringtable.h"
#include "sound/sound_system.h"

namespace {

constexpr int32_t kWeaponInterfaceArm = 14;
constexpr int32_t kWeaponEpulsar = 12;
constexpr uint32_t kEmpLayerTakenOffText = 12072;
constexpr int32_t kSpeedOne = 0x10000;      // 1.0 in 16.16
constexpr int32_t kSequenceMiddle = 0x8000; // 0.5 of a sequence in 16.16
constexpr uint32_t kAimFlags = 4;
constexpr Real kScanLineDrop = 0.1f;
constexpr Real kAlternateSpeedFactor = 0.65f; // the alternate fire lobs its shot slower

// A weapon of that type, its parameters loaded later (ReadyWeapon); none for "no weapon".
WeaponInstance* NewWeapon(int32_t weaponType) {
    if (weaponType == kNoWeapon) return nullptr;
    auto* weapon = new WeaponInstance;
    weapon->WeaponType = weaponType;
    return weapon;
}

const char* NameOrNull(const OwnedText& text) { return text.IsNone() ? nullptr : text.Get(); }

} // namespace

ClientBot::ClientBot(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                     const Quaternion& orientation, int32_t id)
    : ClientUnit(team, definition, position, orientation, id), Weapon(NewWeapon(Character->weapon)) {
    if (definition) {
        HotspotName = NameOrNull(definition->hotspotName);
        const char* other = NameOrNull(definition->alternateHotspotName);
        OtherHotspotName = other ? other : HotspotName;
        Shield = definition->shields;
    }
}

ClientBot::~ClientBot() {
    ReleaseTarget();
    delete Weapon;
    Weapon = nullptr;
}

int32_t ClientBot::GetBotValue() const { return Target ? Target->Id : -1; }

int32_t ClientBot::GetAmmoCount() const { return Weapon ? Weapon->MagazineSize : 100; }

void ClientBot::Start(uint64_t ticks, Real seconds) {
    ClientUnit::Start(ticks, seconds);
    ReadyWeapon();
    MuzzlePosition = HotspotPosition(ticks);
}

void ClientBot::DropReferences() {
    ReleaseTarget();
    StopHum();
    ClientUnit::DropReferences();
}

void ClientBot::Remove() {
    ReleaseTarget();
    Attacking = 0;
    StopHum();
    ClientUnit::Remove();
}

void ClientBot::ReleaseTarget() {
    if (Target) Target->Release();
    Target = nullptr;
}

void ClientBot::StopHum() {
    if (HumVoice != -1 && SoundSystemInstance) SoundSystemInstance->StopVoice(HumVoice);
    HumVoice = -1;
}

Vector3 ClientBot::HotspotPosition(uint64_t ticks) {
    Vector3 offset{0, 0, 0};
    if (Model && HotspotName && Model->GetSubShapePosition(offset, HotspotName, static_cast<int32_t>(ticks)))
        offset = offset * Character->size;
    else
        offset = Vector3{0, 0, 0}; // a missing part leaves the muzzle at the position
    Matrix34 pose;
    pose.MakeFromQuaternion(Orientation);
    Vector3 turned;
    pose.TransformVector(turned, offset);
    return Position + turned;
}

void ClientBot::SetShotSpeed(bool alternate, bool withCharacter) {
    if (!Weapon) return;
    ShotSpeed = Weapon->FiringSpeed * (alternate ? kAlternateSpeedFactor : 1.0f);
    if (withCharacter && Definition && Definition->character) ShotSpeed *= Character->shotSpeedMultiplier;
}

void ClientBot::BeginAttack(Real setting, bool byte, bool alternate) {
    AttackSetting = setting;
    Attacking = 1;
    YawDone = PitchDone = 0;
    AttackFlag = byte;
    HighArc = alternate;
    SetShotSpeed(alternate, true);
}

void ClientBot::BreakCloak() {
    if (!IsCloaked()) return;
    Cloaked = 0;
    CloakStart = CloakEnd = 0;
    CloakEffect = -1;
    if (CloakModel) CloakModel->Release();
    CloakModel = nullptr;
}

void ClientBot::AttackPoint(const Vector3& point, Real setting, bool byte, bool alternate) {
    if (!IsAlive()) return;
    ReleaseTarget();
    TargetIsObject = 0;
    TargetPosition = point;
    BeginAttack(setting, byte, alternate);
    BreakCloak();
}

void ClientBot::AttackObject(ClientObject* target, Real setting, bool byte, bool alternate) {
    if (!IsAlive()) return;
    BotFlag = 0; // the interface beam
    if (!target) {
        StopAttacking(setting);
        return;
    }
    if (target != Target) Alert = 0;
    if (Weapon && Weapon->WeaponType == kWeaponInterfaceArm && target->Definition &&
        target->Definition->aiCore == kAiCoreMine)
        BotFlag = 1;
    target->AddRef(); // before the old one goes: it may be the same object
    ReleaseTarget();
    Target = target;
    TargetIsObject = 1;
    TargetPosition = target->GetCentre();
    BeginAttack(setting, byte, alternate);
    BreakCloak();
    for (MountedItem* mounted : MountedItems) {
        if (mounted->Kind == IK_MODULE && mounted->SubType == kMineTypeEmp) {
            ShowNamedStatus(kEmpLayerTakenOffText);
            UnmountItem(mounted);
            break;
        }
    }
}

void ClientBot::StopAttacking(Real setting) {
    AttackSetting = setting;
    ReleaseTarget();
    Attacking = 0;
    Alert = 0;
    BotFlag = 0;
    const uint32_t now = GameClock.GetTime32();
    for (int32_t sequence : {kBotSequencePitch, kBotSequenceYaw})
        PlayAnimationRange(sequence, kSpeedOne, kSequenceMiddle, kSequenceMiddle, now, nullptr, nullptr, kAimFlags);
}

void ClientBot::PlayFireAnimation() {
    if (!FireAnimationDone) return;
    FireAnimationDone = 0;
    if (!PlayAnimation(kBotSequenceFire, kSpeedOne, 1, static_cast<uint32_t>(StartTicks), &FireAnimationDone,
                       kAimFlags))
        FireAnimationDone = 1; // no fire sequence: nothing to wait for
}

void ClientBot::SetWeapon(int32_t weaponType) {
    delete Weapon;
    RoundsInMagazine = 0;
    AmmoItem = nullptr;
    Weapon = NewWeapon(weaponType);
    ReadyWeapon();
    // A pulsar in the hands of the definition named "tavrin" fires twice as often.
    if (Weapon && weaponType == kWeaponEpulsar && Definition && !Definition->name.IsNone() &&
        NameEquals(Definition->name.Get(), "tavrin"))
        Weapon->RoundTicks *= 0.5f;
}

void ClientBot::StartScan(Real seconds) {
    Scanning = 1;
    ScanPhase = 0;
    ScanAngle = -SightAngle;
    ScanTime = seconds;
    // The orientation's forward axis turned about the vertical by half the sweep angle.
    const Vector3 forward = ForwardAxis(Orientation);
    const int32_t half = FloorToInt(ScanAngle * 0.5f);
    const Real c = CosineOf(half), s = SineOf(half);
    const Vector3 direction{forward.x * c + forward.z * s, forward.y, forward.z * c - forward.x * s};
    ScanStart = GetCentre();
    ScanEnd = ScanStart + direction * UnitSightRange;
    ScanEnd.y -= kScanLineDrop;
    Vector3 hit;
    if (!TvLevelSegmentHit(ScanStart, ScanEnd, &hit)) ScanEnd = hit;
}

void ClientBot::ShowNamedStatus(uint32_t stringId) {
    std::string text = Definition && !Definition->name.IsNone() ? Definition->name.Get() : "";
    text += ": ";
    if (const char* suffix = StringTableLookup(stringId)) text += suffix;
    ShowStatusText(text.c_str());
}

ClientBot* AsClientBot(ClientObject* object) {
    return object && object->IsBot() ? static_cast<ClientBot*>(object) : nullptr;
}

const ClientBot* AsClientBot(const ClientObject* object) {
    return object && object->IsBot() ? static_cast<const ClientBot*>(object) : nullptr;
}

ClientObject* MakeClientBot(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                            const Quaternion& orientation, int32_t id) {
    return new ClientBot(team, definition, position, orientation, id);
}
