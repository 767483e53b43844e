#include "Tv/sim/server_unit.h"

#include <algorithm>
#include <vector>

#include "Awapi/model/model_node.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Tv/client/collisionvolume.h"
#include "Tv/client/inventory.h"
#include "Tv/client/teamtable.h"
#include "Tv/client/weapons.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/server/server_state.h"
#include "Tv/server/shell_state.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/equipped_item.h"
#include "Tv/sim/noise_events.h"
#include "Tv/sim/server_pickup.h"
#include "Tv/sim/unit_flags.h"
#include "Tv/sim/world_tick.h"
#include "Tv/world/level_world.h"
#include "core/bytes.h"
#include "core/clock.h"
#include "core/maths.h"

namespace {

constexpr uint32_t kMaskStartBit = 0x40000;      // what a player's unit no longer avoids
constexpr uint32_t kPathMaskPlayerBit = 0x80000; // what its path search avoids instead
constexpr int32_t kCrouchBoxNode = 102;
constexpr int32_t kAmmoTypeNoTargets = 1;    // a weapon loaded so picks no targets
constexpr int32_t kWeaponTypeDisabling = 14; // passes over units already disabled
constexpr Real kHandOverRangeSquared = 16.0f;
constexpr int32_t kSpeedOne = 65536;     // 16.16

// Whom a unit picks targets among: in the cooperative game the computer's teams, in the
// story game every other team, otherwise every other team but the computer opponent's.
bool IsEnemyTeam(int32_t team) {
    switch (CurrentGameType) {
    case kGameStory: return true;
    case kGameCooperative: return !TeamTable::IsPlayerTeam(team);
    default: return team != 2;
    }
}

// The model's nodes depth first, root first: the numbering the crouch box's
// node uses.
void CollectNodes(const AwModel* node, std::vector<const AwModel*>& out) {
    out.push_back(node);
    for (const AwModel* child : node->Children)
        CollectNodes(child, out);
}

// The middle of a node's mesh box; false when the node shows no mesh.
bool MeshBoxCentre(const AwModel& node, Vector3& out) {
    const AwShape* shape = node.Shapes[0];
    if (!shape) return false;
    out = (shape->Min + shape->Max) * 0.5f;
    return true;
}

} // namespace

ServerUnit::ServerUnit(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                       const Quaternion& orientation, int32_t id)
    : ServerObject(team, definition, position, orientation, team == LocalTeam ? kActorFlagsLocalUnit : kActorFlagsUnit,
                   id) {
    Character = definition ? definition->character.get() : nullptr;
    if (Character) {
        SightRange = Character->sightRange;
        FirstPersonRange = Character->initialFirstPersonRange;
        AlertRadius = Character->alertRadius;
        SightAngle = Character->sightAngle;
        WalkingSpeed = Character->walkingSpeed;
        Aim = Character->aim;
    }
    Concealed = definition && definition->aiCore == kAiCoreMine;
    Destination = position;
    WaypointCursor = Waypoints.Sentinel();
    UpdateDerivedSpeeds();
    UpdateCentreOffset(true);
}

ServerUnit::~ServerUnit() {
    ClearWaypoints();
    ClearStoredWaypoints();
    ClearOrders();
    for (EquippedItem* worn : Equipment)
        delete worn; // the items stay with the inventory
    Equipment.Clear();
    if (CustomisationModel) CustomisationModel->ReleaseUse();
    if (LevelWorld* world = LevelWorldInstance; world && Mover) {
        RwLockHold hold(&world->lock, true);
        if (Mover->floor) Mover->floor->flags &= ~kPolygonUnitMarks;
        world->RemoveMover(Mover);
    }
    Mover = nullptr;
    // A unit that goes without having been removed (the level's teardown)
    // leaves no items behind: the inventory goes before OnDeath could deal it out.
    delete Inventory;
    Inventory = nullptr;
    OnDeath();
    // A unit that goes while it waits for or runs a path search must not be
    // served afterwards.
    PathRequestList.RemoveValue(this);
    PathInProgressList.RemoveValue(this);
    if (YieldTo) YieldTo->Release();
    YieldTo = nullptr;
}

Real ServerUnit::GetHealthFraction() const {
    if (Strength <= 0 || !Character) return 0;
    return Strength * FastReciprocal(Character->strength);
}

