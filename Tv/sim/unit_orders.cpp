#include "Tv/sim/server_unit.h"

#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/world/collision_polygon.h"
#include "core/bytes.h"
#include "core/clock.h"

namespace {


UnitOrder* NewOrder(int32_t type) {
    auto* order = new UnitOrder;
    order->Type = type;
    return order;
}

UnitOrder* NewItemOrder(int32_t type, int32_t key) {
    UnitOrder* order = NewOrder(type);
    order->ItemKey = key;
    return order;
}

void SendAboutUnit(int32_t type, int32_t unitId, bool guaranteed) {
    TvBroadcast(ActorMessage(type, unitId), guaranteed);
}

} // namespace

void ServerUnit::ClearOrders() {
    OrdersCancelled = 1;
    for (UnitOrder* order : Orders) delete order;
    Orders.Clear();
}

void ServerUnit::QueueMove(CollisionPolygon* polygon, int32_t targetId) {
    UnitOrder* order = NewOrder(kOrderMove);
    order->TargetId = targetId;
    order->Position = polygon ? polygon->GetReferencePoint() : Position;
    order->Polygon = polygon;
    Orders.PushBack(order);
}

void ServerUnit::QueueCrouch() {
    UnitOrder* order = NewOrder(kOrderCrouch);
    order->Position = Position;
    Orders.PushBack(order);
}

void ServerUnit::PushHoldOrder() {
    if (Orders.IsEmpty() || Orders.Front()->Type == kOrderHold) return;
    UnitOrder* order = NewOrder(kOrderHold);
    order->Position = Position;
    Orders.PushFront(order);
    Moving = 0;
    ClearWaypoints();
}

void ServerUnit::PopHoldOrder() {
    if (Orders.IsEmpty() || Orders.Front()->Type != kOrderHold) return;
    PopOrder();
    SendAboutUnit(kMsgHoldReleased, Id, false);
}

void ServerUnit::QueueEquipItem(int32_t role, int32_t key) {
    // Equip orders for the key not yet undone by a remove order: queuing the same
    // equip again cancels it.
    int32_t due = 0;
    for (const UnitOrder* order : Orders) {
        if (order->ItemKey != key) continue;
        if (order->Type == kOrderEquip) ++due;
        if (order->Type == kOrderRemove) --due;
    }
    if (due == 1) {
        Orders.PushBack(NewItemOrder(kOrderRemove, key));
        return;
    }
    UnitOrder* order = NewItemOrder(kOrderEquip, key);
    order->Role = role;
    Orders.PushBack(order);
}

void ServerUnit::QueueUseItem(int32_t key) { Orders.PushBack(NewItemOrder(kOrderUse, key)); }
void ServerUnit::QueueDropItem(int32_t key) { Orders.PushBack(NewItemOrder(kOrderDrop, key)); }
void ServerUnit::QueueRemoveItem(int32_t key) { Orders.PushBack(NewItemOrder(kOrderRemove, key)); }

void ServerUnit::QueueGiveItem(int32_t key, int32_t targetId, int32_t count) {
    UnitOrder* order = NewItemOrder(kOrderGiveItem, key);
    order->TargetId = targetId;
    order->GiveCount = count;
    Orders.PushBack(order);
}

void ServerUnit::DropQueuedOrders() {
    if (Orders.IsEmpty()) {
        StopMoving(GameClock.GetSeconds());
        return;
    }
    // The last order that is not a hold goes.
    ListIterator<UnitOrder*> it(Orders);
    for (it.BeginLast(); !it.AtEnd(); it.Prev()) {
        if ((*it.Payload())->Type == kOrderHold) continue;
        delete *it.Payload();
        Orders.RemoveNode(it.Node());
        return;
    }
}

void ServerUnit::PopOrder() {
    SendAboutUnit(kMsgOrderDone, Id, false);
    if (Orders.IsEmpty()) return;
    delete Orders.Front();
    Orders.PopFront();
}

void ServerUnit::RunFrontOrder(Real time) {
    if (Orders.IsEmpty()) return;
    const UnitOrder& order = *Orders.Front();
    const bool accepted = time >= LastCommandTime && Strength != 0 && !Crouched;
    // A walk toward a goal polygon, as HeadFor asks for it.
    const auto headFor = [&](CollisionPolygon* goal) {
        GoalPolygon = goal;
        SetPathState(PS_COMPLETE);
        LastCommandTime = MoveStartTime = time;
    };
    switch (order.Type) {
    case kOrderMove:
        if (Crouched) {
            ToggleCrouch(); // the order runs once the unit stands
            return;
        }
        if (accepted && order.Polygon) headFor(order.Polygon);
        TargetId = order.TargetId; // a pickup there is collected on arrival
        break;
    case kOrderCrouch: ToggleCrouch(); break;
    case kOrderEquip: EquipItem(order.Role, order.ItemKey, true); break;
    case kOrderGiveItem: {
        ServerObject* receiver = TvFindActor(order.TargetId);
        CollisionPolygon* floor = receiver ? receiver->GetFloorPolygon() : nullptr;
        if (floor) {
            if (accepted) headFor(floor);
            SetAiTarget(receiver); // handed over on arrival
            TargetId = order.ItemKey;
            GiveCount = order.GiveCount;
        }
        break;
    }
    case kOrderUse: UseItem(order.ItemKey, true); break;
    case kOrderDrop: DropItem(order.ItemKey); break;
    case kOrderRemove: RemoveItemByKey(order.ItemKey); break;
    default: return; // a hold, or the bot's own kinds: the order stays
    }
    PopOrder();
}
