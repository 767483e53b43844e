#include "Tv/client/shown_orders.h"

void ShownOrderList::Append(const ShownOrder& order) { Orders.PushBack(new ShownOrder(order)); }

bool ShownOrderList::PushHold(const Vector3& position) {
    if (Empty() || Orders.Front()->Type == kShownHold) return false;
    auto* hold = new ShownOrder;
    hold->Type = kShownHold;
    hold->Position = position;
    Orders.PushFront(hold);
    return true;
}

void ShownOrderList::DropHold() {
    if (!Empty() && Orders.Front()->Type == kShownHold) DropFront();
}

void ShownOrderList::DropFront() {
    if (Empty()) return;
    delete Orders.Front();
    Orders.PopFront();
}

int32_t ShownOrderList::AppendEquip(int32_t itemKey, int32_t mountSlot) {
    int32_t pending = 0;
    for (const ShownOrder* order : Orders) {
        if (order->Value != mountSlot) continue;
        if (order->Type == kShownEquip) ++pending;
        if (order->Type == kShownRemove) --pending;
    }
    ShownOrder order;
    order.Type = pending == 1 ? kShownRemove : kShownEquip;
    order.Key = itemKey;
    order.Value = mountSlot;
    Append(order);
    return order.Type;
}

void ShownOrderList::AppendStance(const Vector3& position) {
    if (!Empty() && Orders.Back()->Type == kShownStance) return;
    ShownOrder order;
    order.Type = kShownStance;
    order.Position = position;
    Append(order);
}

void ShownOrderList::Clear() {
    for (ShownOrder* order : Orders) delete order;
    Orders.Clear();
}