CollisionPolygon* ServerUnit::GetFloorPolygon() const { return Mover ? Mover->floor : nullptr; }

bool ServerUnit::HasCustomisationModel() const { return Character && Character->customisationModel; }

void ServerUnit::SetTeam(int32_t team) {
    const bool joinsPlayer = TeamTable::IsPlayerTeam(team);
    if (!TeamTable::IsPlayerTeam(Team) && joinsPlayer) {
        StandingMode = kStandingModePlayer;
        CpuControlled = 0;
        if (Mover) {
            Mover->moveMask &= ~kMaskStartBit;
            Mover->pathMask = (Mover->pathMask & ~kMaskStartBit) | kPathMaskPlayerBit;
        }
        if (InTeamList) {
            if (!Inventory) Inventory = new ::Inventory(Character ? Character->weapon : kWeaponTypeNone, Definition);
            TvGiveNoiseEvent(this);
        }
        if (HasCustomisationModel() && !CustomisationModel) {
            CustomisationModel = Character->customisationModel;
            CustomisationModel->AddUse();
        }
    }
    Team = team;
    if (joinsPlayer && !(Character && Character->alwaysCpuControlled)) TvSendToOwner(Id);
}

void ServerUnit::Start(uint64_t time, Real seconds) {
    LevelWorld* world = LevelWorldInstance;
    if (world && !Mover) {
        const Real height = Character ? Character->boundsHeight : 0;
        const Real radius = Character ? Character->collisionRadius : 0;
        RwLockHold hold(&world->lock, true);
        Vector3 at = Position;
        Mover = world->AddMover(at, new CollisionVolume(height, radius, 0.3f * radius), static_cast<uint32_t>(time));
        if (Mover->floor) Mover->floor->flags |= kPolygonUnitMarks;
    }
    const int32_t team = Team;
    Team = 0; // joining a player team is always a change
    SetTeam(team);
    ServerObject::Start(time, seconds);
}

void ServerUnit::ReleaseReferences() {
    if (YieldTo) YieldTo->Release();
    YieldTo = nullptr;
    ServerObject::ReleaseReferences();
}

bool ServerUnit::MoveTo(const Vector3& position, const Quaternion& orientation, Real seconds) {
    Destination = position + (Mover ? Mover->velocity : Vector3{0, 0, 0});
    BroadcastSeconds = seconds;
    return ServerObject::MoveTo(position, orientation, seconds);
}

void ServerUnit::Think(uint64_t time, Real seconds) {
    switch (PathState) {
    case PS_DONE: PathState = PS_NONE; break;
    case PS_COMPLETE:
        if (PathInProgressList.Contains(this)) PlanClearPath();
        break;
    case PS_CLEARPATH_FAILED:
        if (PathInProgressList.Contains(this)) PlanFullPath();
        break;
    case PS_RECALCULATE_PART:
    case PS_RECALCULATE_PART_OR_GIVE_UP:
        if (PathInProgressList.Contains(this)) PlanPartialPath();
        break;
    default: break;
    }
    if (IsPathPending() && !PathRequestList.Contains(this)) PathRequestList.PushBack(this);
    if (!CutsceneActive) AdvanceWaypoints();
    if (TeamTable::IsPlayerTeam(Team)) {
        ChooseTarget(seconds);
        HandOverOnArrival();
        TvCheckCapture(this);
    }
    Walk(time, seconds);
    ApproachPickup();
    if (!Orders.IsEmpty() && !Moving && PathState == PS_NONE && !Collecting && !GamePaused && !Yielding &&
        !ItemActionActive)
        RunFrontOrder(seconds);
    if (IdleSequenceDone) {
        IdleSequenceDone = 0;
        if (Collecting) FinishCollecting();
    }
    StepItemAction(time, seconds);
    if (DisguiseId != -1 && seconds > DisguiseEnd) {
        DisguiseId = -1;
        DisguiseStart = DisguiseEnd = 0;
        Concealed = 0;
    }
    if (CloakActive && seconds > CloakEnd) {
        CloakActive = 0;
        CloakStart = CloakEnd = 0;
        TvGiveNoiseEvent(this); // the AI hears it again
    }
}

