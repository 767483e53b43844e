#include "Tv/client/shown_orders.h"

void ShownOrderList::Append(const ShownOrder& order) { Orders.PushBack(order); }

bool ShownOrderList::PushHold(const Vector3& position) {
    if (Empty() || Orders.Front().Type == kShownHold) return false;
    Orders.PushFront(ShownOrder{.Type = kShownHold, .Position = position});
    return true;
}

void ShownOrderList::DropHold() {
    if (!Empty() && Orders.Front().Type == kShownHold) Orders.PopFront();
}

void ShownOrderList::DropFront() { Orders.PopFront(); }

int32_t ShownOrderList::AppendEquip(int32_t itemKey, int32_t mountSlot) {
    int32_t pending = 0;
    for (const ShownOrder& order : Orders) {
        if (order.Value != mountSlot) continue;
        if (order.Type == kShownEquip) ++pending;
        if (order.Type == kShownRemove) --pending;
    }
    const int32_t type = pending == 1 ? kShownRemove : kShownEquip;
    Append(ShownOrder{.Type = type, .Key = itemKey, .Value = mountSlot});
    return type;
}

void ShownOrderList::AppendStance(const Vector3& position) {
    if (!Empty() && Orders.Back().Type == kShownStance) return;
    Append(ShownOrder{.Type = kShownStance, .Position = position});
}
