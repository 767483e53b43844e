// The unit's predicted walk between the server's motion messages, its stances,
// idle flourishes and the frame update that drives them.
#include <cmath>

#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Tv/client/client_object_parts.h"
#include "Tv/client/client_unit.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/sim/walk_step.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/random.h"

namespace {

constexpr uint32_t kNoFloorIndex = 0xFFFFFF;
constexpr Real kNewTargetSquared = 0.01f;
constexpr int32_t kStanceSound = 81;
constexpr Real kInstantStanceSpeed = 100.0f;
constexpr uint32_t kFlagLooping = 8;    // base and walk animations
constexpr uint32_t kFlagIdle = 4;       // idle flourishes
constexpr uint32_t kFlagStandUp = 0x10; // the stand-up pose
constexpr uint32_t kWalkIdleDelay = 9999;
constexpr Real kMaxCountdown = 2147483647.0f;

int32_t Speed16(Real speed) { return FloorToInt(speed * static_cast<Real>(kUnitSpeed)); }

// The looping walk at the unit's walking speed.
void PlayWalk(ClientUnit& unit, uint32_t time) {
    unit.PlayAnimation(kUnitSequenceWalk, unit.WalkSpeed16, -1, time, nullptr, kFlagLooping);
}

// Random draws of the idle flourishes: the thread's generator, shifted right by one.
uint32_t IdleDraw() { return TvRandom() >> 1; }

} // namespace

// ---- Motion messages ----

void ClientUnit::MoveToRecord(const ClientMotionRecord& record) {
    ClientMotionState state;
    state.Pose = record;
    const CollisionPolygon* floor = GetFloorPolygon();
    state.Animation = floor ? static_cast<int32_t>(floor->polygonIndex & kNoFloorIndex) : -1;
    MoveToState(state);
}

void ClientUnit::MoveToState(const ClientMotionState& state) {
    if (RideCount == 1) {
        Orientation = state.Pose.Orientation;
        return;
    }
    if (!MoveTo(state.Pose.Position, state.Pose.Orientation, state.Pose.Seconds) || !UnitMover || !LevelWorldInstance)
        return;
    RwLockHold hold(LevelWorldLock(), false);
    LevelWorldInstance->SetMoverState(*UnitMover, Position, Vector3(state.Motion[0], state.Motion[1], state.Motion[2]),
                                      static_cast<uint32_t>(state.Animation) & kNoFloorIndex,
                                      static_cast<uint32_t>(MoveTicks));
}

void ClientUnit::StartWalking(const Vector3& destination, const ClientMotionState& state, const Vector3& targetPoint) {
    if (Dying) return;
    if (!ShownInCutscene && !Moving) {
        const uint32_t now = GameClock.GetTime32();
        PlayWalk(*this, now);
        const int32_t idles = Definition ? Definition->upperSequenceCount : 0;
        if (idles > 0)
            AddAnimation(kUnitSequenceFirstWalkIdle + static_cast<int32_t>(IdleDraw() % idles), kUnitSpeed, 1,
                         now + IdleDraw() % kWalkIdleDelay, nullptr, kFlagIdle, 0);
    }
    MoveDestination = destination;
    Moving = 1;
    LastStateTime = state.Pose.Seconds;
    const Vector3 d = targetPoint - TargetPoint;
    if (Dot(d, d) > kNewTargetSquared) {
        TargetPoint = targetPoint;
        TargetTime = state.Pose.Seconds;
        if (TargetMarker) TargetMarker->Release();
        TargetMarker = nullptr;
    }
    MoveToState(state);
}

void ClientUnit::ApplyMotionState(const ClientMotionState& state, bool stopped) {
    if (Dying) return;
    if ((Moving || Hidden) && Model && !Model->Players.IsEmpty()) RestartBaseAnimation(GameClock.GetTime32());
    Moving = 0;
    LastStateTime = state.Pose.Seconds;
    MoveToState(state);
    MoveDestination = Position;
    if (stopped) TargetPoint = Position;
}

void ClientUnit::ChangeSpeed(int32_t delta, const ClientMotionState& state) {
    WalkSpeed16 += delta;
    ComputeSpeed();
    if (Moving) PlayWalk(*this, GameClock.GetTime32());
    MoveToState(state);
}

void ClientUnit::Collapse(const ClientMotionState& state) {
    Health = 0;
    Moving = 0;
    Dying = 1;
    MoveToState(state);
}

void ClientUnit::RestartBaseAnimation(uint32_t time) {
    const AwModel* model = Definition ? Definition->model : nullptr;
    if (!model || !model->Sequences || model->Sequences->empty() || Controlled) return;
    PlayAnimation(AltStance ? kUnitSequenceAltPose : kUnitSequenceBase, kUnitSpeed, -1, time, nullptr, kFlagLooping);
}

