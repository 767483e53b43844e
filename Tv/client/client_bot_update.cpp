// The bot's frame: base animation, hum, shield recharge, the aim of gun and
// torso at the target, the unit's own update and the interface arm's beam.
#include <algorithm>
#include <cmath>

#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Awapi/particles.h"
#include "Tv/client/ammo_stacks.h"
#include "Tv/client/client_bot.h"
#include "Tv/client/client_sounds.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/effects/effect_calls.h"
#include "Tv/sim/aim_math.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "sound/sound_system.h"

namespace {

constexpr int32_t kSpeedOne = 0x10000;
constexpr int32_t kSequenceMiddle = 0x8000;
constexpr uint32_t kAimFlags = 4; // also marks a player the base animation may replace
constexpr uint32_t kGunTurnFlags = 8;
constexpr int32_t kWeaponGrenadeLauncher = 7;
constexpr Real kFlareAimRaise = 10.0f; // flares are aimed 10 m higher (y grows downward)

// Hum loops by state, and the sound of a sentry that starts to track.
constexpr int32_t kHumSounds[4] = {0, 59, 60, 61};
constexpr int32_t kHumTrackingSound = 64;

// The interface beam: its reach, where it ends, and the bolts it shows hidden mines by.
constexpr Real kBeamEndSquared = 6.0f;
constexpr Real kBeamMineSquared = 33.0f;
constexpr Real kBeamBoltWidth = 0.7f, kBeamBoltLife = 50.0f;

// The hum a state wants; -1 keeps the current one.
int32_t HumForState(int32_t state) {
    switch (state) {
    case 0: return 1;
    case 1: return 0;
    case 2: return 2;
    case 3:
    case 4: return 3;
    default: return -1;
    }
}

AwParticleEmitter* NewBeamEmitter(const Vector3& position) {
    if (!ParticleTypes) return nullptr;
    AwParticleParams params;
    params.type = 3;
    params.rate = 100.0f;
    params.colour1 = Colour::FromFloats(0.1f, 0.2f, 1.0f, 0.8f);
    params.colour2 = Colour::FromFloats(0, 0, 0, 0);
    params.startSize = params.endSize = 0.3f;
    return new AwParticleEmitter(params, position, false);
}

} // namespace

Real ClientBot::AimElevation(const Vector3& v, Real speed, bool ballistic, bool highArc) {
    Real e = 0;
    if (TvAimElevation(v, speed, ballistic, highArc, e)) return e;
    // Out of reach: the discriminant counts as 0, so both arcs meet in the
    // one root -x / 2k of the slope's quadratic, tan e = -speed^2 / (g x).
    const Real h2 = v.x * v.x + v.z * v.z;
    if (ballistic && speed > 0 && h2 > 0)
        e = std::atan(-speed * speed * FastReciprocal(Gravity * FastSqrt(h2))) * AngleUnitsPerRadian;
    return e;
}

Real ClientBot::YawDifference(Real d) {
    d = WrapHeadingDelta(d);
    return d == -2048.0f ? 2048.0f : d; // the half turn counts one way only
}

void ClientBot::Update(uint64_t ticks, Real seconds) {
    const auto time = static_cast<uint32_t>(ticks);
    if (Definition && Definition->model && Model &&
        (Model->Players.IsEmpty() || (Model->Players.Front()->Flags & kAimFlags)))
        RestartBaseAnimation(time);
    if (!BotFlag && Emitter2) {
        Emitter2->Stop();
        Emitter2 = nullptr;
    }
    UpdateHum();
    if (Definition && Shield < Definition->shields)
        Shield = std::min(Shield + (seconds - LastSeconds) * Definition->rechargeRate, Definition->shields);
    if (Target) TargetPosition = Target->GetCentre();
    if (!Weapon && Attacking) StopAttacking(seconds);
    if (Attacking) AimAtTarget(ticks);
    ClientUnit::Update(ticks, seconds);
    if (BotFlag) UpdateInterfaceBeam(seconds);
}

void ClientBot::UpdateHum() {
    int32_t wanted = 0;
    if (Scanning && DrawVisionCone) {
        wanted = HumForState(State);
        if (wanted < 0) wanted = HumState;
    }
    if (wanted == HumState && HumVoice != -1) return;
    StopHum();
    const int32_t old = HumState;
    HumState = wanted;
    if (wanted == 0 || !Model) return; // the hum follows the 3D object
    if (wanted == 2 && old == 1) TvPlaySound(kHumTrackingSound, "t", Model);
    TvPlaySound(kHumSounds[wanted], "tel", Model, &HumVoice);
}

