// The unit's predicted walk between the server's motion messages, its stances,
// idle flourishes and the frame update that drives them.
#include <cmath>

#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Tv/client/client_object_parts.h"
#include "Tv/client/client_unit.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"
#include "core/random.h"

namespace {

constexpr Real kAnglesPerRadian = 651.8986469f; // 2048 / pi
constexpr Real kRadiansPerAngleUnit = 0.0015339808f;
constexpr Real kHalfTurn = 2048.0f;
constexpr uint32_t kNoFloorIndex = 0xFFFFFF;
constexpr Real kNewTargetSquared = 0.01f;
constexpr int32_t kStanceSound = 81;
constexpr Real kInstantStanceSpeed = 100.0f;
constexpr uint32_t kFlagLooping = 8;    // base and walk animations
constexpr uint32_t kFlagIdle = 4;       // idle flourishes
constexpr uint32_t kFlagStandUp = 0x10; // the stand-up pose
constexpr uint32_t kWalkIdleDelay = 9999;
constexpr Real kMaxCountdown = 2147483647.0f;

Real TableSine(Real angle) { return SineOf(FloorToInt(angle)); }
Real TableCosine(Real angle) { return CosineOf(FloorToInt(angle)); }

Real WeightedDistanceSquared(const Vector3& a, const Vector3& b) {
    const Real dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + 0.01f * dy * dy + dz * dz;
}

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
    UnitMotionState state;
    state.Pose = record;
    const CollisionPolygon* floor = GetFloorPolygon();
    state.Animation = floor ? static_cast<int32_t>(floor->polygonIndex & kNoFloorIndex) : -1;
    MoveToState(state);
}

void ClientUnit::MoveToState(const UnitMotionState& state) {
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

void ClientUnit::StartWalking(const Vector3& destination, const UnitMotionState& state, const Vector3& targetPoint) {
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

void ClientUnit::ApplyMotionState(const UnitMotionState& state, bool stopped) {
    if (Dying) return;
    if ((Moving || Hidden) && Model && !Model->Players.IsEmpty()) RestartBaseAnimation(GameClock.GetTime32());
    Moving = 0;
    LastStateTime = state.Pose.Seconds;
    MoveToState(state);
    MoveDestination = Position;
    if (stopped) TargetPoint = Position;
}

void ClientUnit::ChangeSpeed(int32_t delta, const UnitMotionState& state) {
    WalkSpeed16 += delta;
    ComputeSpeed();
    if (Moving) PlayWalk(*this, GameClock.GetTime32());
    MoveToState(state);
}

void ClientUnit::Collapse(const UnitMotionState& state) {
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

void ClientUnit::GetControlState(UnitMotionState& state) const {
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
    const Real dx = MoveDestination.x - Position.x;
    const Real dz = MoveDestination.z - Position.z;
    if (WeightedDistanceSquared(Position, MoveDestination) < kUnitArrivedSquared) return;

    const Real heading = 2.0f * std::atan2(Orientation.y, Orientation.w) * kAnglesPerRadian;
    Real turn = std::atan2(dx, dz) * kAnglesPerRadian - heading;
    if (turn > kHalfTurn)
        turn -= AngleFullTurn;
    else if (turn < -kHalfTurn)
        turn += AngleFullTurn;
    const Real sign = SignBit(turn) ? -1.0f : 1.0f;
    const Real size = std::fabs(turn);
    const Real budget = dt * Character->turningSpeed;

    // A destination inside the turning circle needs a turn on the spot first.
    Real forward = step;
    Real spin = 0;
    if (TurnRadiusSquared > 0) {
        const Real c = 1.0f - (dx * dx + dz * dz) / (2.0f * TurnRadiusSquared);
        if (c > -1.0f) {
            const Real half = 0.5f * MathTables.ArcCosine[2048 + FloorToInt(c * 2048.0f)];
            if (size > half) {
                spin = size - half;
                if (spin <= budget) {
                    forward = budget > 0 ? step * (budget - spin) * FastReciprocal(budget) : 0;
                } else {
                    spin = budget;
                    forward = 0;
                }
            }
        }
    }

    // Along the arc with the rest of the budget, walking its chord.
    const Real rest = budget - spin;
    const Real arc = sign * (size < rest ? size : rest);
    const Real arcLength = rest > 0 ? std::fabs(arc) * FastReciprocal(rest) * forward : 0;
    const Real middle = heading + sign * spin + 0.5f * arc;
    if (arc != 0) {
        const Real chord = 2.0f * TableSine(0.5f * arc) * (arcLength / (arc * kRadiansPerAngleUnit));
        Position.x += chord * TableSine(middle);
        Position.z += chord * TableCosine(middle);
    }
    const Real facing = 0.5f * (middle + 0.5f * arc);
    Orientation = Quaternion{0, TableSine(facing), 0, TableCosine(facing)};

    // Straight on for the rest of the step, or onto the destination when that is nearer.
    const Real straight = forward - arcLength;
    if (WeightedDistanceSquared(Position, MoveDestination) < straight * straight) {
        Position.x = MoveDestination.x;
        Position.z = MoveDestination.z;
    } else {
        const Quaternion& q = Orientation;
        const Vector3 ahead(2.0f * (q.w * q.y + q.z * q.x), 2.0f * (q.z * q.y - q.w * q.x),
                            1.0f - 2.0f * (q.x * q.x + q.y * q.y));
        Position = Position + ahead * straight;
    }
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