void ServerUnit::ChooseTarget(Real time) {
    const WeaponInstance* weapon = GetWeapon();
    if (!weapon || weapon->AmmoType == kAmmoTypeNoTargets) return;
    if (IsFiring() || Moving || StandingMode != kStandingModeChooseTargets || Collecting || ItemActionActive ||
        MineSweep)
        return;
    ServerObject* best = nullptr;
    Real bestDistance = kLargestFloat;
    const Real sightSquared = SightRange * SightRange;
    const Vector3 raised{0, -0.6f, 0}; // eye height for the line of sight
    for (int32_t t = 0; t < static_cast<int32_t>(TeamCount); ++t) {
        const TeamRecord* record = TeamTable::GetTeam(t);
        const List<ServerObject*>* actors = TeamActorListOf(t);
        if (t == Team || !record || record->Neutral || !actors || !IsEnemyTeam(t)) continue;
        for (ServerObject* actor : *actors) {
            if (!actor->IsAlive()) continue;
            if (weapon->WeaponType == kWeaponTypeDisabling && actor->IsUnit() && actor->IsDisabled()) continue;
            const Real d = DistanceSquared(Position, actor->GetCentre());
            if (d < bestDistance && d < sightSquared &&
                TvLevelSegmentHit(actor->Position + raised, Position + raised)) {
                best = actor;
                bestDistance = d;
            }
        }
    }
    if (!best) return;
    const ObjectDefinition* shot = weapon->Projectile;
    const Real maxRange = shot && shot->projectile ? shot->projectile->maxRange : 0;
    if (bestDistance <= maxRange) {
        AttackTarget(best, time, 0, 0);
    } else if (!CpuControlled && GetFloorPolygon() && best->GetFloorPolygon() && !DirectControl) {
        Replan(best, maxRange);
    }
}

void ServerUnit::HandOverOnArrival() {
    if (!AiTarget) return;
    if (AiTarget->IsAlive() && AiTarget->HasCustomisationModel()) {
        if (DistanceSquared(Position, AiTarget->Position) >= kHandOverRangeSquared) return;
        GiveItemTo(TargetId, AiTarget->Id, GiveCount);
    }
    SetAiTarget(nullptr);
    TargetId = -1;
    GiveCount = -1;
}

ServerObject* ServerUnit::TargetPickup() const {
    ServerObject* actor = TvFindActor(TargetId);
    return actor && actor->IsPickup() ? actor : nullptr;
}

void ServerUnit::ApproachPickup() {
    if (Moving || TargetId == -1 || !HasCustomisationModel() || AiTarget || Collecting || ItemActionActive) return;
    auto* pickup = static_cast<ServerPickup*>(TargetPickup());
    if (!pickup || DistanceSquared(Position, pickup->Position) >= pickup->PickupRadius) return;
    SetPathState(PS_NONE);
    ClearWaypoints();
    pickup->Collect(this);
}

void ServerUnit::FinishCollecting() {
    ServerObject* pickup = TargetPickup();
    TargetId = -1;
    if (pickup) CollectPickup(pickup, true);
    // Also when the pickup went or was taken meanwhile: the unit takes orders again.
    Collecting = 0;
}

void ServerUnit::ToggleCrouch() {
    const AwModel* model = Definition ? Definition->model : nullptr;
    if (!model || !model->HasSequence(kSequenceCrouch)) return;
    AtRestUnderControl = 0;
    Moving = 0;
    ClearWaypoints();
    if (IsFiring()) StopAttacking(LastSeconds);
    Crouched = !Crouched;
    if (Crouched && TvIsHiddenFromEnemies(this)) {
        const CollisionPolygon* floor = GetFloorPolygon();
        Concealed = NearCoverPickup() || (floor && (floor->flags & kPolygonCover));
    } else if (DisguiseId == -1) {
        Concealed = 0;
    }
    // The model's own crouch flag is the client twin's business: the server's model has none.
    if (Crouched) {
        CentreOffset = CrouchBoxCentre();
    } else {
        UpdateCentreOffset(false);
    }
    ByteWriter message = ActorMessage(Crouched ? kMsgUnitCrouched : kMsgUnitStoodUp, Id);
    message.U8(Concealed);
    TvBroadcast(message, false);
}

bool ServerUnit::NearCoverPickup() const {
    bool near = false;
    ForEachActor([&](const ServerObject* actor) {
        if (near || !actor->IsPickup() || !actor->Definition) return;
        if (actor->Definition->flags & kDefinitionDestroyAfterCollection) return;
        near = DistanceSquared(Position, actor->Position) < 2 * actor->Radius * actor->Radius;
    });
    return near;
}