void ClientBot::AimAtTarget(uint64_t ticks) {
    const auto time = static_cast<uint32_t>(ticks);
    MuzzlePosition = HotspotPosition(ticks);
    const Vector3 toTarget = TargetPosition - Position, toMuzzle = MuzzlePosition - Position;
    if (Dot(toTarget, toTarget) <= Dot(toMuzzle, toMuzzle)) return; // nearer than the muzzle: no aim this frame

    Vector3 v = TargetPosition - MuzzlePosition;
    if (Weapon->AmmoType == kAmmoFlares) v.y -= kFlareAimRaise;
    const ObjectDefinition* shot = Weapon->Projectile;
    const bool ballistic = shot && shot->projectile && shot->projectile->gravity;
    const bool grenade = Weapon->WeaponType == kWeaponGrenadeLauncher;
    Real e = AimElevation(v, ShotSpeed, ballistic, ballistic && grenade && HighArc);
    if (ballistic && grenade && HighArc && std::fabs(e) > Character->elevationAngle)
        e = AimElevation(v, ShotSpeed, true, false);

    if (Model && Model->HasSequence(kBotSequencePitch))
        PlayAnimationRange(kBotSequencePitch, kSpeedOne, kSequenceMiddle, AimChannelBlend(e, -2.0f), time, nullptr,
                           &PitchDone, kAimFlags);
    else
        PitchDone = 1;

    const Real bodyHeading = 2.0f * std::atan2(Orientation.y, Orientation.w) * AngleUnitsPerRadian;
    const Real targetHeading =
        std::atan2(TargetPosition.x - Position.x, TargetPosition.z - Position.z) * AngleUnitsPerRadian;
    const Real d = YawDifference(targetHeading - bodyHeading);
    const bool yawSequence = Model && Model->HasSequence(kBotSequenceYaw);

    if (std::fabs(d) <= Character->gunYawAngle && (!Character->canTurn || Moving)) { // the gun alone turns
        if (Model && Model->HasSequence(kBotSequenceGunTurn) && !Model->IsPlayingSequence(kBotSequenceGunTurn))
            PlayAnimation(kBotSequenceGunTurn, WalkSpeed16, -1, time, nullptr, kGunTurnFlags);
        if (yawSequence)
            PlayAnimationRange(kBotSequenceYaw, kSpeedOne, kSequenceMiddle, AimChannelBlend(d, 1.0f), time, nullptr,
                               &YawDone, kAimFlags);
        else
            YawDone = 1;
        return;
    }
    if (yawSequence)
        PlayAnimationRange(kBotSequenceYaw, kSpeedOne, kSequenceMiddle, kSequenceMiddle, time, nullptr, &YawDone,
                           kAimFlags);
    else
        YawDone = 1;
    if (!Character->canTurn || Moving) return;
    const Real elapsed = ticks > MoveTicks ? static_cast<Real>(ticks - MoveTicks) / CurrentTicksPerSecondFloat() : 0;
    const Real step = elapsed * Character->turningSpeed;
    const Real heading = std::fabs(d) > step ? bodyHeading + (d > 0 ? step : -step) : targetHeading;
    Orientation = HeadingRotation(heading);
}

void ClientBot::UpdateInterfaceBeam(Real seconds) {
    if (!Target || DistanceSquared(Target->GetCentre(), Position) < kBeamEndSquared) {
        BotFlag = 0;
        return;
    }
    HashSetIterator<ClientObject*> it;
    for (it.Begin(ClientObjectHash); !it.AtEnd(); it.Next()) {
        ClientObject* other = it.Current()->Payload;
        if (other->Team == Team || !other->IsCloaked() || !other->Definition ||
            other->Definition->aiCore != kAiCoreMine || DistanceSquared(other->Position, Position) >= kBeamMineSquared)
            continue;
        TvAddBolt(MuzzlePosition, other->Position, 0, kBeamBoltWidth, kBeamBoltLife, this);
    }
    const Vector3 at = Position + Vector3{std::sin(3 * seconds), 0, std::cos(3 * seconds)};
    if (Emitter2)
        Emitter2->SetPosition(at.x, at.y, at.z);
    else
        Emitter2 = NewBeamEmitter(at);
}
