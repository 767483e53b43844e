#pragma once
// Movers: the collision world's record of each walking object (a unit of the
// simulation, or a client's display copy), carried over the floor polygons
// along their neighbour links toward a target by a given time, kept a radius
// away from edges it may not cross.
//
// Callers hold the world's `lock`: exclusive around AddMover and RemoveMover
// (they change the list), shared around MoveMover and SetMoverState (they
// change only the mover, which one thread uses at a time).

#include <atomic>
#include <cstdint>

#include "Tv/world/collision_world.h"
#include "core/list.h"
#include "core/maths.h"
#include "core/mem.h"

class CollisionVolume;

// Mask bits of the movers.
constexpr uint32_t kMoverStartMask = 0x40100;  // 0x100: the steep bit
constexpr uint32_t kMoverPathOnlyBit = 0x100000;
constexpr uint32_t kMoverSizeBits = 0x680;     // radius > 1.1: 0x400, > 0.6: 0x80; height > 1.54: 0x200

struct Mover : MemObject {
    uint32_t time = 0; // clock time (caller's ticks) at which `position` holds
    Vector3 position{0, 0, 0};
    CollisionVolume* volume = nullptr; // owned
    CollisionPolygon* floor = nullptr;
    Real scaledHeight = 0; // 0.4 x height
    Vector3 velocity{0, 0, 0}; // metres per tick
    Real gravity = 9.81f;
    uint32_t moveMask = 0; // polygons sharing a bit are never entered
    uint32_t pathMask = 0; // what the path search refuses for this mover
};

// Tick-counter ticks spent in MoveMover, summed over every thread (a debug figure).
extern std::atomic<uint32_t> MoverMoveTicks;

// The entry test of a move: without `stuck`, whether p lies in q's footprint;
// with it, p steps 0.01 toward q's reference point and is kept when that lands inside.
bool MoverEntersPolygon(const CollisionPolygon& q, Vector3& p, bool stuck);

class MoverWorld : public CollisionWorld {
public:
    MoverWorld() = default;
    ~MoverWorld() override; // frees every mover and its volume

    // A new mover on the floor under `position`, which receives the point it
    // stands on. Takes ownership of the volume.
    Mover* AddMover(Vector3& position, CollisionVolume* volume, uint32_t time);
    // Moves toward target's x and z to arrive at `time`; target receives the
    // point reached. False when a blocked edge stopped the mover.
    bool MoveMover(Vector3& target, Mover& mover, uint32_t time);
    void RemoveMover(Mover* mover);
    // Floor: the polygon at that index of the table, none beyond it.
    void SetMoverState(Mover& mover, const Vector3& position, const Vector3& velocity, uint32_t polygonIndex,
                       uint32_t time);
    // Movers standing on the mesh lose their floor, and every link to or from
    // its polygons goes, on both sides (the polygons are about to be destroyed).
    void ReleaseMesh(CollisionMesh& mesh) override;

    List<Mover*> movers;
};
