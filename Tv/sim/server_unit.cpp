#include "Tv/sim/server_unit.h"

#include <vector>

#include "Awapi/model/model_node.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Tv/client/collisionvolume.h"
#include "Tv/client/teamtable.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/game_settings.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/world/level_world.h"
#include "core/maths.h"

namespace {

constexpr Real kRadiansPerAngleUnit = 6.28318531f / AngleFullTurn;
constexpr uint32_t kMaskStartBit = 0x40000;      // what a player's unit no longer avoids
constexpr uint32_t kPathMaskPlayerBit = 0x80000; // what its path search avoids instead
constexpr int32_t kCrouchBoxNode = 102;

bool IsPlayerTeam(int32_t team) {
    const TeamRecord* record = TeamTable::GetTeam(team);
    return record && record->IsPlayerTeam();
}

// The model's nodes depth first, root first: the numbering the crouch box's
// node uses.
void CollectNodes(const AwModel* node, std::vector<const AwModel*>& out) {
    out.push_back(node);
    for (const AwModel* child : node->Children) CollectNodes(child, out);
}

// The middle of a node's mesh box; false when the node shows no mesh.
bool MeshBoxCentre(const AwModel& node, Vector3& out) {
    const AwShape* shape = node.Shapes[0];
    if (!shape) return false;
    out = (shape->Min + shape->Max) * 0.5f;
    return true;
}

ServerObject* MakeServerUnit(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                             const Quaternion& orientation, int32_t id) {
    return new ServerUnit(team, definition, position, orientation, id);
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
    // The equipped-item records and the inventory are the items' own (both stay
    // empty until items exist).
    if (CustomisationModel) CustomisationModel->ReleaseUse();
    if (LevelWorld* world = LevelWorldInstance; world && Mover) {
        world->lock.Lock(true);
        if (Mover->floor) Mover->floor->flags &= ~kPolygonUnitMarks;
        world->RemoveMover(Mover);
        world->lock.Unlock(true);
    }
    Mover = nullptr;
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
    const bool joinsPlayer = IsPlayerTeam(team);
    if (!IsPlayerTeam(Team) && joinsPlayer) {
        StandingMode = kStandingModePlayer;
        CpuControlled = 0;
        if (Mover) {
            Mover->moveMask &= ~kMaskStartBit;
            Mover->pathMask = (Mover->pathMask & ~kMaskStartBit) | kPathMaskPlayerBit;
        }
        // The inventory a player's unit carries is made by the items' code.
        // The noise event by which the AI hears it belongs to the senses.
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
        world->lock.Lock(true);
        Vector3 at = Position;
        Mover = world->AddMover(at, new CollisionVolume(height, radius, 0.3f * radius), static_cast<uint32_t>(time));
        if (Mover->floor) Mover->floor->flags |= kPolygonUnitMarks;
        world->lock.Unlock(true);
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

void ServerUnit::Disable() {}
bool ServerUnit::TakeDamage(Real, bool, int32_t) { return false; }
void ServerUnit::Think(uint64_t time, Real seconds) { ServerObject::Think(time, seconds); }
void ServerUnit::OnDeath() { ServerObject::OnDeath(); }
void ServerUnit::ToggleCrouch() {}
void ServerUnit::Die() {}
void ServerUnit::PlayIdleSequence(int32_t, Real) {}
void ServerUnit::SetStandingOrder(int32_t) {}
void ServerUnit::AddSightBonus(Real) {}
void ServerUnit::AddAimModules(int32_t) {}
Real ServerUnit::GetFirstPersonRange() const { return FirstPersonRange; }
void ServerUnit::AddWalkingSpeed(int32_t) {}

void ServerUnit::UpdateDerivedSpeeds() {
    const Real stride = Character ? Character->strideLength : 0;
    Speed = static_cast<Real>(WalkingSpeed) / 65536.0f * stride;
    const Real turning = Character ? Character->turningSpeed : 0;
    if (turning != 0) {
        const Real radius = Speed / (turning * kRadiansPerAngleUnit);
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

void RegisterServerUnit() { SetServerActorMaker(ServerActorClass::Unit, &MakeServerUnit); }
