// The bot's aim: where its muzzle is, the elevation a shot needs, and the
// aiming stage of the think that raises the gun and turns gun or body.
#include <algorithm>
#include <cmath>

#include "Awapi/object.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/senders.h"
#include "Tv/sim/bot_messages.h"
#include "Tv/sim/server_bot.h"
#include "Tv/world/root_solvers.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

constexpr int32_t kSequenceGunTurn = 13;
constexpr uint32_t kBlendInFlags = 8;
constexpr Real kOneShotAimRaise = 10.0f; // y grows downward

} // namespace

Quaternion HeadingRotation(Real heading) {
    const int32_t half = FloorToInt(heading * 0.5f);
    return Quaternion{0, SineOf(half), 0, CosineOf(half)};
}

bool TvAimElevation(const Vector3& aim, Real speed, bool ballistic, bool steep, Real& elevation) {
    const Real h2 = aim.x * aim.x + aim.z * aim.z;
    if (!(h2 > 0)) { // straight above or below
        elevation = aim.y < 0 ? -AngleQuarterTurn : aim.y > 0 ? AngleQuarterTurn : AngleZero;
        return true;
    }
    if (!ballistic) {
        elevation = std::atan(aim.y * FastInvSqrt(h2)) * AngleUnitsPerRadian;
        return true;
    }
    if (!(speed > 0)) return false;
    const Real u = Gravity * h2 * FastReciprocal(2.0f * speed * speed);
    const Real h = FastSqrt(h2);
    Real slopes[2];
    if (SolveQuadratic(h / u, (u - aim.y) / u, slopes) != 2) return false; // no path of that speed gets there
    const Real a = std::atan(slopes[0]), b = std::atan(slopes[1]);
    const Real e = (steep ? std::min(a, b) : std::max(a, b)) * AngleUnitsPerRadian;
    if (!std::isfinite(e)) return false;
    elevation = e;
    return true;
}

Vector3 ForwardAxis(const Quaternion& q) {
    return Vector3{2 * (q.x * q.z + q.w * q.y), 2 * (q.y * q.z - q.w * q.x), 1 - 2 * (q.x * q.x + q.y * q.y)};
}

Real WrapHeadingDelta(Real d) {
    if (!std::isfinite(d)) return 0;
    d = std::fmod(d, 4096.0f);
    if (d > 2048.0f) d -= 4096.0f;
    if (d < -2048.0f) d += 4096.0f;
    return d;
}

bool ServerBot::MuzzleAt(uint64_t time, Vector3& position) const {
    Vector3 offset;
    if (!Model || !Character || !MuzzleHotspot ||
        !Model->GetSubShapePosition(offset, MuzzleHotspot, static_cast<int32_t>(static_cast<uint32_t>(time))))
        return false;
    Matrix34 pose;
    pose.MakeFromQuaternion(Orientation);
    Vector3 turned;
    pose.TransformVector(turned, offset * Character->size);
    position = Position + turned;
    return true;
}

void ServerBot::UpdateMuzzlePosition(uint64_t time) {
    if (!MuzzleAt(time, MuzzlePosition)) MuzzlePosition = Position;
}

void ServerBot::AimPitchChannel(Real elevation) {
    Elevation = elevation;
    if (Model && Model->HasSequence(kSequenceAimPitch))
        PlaySequenceRange(kSequenceAimPitch, kBlendFull, kBlendCentre, AimChannelBlend(elevation, -2.0f),
                          static_cast<uint32_t>(ThinkTicks), nullptr, &PitchAimed, kBlendFlags, false);
    else
        PitchAimed = 1;
}

Real ServerBot::BodyHeading() const { return 2.0f * std::atan2(Orientation.y, Orientation.w) * AngleUnitsPerRadian; }

Real ServerBot::TurnToTargetHeading() {
    TargetHeading = std::atan2(TargetPoint.x - Position.x, TargetPoint.z - Position.z) * AngleUnitsPerRadian;
    return WrapHeadingDelta(TargetHeading - BodyHeading());
}

bool ServerBot::AimAtTarget(uint64_t time, Real now) {
    UpdateMuzzlePosition(time);
    const Vector3 toTarget = TargetPoint - Position, toMuzzle = MuzzlePosition - Position;
    if (Dot(toTarget, toTarget) <= Dot(toMuzzle, toMuzzle)) {
        StopAttacking(now); // the target is nearer than the muzzle
        return false;
    }
    if (!Character) {
        StopAttacking(now);
        return false;
    }
    Vector3 aim = TargetPoint - MuzzlePosition;
    if (Weapon && Weapon->AmmoType == kAmmoTypeOneShot) aim.y -= kOneShotAimRaise;

    const ObjectDefinition* shot = Weapon ? Weapon->Projectile : nullptr;
    const bool ballistic = shot && shot->projectile && shot->projectile->gravity;
    const Real limit = Character->elevationAngle;
    Real e = 0;
    bool reached =
        TvAimElevation(aim, ShotSpeed, ballistic, ballistic && Lob && Weapon->WeaponType == kWeaponTypeSteepLob, e);
    if (reached && ballistic && Lob && Weapon->WeaponType == kWeaponTypeSteepLob && std::fabs(e) > limit)
        reached = TvAimElevation(aim, ShotSpeed, true, false, e);
    if (!reached || std::fabs(e) > limit) {
        TvSendPlayerSound(Team, kCueOutOfReach);
        StopAttacking(now);
        return false;
    }

    AimPitchChannel(e);
    const Real d = TurnToTargetHeading();

    if ((!Character->canTurn || Moving) && std::fabs(d) <= Character->gunYawAngle) { // the gun alone turns
        if (Model && Model->HasSequence(kSequenceGunTurn) && !Model->IsPlayingSequence(kSequenceGunTurn))
            PlaySequence(kSequenceGunTurn, WalkingSpeed, -1, static_cast<uint32_t>(time), nullptr, kBlendInFlags,
                         false);
        if (Model && Model->HasSequence(kSequenceAimYaw))
            PlaySequenceRange(kSequenceAimYaw, kBlendFull, kBlendCentre, AimChannelBlend(d, 1.0f),
                              static_cast<uint32_t>(ThinkTicks), nullptr, &YawAimed, kBlendFlags, false);
        else
            YawAimed = 1;
        return true;
    }

    if (Model && Model->HasSequence(kSequenceAimYaw))
        PlaySequenceRange(kSequenceAimYaw, kBlendFull, kBlendCentre, kBlendCentre, static_cast<uint32_t>(ThinkTicks),
                          nullptr, &YawAimed, kBlendFlags, false);
    else
        YawAimed = 1;
    if (!Character->canTurn) {
        StopAttacking(now);
        return false;
    }
    if (Moving) {
        if (MoveStartTime >= AttackCommandTime) { // the newer move wins
            StopAttacking(now);
            return false;
        }
        StopMoving(now);
    }
    const Real step = static_cast<Real>(time - StateTicks) / CurrentTicksPerSecondFloat() * Character->turningSpeed;
    bool aimed = true;
    Real turned = TargetHeading;
    if (std::fabs(d) > step) {
        const Real heading = BodyHeading();
        turned = d > 0 ? heading + step : heading - step;
        aimed = false;
    }
    SetOrientation(HeadingRotation(turned));
    return aimed;
}

int32_t AimChannelBlend(Real angle, Real scale) {
    return std::clamp(FloorToInt((angle * scale / 4096.0f + 0.5f) * kBlendFull), 0, kBlendFull);
}
