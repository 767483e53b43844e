#pragma once
// The client's copy of a unit's order queue, as far as the client knows it:
// what the interface shows of the orders queued for a unit. The server's
// messages push and pop entries (101, 102, 134, 58) and the unit's queued
// order senders append theirs. Main thread only.

#include <cstdint>

#include "core/list.h"
#include "core/maths.h"

class CollisionPolygon;

// Kinds of shown order (the server's order kinds).
enum ShownOrderType : int32_t {
    kShownAttackTarget = 0, // the bot's: TargetId, LastValue = alternate
    kShownAttackPoint = 1,  // the bot's: Position, LastValue = alternate
    kShownMove = 2,         // Polygon and its reference point, TargetId = the message's value
    kShownHold = 3,
    kShownStance = 4,     // at the unit's position
    kShownEquip = 5,      // Key = item, Value = mount slot
    kShownHeadFor = 6,    // Key = target id, TargetId = follow value, LastValue = follow mode
    kShownUse = 7,        // Key = item
    kShownDrop = 8,       // Key = item
    kShownRemove = 9,     // Key = item; also the cancel of a pending equip (Value = mount slot)
    kShownSelectAmmo = 10 // the bot's: Key = ammunition type
};

struct ShownOrder {
    int32_t Type = 0;
    int32_t TargetId = -1;
    int32_t Key = 0;
    int32_t Value = 0;
    Vector3 Position{0, 0, 0};
    CollisionPolygon* Polygon = nullptr; // not owned
    int32_t LastValue = 0;
};

class ShownOrderList {
public:
    bool Empty() const { return Orders.Count() == 0; }
    int32_t Count() const { return Orders.Count(); }
    const ShownOrder* Front() const { return Empty() ? nullptr : &Orders.Front(); }
    const ShownOrder* Back() const { return Empty() ? nullptr : &Orders.Back(); }
    const List<ShownOrder>& Entries() const { return Orders; }

    // Appends a copy of the order.
    void Append(const ShownOrder& order);
    // A hold at the front, unless the list is empty or already starts with one;
    // answers whether one was pushed.
    bool PushHold(const Vector3& position);
    // Removes the front entry when it is a hold.
    void DropHold();
    // Removes the front entry, if any.
    void DropFront();
    // A queued equip: the equip, or its cancel (kShownRemove for that slot)
    // when exactly one equip of the mount slot is pending (equips less cancels).
    // Answers the kind appended.
    int32_t AppendEquip(int32_t itemKey, int32_t mountSlot);
    // A stance order at the position unless the last entry already is one.
    void AppendStance(const Vector3& position);
    void Clear() { Orders.Clear(); }

private:
    List<ShownOrder> Orders;
};
