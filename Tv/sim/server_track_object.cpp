#include "Tv/sim/server_track_object.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "Awapi/mesh_part.h"
#include "Awapi/object.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "Awapi/vertex_buffer_pool.h"
#include "Tv/defs/definitionrecords.h"
#include "Tv/defs/objectdefinition.h"
#include "Tv/server/senders.h"
#include "Tv/server/server.h"
#include "Tv/sim/actor_makers.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/world/level_world.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

constexpr int32_t kAiCoreReserved = 4;
constexpr int32_t kAiCoreTrackObject = 8;
constexpr Real kPickupDropStart = 1.0f; // y points down: below the pickup
constexpr Real kPickupDropEnd = 21.0f;
constexpr Real kPickupRestHeight = 0.1f;

// Takes every mesh part of the tree out of the shared vertex buffers, so that
// the moving model is drawn from its own vertices where it is.
void TakeOutOfSharedBuffers(AwShapeInstance& node) {
    for (AwShape* shape : node.Slots)
        if (shape)
            for (AwMeshPart* part : shape->Parts)
                if (part->SharedBuffer) AwVertexBuffer::RemovePart(part->SharedBuffer, part);
    for (AwShapeInstance* child : node.Children) TakeOutOfSharedBuffers(*child);
}

bool IsClassMarked(const CollisionPolygon& polygon) { return (polygon.flags & kPolygonClassMask) != 0; }

// Standing on the lift's floor, such actors are destroyed with it (other track objects and reserved actors are not).
bool DiesWithTheFloor(const ServerObject& actor) {
    const int32_t core = actor.Definition ? actor.Definition->aiCore : -1;
    return core != kAiCoreTrackObject && core != kAiCoreReserved && actor.SpareFlag == 0;
}

// A pickup that stays as a heap when destroyed falls to the level under it first.
void DropPickupToLevel(ServerObject& pickup) {
    const PickupRecord* record = pickup.Definition ? pickup.Definition->pickup.get() : nullptr;
    if (!record || record->actionOnDeath != 1) return;
    Vector3 hit;
    const Vector3 from = pickup.Position + Vector3(0, kPickupDropStart, 0);
    const Vector3 to = pickup.Position + Vector3(0, kPickupDropEnd, 0);
    if (TvLevelSegmentHit(from, to, &hit)) return; // nothing below
    pickup.SetPosition(hit - Vector3(0, kPickupRestHeight, 0));
}

} // namespace

ServerTrackObject::ServerTrackObject(int32_t team, const ObjectDefinition* definition, const Vector3& position,
                                     const Quaternion& orientation, int32_t id)
    : ServerObject(team, definition, position, orientation, kActorFlagsTrackObject, id) {}

ServerTrackObject::~ServerTrackObject() {
    TrackObjectList.RemoveValue(this);
    DropRiders(false);
    if (Mesh && LevelWorldInstance) {
        // The floor stays in the world, but the model root that names it goes with
        // the model: a later model at the same address must not be taken for it.
        RwLockHold hold(&LevelWorldInstance->lock, true);
        Mesh->owner = nullptr;
        ForEachPolygon(*Mesh, [](CollisionPolygon& polygon) { polygon.owner = nullptr; });
    }
}

void ServerTrackObject::Start(uint64_t time, Real seconds) {
    if (Model && Model->Root && LevelWorldInstance) {
        RwLockHold hold(&LevelWorldInstance->lock, false);
        for (CollisionMesh* mesh : LevelWorldInstance->meshes) {
            if (mesh->owner != Model->Root) continue;
            Mesh = mesh;
            KeepModelInWorld = 1;
            break;
        }
    }
    ServerObject::Start(time, seconds);
}

bool ServerTrackObject::SetTrackSpeed(Real speed) {
    if (!(speed > 0.0f)) return false;
    TrackSpeed = speed;
    return true;
}

void ServerTrackObject::AddRider(ServerObject& rider) {
    if (Riders.Contains(&rider)) return;
    rider.AddRef();
    Riders.PushBack(&rider);
    rider.MarkOnTrack();
}

bool ServerTrackObject::HasRider(int32_t actorId) const {
    return std::any_of(Riders.begin(), Riders.end(), [&](const ServerObject* rider) { return rider->Id == actorId; });
}

