#include "Tv/sim/server_unit.h"

// STUB: the order queue is being written.

void ServerUnit::ClearOrders() {}
void ServerUnit::QueueMove(CollisionPolygon*, int32_t) {}
void ServerUnit::QueueCrouch() {}
void ServerUnit::PushHoldOrder() {}
void ServerUnit::PopHoldOrder() {}
void ServerUnit::QueueEquipItem(int32_t, int32_t) {}
void ServerUnit::QueueUseItem(int32_t) {}
void ServerUnit::QueueDropItem(int32_t) {}
void ServerUnit::QueueRemoveItem(int32_t) {}
void ServerUnit::QueueGiveItem(int32_t, int32_t, int32_t) {}
void ServerUnit::DropQueuedOrders() {}
void ServerUnit::PopOrder() {}
void ServerUnit::RunFrontOrder(Real) {}