Vector3 ServerUnit::CrouchBoxCentre() const {
    const AwModel* model = Definition ? Definition->model : nullptr;
    std::vector<const AwModel*> nodes;
    if (model) CollectNodes(model, nodes);
    Vector3 centre;
    if (nodes.size() > kCrouchBoxNode && MeshBoxCentre(*nodes[kCrouchBoxNode], centre)) return centre;
    // The actor's own box (the model's bounds, else one of its size standing on Position)
    // with its top lowered to half height; y grows downward, so the top is the least y.
    const bool bounded =
        Model && (Model->Min.x != Model->Max.x || Model->Min.y != Model->Max.y || Model->Min.z != Model->Max.z);
    Vector3 low = bounded ? Model->Min : Vector3{-0.5f * Size.x, -Size.y, -0.5f * Size.z};
    const Vector3 high = bounded ? Model->Max : Vector3{0.5f * Size.x, 0, 0.5f * Size.z};
    low.y -= (low.y - high.y) * 0.5f;
    return (low + high) * 0.5f;
}

void ServerUnit::PlayIdleSequence(int32_t sequence, Real time) {
    if (Disabled || LastSeconds > time) return;
    PlaySequence(sequence, kSpeedOne, 1, GameClock.GetTime32(), &IdleSequenceDone, 0, false);
}

void ServerUnit::SetStandingOrder(int32_t order) {
    if (order >= 0 && order <= 2) {
        if (TeamRecord* record = TeamTable::GetTeam(Team)) record->Formation = order;
    } else if (order == 3) {
        CpuControlled = !CpuControlled;
    } else if (order >= kStandingModeChooseTargets && order <= kStandingModePlayer) {
        StandingMode = order;
    }
}

void ServerUnit::AddSightBonus(Real amount) {
    SightRange += amount;
    FirstPersonRange += 5 * amount;
    SightBonusCount = amount > 0 ? SightBonusCount + 1 : std::max(SightBonusCount - 1, 0);
}

void ServerUnit::AddAimModules(int32_t n) {
    AimModuleCount = std::max(AimModuleCount + n, 0);
    Aim = Character ? Character->aim : 0;
    for (int32_t i = 0; i < AimModuleCount; ++i)
        Aim *= 0.5f;
}

Real ServerUnit::GetFirstPersonRange() const {
    return Character ? std::min(FirstPersonRange, Character->maximumFirstPersonRange) : FirstPersonRange;
}

void ServerUnit::AddWalkingSpeed(int32_t n) {
    WalkingSpeed += n;
    UpdateDerivedSpeeds();
    UnitMotionState state;
    GetMotionState(state);
    ByteWriter message = ActorMessage(kMsgUnitWalkingSpeed, Id);
    message.I32(n);
    state.Write(message);
    TvBroadcast(message, true);
}

void ServerUnit::UpdateDerivedSpeeds() {
    const Real stride = Character ? Character->strideLength : 0;
    Speed = static_cast<Real>(WalkingSpeed) / 65536.0f * stride;
    const Real turning = Character ? Character->turningSpeed : 0;
    if (turning != 0) {
        const Real radius = Speed / (turning * RadiansPerAngleUnit);
        TurnRadiusSquared = radius * radius;
    } else {
        TurnRadiusSquared = 0;
    }
}

void ServerUnit::UpdateCentreOffset(bool applySize) {
    const AwModel* model = Definition ? Definition->model : nullptr;
    std::vector<const AwModel*> nodes;
    if (model) CollectNodes(model, nodes);
    Vector3 centre{0, 0, 0};
    bool found = false;
    for (const AwModel* node : nodes)
        if ((found = MeshBoxCentre(*node, centre))) break;
    if (!found) {
        const Real height = Character && Character->collisionHeight != 0 ? Character->collisionHeight : Size.y;
        centre = Vector3{0, -0.5f * height, 0};
    }
    if (applySize && Character && Character->size != 1.0f) centre = centre * Character->size;
    CentreOffset = centre;
}

void RegisterServerUnit() { SetServerActorMaker(ServerActorClass::Unit, &MakeServerActor<ServerUnit>); }