void ServerTrackObject::DropRiders(bool explode) {
    // Taken out first: an exploding rider may spawn actors that ask which lift carries it.
    List<ServerObject*> riders(Riders);
    Riders.Clear();
    for (ServerObject* rider : riders) {
        rider->MarkOffTrack();
        if (explode) rider->Explode();
        rider->Release();
    }
}

Vector3 ServerTrackObject::CurvePoint(Real t) const {
    // The Bernstein form: the weights at t = 0 and t = 1 are exactly 1 and 0.
    const Real u = 1.0f - t;
    return Curve[0] * (u * u * u) + Curve[1] * (3.0f * t * u * u) + Curve[2] * (3.0f * t * t * u) +
           Curve[3] * (t * t * t);
}

void ServerTrackObject::SetTrack(const Vector3 (&points)[4], const Quaternion& endOrientation, bool carriesRiders) {
    if (carriesRiders != (CarriesRiders != 0)) {
        if (carriesRiders)
            TrackObjectList.PushBack(this);
        else
            TrackObjectList.RemoveValue(this);
    }
    CarriesRiders = carriesRiders;
    std::copy(std::begin(points), std::end(points), Curve);
    StartOrientation = Orientation;
    EndOrientation = endOrientation;
    QuaternionSlerp(StartOrientation, EndOrientation, TurnInterpolation);
    if (Model && Model->Root) TakeOutOfSharedBuffers(*Model->Root);
    Reversed = 0;
    TrackSet = 1;
}

bool ServerTrackObject::MeshHolds(const CollisionPolygon* polygon) const {
    if (!Mesh || !polygon) return false;
    const std::less_equal<const CollisionPolygon*> notAfter;
    const CollisionPolygon* triangles = Mesh->triangles.get();
    const CollisionPolygon* quads = Mesh->quads.get();
    return (Mesh->triangleCount > 0 && notAfter(triangles, polygon) &&
            notAfter(polygon, &Mesh->triangles[Mesh->triangleCount - 1])) ||
           (Mesh->quadCount > 0 && notAfter(quads, polygon) && notAfter(polygon, &Mesh->quads[Mesh->quadCount - 1]));
}

void ServerTrackObject::UnlinkFloor() {
    ForEachPolygon(*Mesh, [](CollisionPolygon& polygon) {
        if (IsClassMarked(polygon)) CollisionPolygonUnlinkNeighbours(&polygon);
    });
}

void ServerTrackObject::RelinkFloor() {
    LevelWorldInstance->RemoveMesh(*Mesh);
    LevelWorldInstance->InsertMesh(*Mesh);
    ForEachPolygon(*Mesh, [](CollisionPolygon& polygon) {
        if (IsClassMarked(polygon)) LevelWorldInstance->LinkNeighbours(&polygon);
    });
}

void ServerTrackObject::MoveMeshBy(const Vector3& delta) {
    ForEachPolygon(*Mesh, [&](CollisionPolygon& polygon) {
        const Vector3 moved = polygon.GetReferencePoint() + delta;
        polygon.SetReferencePoint(moved.x, moved.y, moved.z);
    });
    for (uint32_t i = 0; i < Mesh->vertexCount; ++i) Mesh->vertices[i] = Mesh->vertices[i] + delta;
    LevelWorldInstance->MoveMesh(*Mesh, delta);
}

void ServerTrackObject::RunTrack() {
    if (!TrackSet || Running || Paused) return;
    RunStart = ThinkTicks;
    Running = 1;
    const bool lift = CarriesRiders && Mesh && LevelWorldInstance;
    if (lift) {
        std::vector<ServerObject*> standing;
        {
            RwLockHold hold(&LevelWorldInstance->lock, false);
            ForEachActor([&](ServerObject* actor) {
                if (actor != this && actor->GetMovesOnLifts() &&
                    MeshHolds(LevelWorldInstance->FindFloor(actor->Position)))
                    standing.push_back(actor);
            });
        }
        for (ServerObject* actor : standing) AddRider(*actor);
        RwLockHold hold(&LevelWorldInstance->lock, true);
        UnlinkFloor();
    }
    ByteWriter message = ActorMessage(Reversed ? kMsgTrackRunBackward : kMsgTrackRunForward, Id);
    message.I32(CarriesRiders ? Riders.Count() : 0);
    if (CarriesRiders)
        for (const ServerObject* rider : Riders) message.I32(rider->Id);
    TvBroadcast(message, true);
}

