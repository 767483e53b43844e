#include "Tv/sim/turret_ai.h"

#include <algorithm>

#include "Tv/client/weapons.h"
#include "Tv/server/game_settings.h"
#include "Tv/sim/server_popup.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

// What the turret sees from where it stands: the cone around its line of aim and, with LOS testing,
// what the level hides from its muzzle.
class TurretView {
public:
    explicit TurretView(const ServerTurret& turret) : position_(turret.Position), muzzle_(turret.GetMuzzlePosition()) {
        const ServerObject* target = turret.GetFireTarget();
        const Vector3 toTarget = target ? target->GetCentre() - position_ : Vector3{0, 0, 0};
        const Real length2 = Dot(toTarget, toTarget);
        // A target at the turret's own position gives no line: the cone is the facing then.
        if (length2 > 0)
            aim_ = toTarget * FastInvSqrt(length2);
        else
            QuaternionZAxis(aim_, turret.Orientation);
        k_ = FastInvSqrt(Dot(aim_, aim_));
        coneLimit_ = CosineOf(FloorToInt(turret.SightAngle));
        los_ = turret.GetLosTesting() != 0;
    }

    Real DistanceSquared(const ServerObject& actor) const { return ::DistanceSquared(actor.GetCentre(), position_); }
    // True when the actor at squared distance s lies strictly inside the cone; `c` its alignment.
    bool InCone(const ServerObject& actor, Real s, Real& c) const {
        if (!(s > 0)) return false; // no direction
        c = Dot(aim_, actor.GetCentre() - position_) * FastInvSqrt(s) * k_;
        return c > coneLimit_;
    }
    bool InSight(const ServerObject& actor) const { return !los_ || TvLevelSegmentHit(muzzle_, actor.GetCentre()); }

private:
    Vector3 position_, muzzle_, aim_{0, 0, 1};
    Real k_ = 1, coneLimit_ = 1;
    bool los_ = false;
};

// The shot spacing of the turret's weapon: its ShotInterval times `factor`. Nothing without a
// weapon.
void SetShotSpacing(ServerTurret& turret, Real factor) {
    if (turret.Weapon) turret.Weapon->RoundTicks = static_cast<Real>(turret.ShotInterval) * factor;
}

bool WithComputerTeam() { return CurrentGameType == kGameStory || CurrentGameType == kGameCooperative; }

// The best aligned actor in sight within 5 m, at double rate; without one the normal rate.
void SwitchToCloseIntruder(ServerTurret& turret, const TurretView& view, Real now) {
    ServerObject* best = nullptr;
    Real bestC = 0;
    ForEachTurretCandidate(turret, WithComputerTeam(), [&](ServerObject* actor) {
        const Real s = view.DistanceSquared(*actor);
        Real c = 0;
        if (s < kTurretCloseRangeSquared && view.InCone(*actor, s, c) && (!best || c > bestC) && view.InSight(*actor)) {
            best = actor;
            bestC = c;
        }
        return false;
    });
    if (!best) {
        SetShotSpacing(turret, 1.0f);
        return;
    }
    SetShotSpacing(turret, 0.5f);
    turret.SetTurretAiTime(0);
    turret.AttackTarget(best, now, 0, 0);
}

// The best aligned actor in range and in sight (other than `excluded`); once one within 5 m is
// found only such actors compete.
void SearchForTarget(ServerTurret& turret, const TurretView& view, ServerObject* excluded, uint64_t time, Real now) {
    const Real range2 = turret.SightRange * turret.SightRange;
    ServerObject* best = nullptr;
    Real bestC = 0;
    bool close = false;
    ForEachTurretCandidate(turret, WithComputerTeam(), [&](ServerObject* actor) {
        if (actor == excluded) return false;
        const Real s = view.DistanceSquared(*actor);
        Real c = 0;
        if (!(s < range2) || (close && s >= kTurretCloseRangeSquared)) return false;
        if (!view.InCone(*actor, s, c) || (best && !(c > bestC)) || !view.InSight(*actor)) return false;
        best = actor;
        bestC = c;
        close = close || s < kTurretCloseRangeSquared;
        return false;
    });
    if (!best && !excluded) {
        turret.StopAttacking(now);
        return;
    }
    ServerObject* target = best ? best : excluded; // nothing better: the same target for a new cycle
    SetShotSpacing(turret, close ? 0.5f : 1.0f);
    turret.SetTurretAiTime(close ? 0 : TicksAfter(time, turret.TargetCycleTime));
    turret.AttackTarget(target, now, 0, 0);
}

} // namespace

void TvTurretAi(ServerObject* actor, uint64_t time) {
    if (!actor || !actor->IsTurret()) return;
    auto& turret = static_cast<ServerTurret&>(*actor);
    if (time < turret.AiWakeTime) return;
    turret.AiWakeTime = time + static_cast<uint64_t>(std::max(0, CurrentTicksPerSecond()));
    const Real now = static_cast<Real>(time) * CurrentSecondsPerTick();
    if (now < turret.StunEnd) {
        turret.AiWakeTime =
            static_cast<uint64_t>(std::max<int64_t>(0, FloorToInt64(turret.StunEnd * CurrentTicksPerSecondFloat())));
        return;
    }
    if (turret.StunEnd != 0) turret.EndStun();
    if (!WithComputerTeam()) {
        // In the other game types a turret acts only while converted.
        if (turret.ConvertEnd == 0) return;
        if (now > turret.ConvertEnd) {
            turret.EndConversion();
            return;
        }
    }
    if (turret.ShotInterval == 0 && turret.Weapon)
        turret.ShotInterval = static_cast<uint64_t>(std::max(0.0f, turret.Weapon->RoundTicks));

    const TurretView view(turret);
    ServerObject* target = turret.GetFireTarget();
    ServerObject* excluded = nullptr;
    if (target && target->IsAlive()) {
        const Real s = view.DistanceSquared(*target);
        Real c = 0;
        if (s < turret.SightRange * turret.SightRange && view.InCone(*target, s, c) && view.InSight(*target)) {
            if (s < kTurretCloseRangeSquared) {
                SetShotSpacing(turret, 0.5f);
                turret.SetTurretAiTime(0);
                return;
            }
            if (time < turret.GetTurretAiTime()) {
                SwitchToCloseIntruder(turret, view, now);
                return;
            }
            excluded = target;
        }
    }
    SearchForTarget(turret, view, excluded, time, now);
}
