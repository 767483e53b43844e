#pragma once
// The records a server unit owns or hands out: its orders, its path request
// state, its waypoints, the motion record its messages carry and the path
// segment the conflict pass compares.

#include <cstdint>

#include "core/maths.h"
#include "core/mem.h"

class ByteWriter;
class CollisionPolygon;
class ServerUnit;

// ---- Orders ----

enum UnitOrderType : int32_t {
    kOrderAttackTarget = 0, // the bot's
    kOrderAttackPoint = 1,  // the bot's
    kOrderMove = 2,
    kOrderHold = 3, // never carried out; blocks the queue until popped
    kOrderCrouch = 4,
    kOrderEquip = 5,
    kOrderGiveItem = 6,
    kOrderUse = 7,
    kOrderDrop = 8,
    kOrderRemove = 9,
    kOrderChangeAmmo = 10, // the bot's
};

// One queued order; fields an order kind does not name are left as made.
struct UnitOrder : MemObject {
    int32_t Type = 0;
    int32_t TargetId = -1;
    int32_t ItemKey = 0; // the ammunition type for kOrderChangeAmmo
    int32_t Role = 0;    // mount slot of an equip order
    Vector3 Position{0, 0, 0};
    CollisionPolygon* Polygon = nullptr; // goal of a move order
    int32_t AttackWord = 0;              // the bot's attack orders
    int32_t GiveCount = 0;
};

// ---- Paths ----

enum PathState : int32_t {
    PS_NONE = 0,
    PS_DONE = 1, // a planning step just finished; PS_NONE at the next update
    PS_COMPLETE = 2,
    PS_CLEARPATH_FAILED = 3,
    PS_RECALCULATE_PART = 4,
    PS_RECALCULATE_PART_OR_GIVE_UP = 5,
};

struct Waypoint : MemObject {
    Vector3 Position{0, 0, 0};
    int32_t Keep = 0; // non-zero: stays in the list when reached (patrols)
    int32_t Tag = 0;  // the combat AI's
    int32_t Word = 0; // the combat AI's; 0 when made
};

// The body of the motion messages (48 bytes on the wire).
struct UnitMotionState {
    Real time = 0; // StateSeconds
    Vector3 position{0, 0, 0};
    Quaternion orientation{0, 0, 0, 1};
    Vector3 velocity{0, 0, 0}; // the mover's
    uint32_t floorIndex = 0xFFFFFF; // low 24 bits: the mover's floor polygon, 0xFFFFFF none

    static constexpr uint32_t kBytes = 48;
    void Write(ByteWriter& out) const;
};

// One walking unit's next step, as the conflict pass sees it.
struct PathSegment {
    enum Decision : int32_t { kNone = 0, kExamined = 1, kWait = 2, kReplan = 3, kBlocked = 4 };

    ServerUnit* Unit = nullptr;
    CollisionPolygon* From = nullptr;
    CollisionPolygon* To = nullptr;
    Vector3 Position{0, 0, 0};
    Vector3 NextPoint{0, 0, 0};
    int32_t Decision = kNone;
};