void ClientUnit::GetControlState(ClientMotionState& state) const {
    state.Pose.Seconds = MoveSeconds[0];
    state.Pose.Position = Position;
    state.Pose.Orientation = Orientation;
    const Vector3 v = UnitMover ? UnitMover->velocity : Vector3(0, 0, 0);
    state.Motion[0] = v.x;
    state.Motion[1] = v.y;
    state.Motion[2] = v.z;
    const CollisionPolygon* floor = GetFloorPolygon();
    state.Animation = floor ? static_cast<int32_t>(floor->polygonIndex & kNoFloorIndex) : -1;
}

// ---- Stance ----

void ClientUnit::SetStance(int32_t stance, bool cloaked, bool instant) {
    Moving = 0;
    Cloaked = cloaked;
    AltStance = stance != 0;
    if (Model) {
        if (!AltStance) {
            Model->CollisionFlag = 0;
            ComputeCentreOffset();
        } else {
            // The crouched box: the normal one with its top lowered by half its height (y grows downward).
            Vector3 low = Model->Min;
            const Vector3& high = Model->Max;
            low.y += 0.5f * (high.y - low.y);
            Model->CollisionFlag = 1;
            Model->CollisionMin = low;
            Model->CollisionMax = high;
            CentreOffset = (low + high) * 0.5f;
        }
    }
    PlaySoundAtObject(kStanceSound, *this);
    const int32_t speed = instant ? Speed16(kInstantStanceSpeed) : kUnitSpeed;
    const int32_t sequence = AltStance ? kUnitSequenceAltPose : kUnitSequenceStandUp;
    PlayAnimation(sequence, speed, -1, GameClock.GetTime32(), AltStance ? nullptr : &AnimationEnded,
                  AltStance ? 0 : kFlagStandUp);
}

// ---- The frame ----

void ClientUnit::Update(uint64_t ticks, Real seconds) {
    UpdateCloaks(seconds);
    if (AnimationEnded) {
        AnimationEnded = 0;
        if (Dying)
            Detach();
        else if (!Moving)
            RestartBaseAnimation(static_cast<uint32_t>(ticks));
    }
    if (Moving) {
        if (ticks < MoveTicks) {
            MoveTicks = ticks;
            if (UnitMover) UnitMover->time = static_cast<uint32_t>(ticks);
        }
        const Real dt = static_cast<Real>(static_cast<double>(ticks - MoveTicks) * CurrentSecondsPerTick());
        StepWalk(dt);
        if (UnitMover && LevelWorldInstance && !ShownInCutscene) {
            RwLockHold hold(LevelWorldLock(), false);
            Vector3 reached = Position;
            LevelWorldInstance->MoveMover(reached, *UnitMover, static_cast<uint32_t>(ticks));
            Position.x = reached.x;
            Position.z = reached.z;
            if (!Controlled) Position.y = reached.y;
        }
    } else {
        UpdateIdle(static_cast<uint32_t>(ticks));
    }
    UpdateMarker();
    ClientObject::Update(ticks, seconds);
}

void ClientUnit::StepWalk(Real dt) {
    const Real step = dt * Speed;
    if (Hidden) {
        if (!UnitMover) return;
        const Vector3& v = UnitMover->velocity;
        const Real length2 = Dot(v, v);
        if (length2 > 0) Position = Position + v * (step * FastInvSqrt(length2));
        return;
    }
    if (TvWeightedDistanceSquared(Position, MoveDestination) < kUnitArrivedSquared) return;
    TvTurnAndArcStep(Position, Orientation, MoveDestination, step, dt * Character->turningSpeed, TurnRadiusSquared);
}

void ClientUnit::UpdateIdle(uint32_t time) {
    const int32_t idles = Definition ? Definition->lowerSequenceCount : 0;
    if (idles <= 0 || !IdleDone) return;
    if (--IdleCountdown >= 0 || GetBotFlag() || AltStance) return;
    // The flourishes grow rarer with more objects and a faster game; a stopped game has none.
    const Real speed = GameClock.GetSpeed();
    if (!(speed > 0)) return;
    IdleDone = 0;
    PlayAnimation(kUnitSequenceFirstIdle + static_cast<int32_t>(IdleDraw() % idles), kUnitSpeed, 1, time, &IdleDone,
                  kFlagIdle);
    const Real scaled = 100.0f * static_cast<Real>(ClientObjectHash.Count()) / speed;
    const uint32_t divisor = scaled >= kMaxCountdown ? 0x7FFFFFFF : static_cast<uint32_t>(FloorToInt(scaled));
    IdleCountdown = static_cast<int32_t>(IdleDraw() % (divisor > 1 ? divisor : 1));
}
