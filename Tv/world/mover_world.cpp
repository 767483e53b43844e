#include "Tv/world/mover_world.h"

#include <cmath>

#include "Tv/client/collisionvolume.h"
#include "core/clock.h"

std::atomic<uint32_t> MoverMoveTicks{0};

namespace {

// A floor lost by walking off its footprint is replaced by the floor under the
// mover only when that one lies this close in height.
constexpr Real kFloorReach = 0.5f;

// The floor under or over p whose height there is within reach of p's; null otherwise.
CollisionPolygon* NearbyFloor(const CollisionWorld& world, const Vector3& p) {
    Vector3 probe = p;
    CollisionPolygon* floor = world.DropToFloor(probe);
    return floor && std::fabs(p.y - probe.y) < kFloorReach ? floor : nullptr;
}

uint32_t SizeBits(const CollisionVolume& volume) {
    uint32_t bits = 0;
    if (volume.Radius() > 1.1f) bits |= 0x400;
    if (volume.Radius() > 0.6f) bits |= 0x80;
    if (volume.Height() > 1.54f) bits |= 0x200;
    return bits;
}

bool MeshHolds(const CollisionMesh& mesh, const CollisionPolygon* polygon) {
    if (polygon->owner != mesh.owner) return false;
    bool found = false;
    ForEachPolygon(mesh, [&](const CollisionPolygon& p) { found = found || &p == polygon; });
    return found;
}

} // namespace

bool MoverEntersPolygon(const CollisionPolygon& q, Vector3& p, bool stuck) {
    if (!stuck) return q.ContainsXZ(p, nullptr);
    const Vector3& target = q.GetReferencePoint();
    const Vector3 d = target - p;
    const Real length = FastSqrt(Dot(d, d));
    const Vector3 stepped =
        length > 0.01f ? Vector3(p.x + d.x * 0.01f / length, p.y + d.y * 0.01f / length, p.z + d.z * 0.01f / length)
                       : target;
    if (!q.ContainsXZ(stepped, nullptr)) return false;
    p = stepped;
    return true;
}

MoverWorld::~MoverWorld() {
    for (Mover* mover : movers) {
        delete mover->volume;
        delete mover;
    }
}

Mover* MoverWorld::AddMover(Vector3& position, CollisionVolume* volume, uint32_t time) {
    auto* mover = new Mover;
    movers.PushBack(mover);
    mover->volume = volume;
    mover->time = time;
    mover->gravity = Gravity;
    mover->scaledHeight = 0.4f * volume->Height();
    mover->floor = DropToFloor(position);
    if (mover->floor) position = mover->floor->GetReferencePoint();
    mover->position = position;
    mover->velocity = Vector3(0, 0, 0);
    const uint32_t mask = kMoverStartMask | SizeBits(*volume);
    mover->pathMask = mask | kMoverPathOnlyBit;
    mover->moveMask = mask & ~kMoverSizeBits;
    return mover;
}

bool MoverWorld::MoveMover(Vector3& target, Mover& mover, uint32_t time) {
    const uint32_t startTicks = CurrentTicks32();
    Vector3& position = mover.position;
    if (time != mover.time) {
        const auto ticks = static_cast<Real>(static_cast<int32_t>(time - mover.time));
        mover.velocity.x = (target.x - position.x) / ticks;
        mover.velocity.z = (target.z - position.z) / ticks;
    }
    if (mover.floor && !mover.floor->ContainsXZ(position, nullptr))
        if (CollisionPolygon* below = NearbyFloor(*this, position)) mover.floor = below;

    const Real radius = mover.volume->Radius();
    bool stuck = false;
    bool reached = true;
    for (;;) {
        uint32_t remaining = time - mover.time;
        if (remaining == 0) break;
        if (!mover.floor) {
            mover.floor = FindFloor(position);
            if (mover.floor) continue;
            position = position - Vector3(0.001f, 0.001f, 0.001f);
            break;
        }
        const CollisionPolygon& floor = *mover.floor;
        const Vector3& n = floor.normal;
        const Vector3& ref = floor.GetReferencePoint();
        const Vector3 v = mover.velocity - n * Dot(mover.velocity, n);
        position.y = ((ref.x - position.x) * n.x + ref.y * n.y + (ref.z - position.z) * n.z) / n.y;
        uint32_t ticksToMargin, ticksToEdge;
        floor.ExitTimes(position, v, radius, ticksToMargin, ticksToEdge);
        if (((floor.flags | mover.moveMask) & kPolygonSlow) != 0) remaining >>= 1;
        if (remaining < ticksToMargin) {
            position = position + v * static_cast<Real>(remaining);
            break;
        }

        // The first neighbour (in link order, not barred by the mask) that
        // holds the exit point, or the point nudged a little further on.
        Vector3 exit = position + v * static_cast<Real>(ticksToEdge);
        CollisionPolygon* next = nullptr;
        bool arrivesFirst = false;
        for (int pass = 0; pass < 2 && !next; ++pass) {
            if (pass == 1) exit = exit + v * 0.01f * FastInvSqrt(Dot(v, v));
            for (uint32_t i = 0; i < floor.neighbourCount; ++i) {
                CollisionPolygon* q = floor.neighbours[i];
                if ((q->flags & mover.moveMask) != 0 || !MoverEntersPolygon(*q, exit, stuck)) continue;
                next = q;
                arrivesFirst = ticksToEdge > remaining;
                break;
            }
        }
        if (arrivesFirst) {
            position = position + v * static_cast<Real>(remaining);
            break;
        }
        if (next) {
            position = exit;
            mover.floor = next;
            stuck = false;
            mover.time += ticksToEdge;
            continue;
        }
        CollisionPolygon* other = NearbyFloor(*this, position);
        if (other && other != &floor) {
            mover.floor = other;
            continue;
        }
        if (stuck) {
            position = position + v * static_cast<Real>(ticksToMargin);
            reached = false;
            break;
        }
        stuck = true;
    }
    MoverMoveTicks.fetch_add(CurrentTicks32() - startTicks, std::memory_order_relaxed);
    target = position;
    mover.time = time;
    return reached;
}

void MoverWorld::RemoveMover(Mover* mover) {
    if (!movers.RemoveValue(mover)) return;
    delete mover->volume;
    delete mover;
}

void MoverWorld::SetMoverState(Mover& mover, const Vector3& position, const Vector3& velocity, uint32_t polygonIndex,
                               uint32_t time) {
    mover.position = position;
    mover.velocity = velocity;
    mover.time = time;
    mover.floor = polygonIndex < polygonCount ? polygonTable[polygonIndex] : nullptr;
}

void MoverWorld::ReleaseMesh(CollisionMesh& mesh) {
    for (Mover* mover : movers)
        if (mover->floor && MeshHolds(mesh, mover->floor)) mover->floor = nullptr;
    CollisionWorld::ReleaseMesh(mesh);
}