void ServerTrackObject::GoToEnd(int32_t end) {
    const uint8_t farEnd = end != 0;
    if (Running) {
        if (Reversed != farEnd) return;
        // Mirrors the run about the last think so that t is continuous there.
        Reversed ^= 1;
        const auto half = static_cast<uint64_t>(FloorToInt64(0.5 * CurrentTicksPerSecondFloat() / TrackSpeed));
        RunStart = 2 * (ThinkTicks - half) - RunStart;
        TvBroadcast(ActorMessage(kMsgTrackTurned, Id), true);
    } else if (!Paused && Reversed != farEnd) {
        RunTrack();
    }
}

void ServerTrackObject::Pause() {
    if (!Running) return;
    Running = 0;
    Paused = 1;
    PauseTime = GameClock.GetTime();
    TvBroadcast(ActorMessage(kMsgTrackPaused, Id), true);
}

void ServerTrackObject::Unpause() {
    if (!Paused) return;
    Paused = 0;
    Running = 1;
    RunStart += GameClock.GetTime() - PauseTime;
    TvBroadcast(ActorMessage(kMsgTrackResumed, Id), true);
}

void ServerTrackObject::Think(uint64_t time, Real seconds) {
    if (!Running) {
        if (Looping && !Paused && static_cast<int64_t>(time - RunStart) > LoopTicks) RunTrack();
        ServerObject::Think(time, seconds);
        return;
    }
    // Differences of ticks are taken modulo 2^64: a turn may put RunStart before the clock's zero.
    Real t = static_cast<Real>(static_cast<int64_t>(time - RunStart)) * CurrentSecondsPerTick() * TrackSpeed;
    if (Reversed) t = 1.0f - t;
    if (Reversed ? t <= 0.0f : t >= 1.0f) Running = 0;
    t = std::clamp(t, 0.0f, 1.0f);
    const Vector3 place = CurvePoint(t);
    const Vector3 delta = place - Position;
    QuaternionInterpolate(StartOrientation, EndOrientation, t, TurnInterpolation, Orientation);
    Position = place;

    if (CarriesRiders)
        for (ServerObject* rider : Riders) {
            rider->SetPositionQuiet(rider->Position + delta);
            rider->SyncMotionPosition();
        }
    if (Mesh && LevelWorldInstance) {
        RwLockHold hold(&LevelWorldInstance->lock, true);
        MoveMeshBy(delta);
    }
    if (!Running) {
        Reversed ^= 1;
        DropRiders(false);
        if (CarriesRiders && Mesh && LevelWorldInstance) {
            RwLockHold hold(&LevelWorldInstance->lock, true);
            RelinkFloor();
        }
    }
    ServerObject::Think(time, seconds);
}

void ServerTrackObject::DestroyStandingOn() {
    if (!Mesh) return;
    {
        ActorSnapshot snapshot(ActorSnapshot::Hold::References);
        std::vector<ServerObject*> standing;
        snapshot.ForEach([&](ServerObject* actor) {
            if (actor->IsAlive() && DiesWithTheFloor(*actor) && MeshHolds(actor->GetFloorPolygon()))
                standing.push_back(actor);
        });
        for (ServerObject* actor : standing) actor->Explode();
    }
    ActorSnapshot snapshot(ActorSnapshot::Hold::References);
    std::vector<ServerObject*> pickups;
    if (LevelWorldInstance) {
        RwLockHold hold(&LevelWorldInstance->lock, false);
        snapshot.ForEach([&](ServerObject* actor) {
            if (actor->IsAlive() && actor->IsPickup() && MeshHolds(LevelWorldInstance->FindFloor(actor->Position)))
                pickups.push_back(actor);
        });
    }
    for (ServerObject* pickup : pickups) DropPickupToLevel(*pickup);
    for (ServerObject* pickup : pickups) pickup->Explode();
}

void ServerTrackObject::Explode() {
    // Reached from the main thread too.
    ServerLockHold server;
    if (Riders.IsEmpty()) DestroyStandingOn();
    DropRiders(true);
    if (Mesh && LevelWorldInstance) {
        RwLockHold hold(&LevelWorldInstance->lock, true);
        UnlinkFloor();
    }
    ServerObject::Explode();
}

void RegisterServerTrackObject() {
    SetServerActorMaker(ServerActorClass::TrackObject, &MakeServerActor<ServerTrackObject>);
}
