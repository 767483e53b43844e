#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_order_access.h"
#include "Tv/server/client_order_handlers.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"

DrainStep HandleStop(plat::DpId sender, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const char* reason = nullptr;
    ServerUnit* unit = OrderedUnit(sender, in.I32(), reason);
    if (!unit) return DropClientRecord(record, size, reason);
    unit->StopMoving(in.F32());
    unit->ClearOrders();
    unit->ItemActionCancelled = 1;
    return DrainStep::Continue;
}

DrainStep HandleHeadFor(plat::DpId sender, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const char* reason = nullptr;
    ServerUnit* unit = OrderedUnit(sender, in.I32(), reason);
    if (!unit) return DropClientRecord(record, size, reason);
    const int32_t targetId = in.I32();
    const int32_t itemKey = in.I32();
    const float time = in.F32();
    const int32_t count = in.I32();
    if (count < -1) return DropClientRecord(record, size, "count below -1");
    if (in.Type() == MSG_QUEUE_HEAD_FOR) {
        unit->QueueGiveItem(itemKey, targetId, count);
        return DrainStep::Continue;
    }
    ServerObject* target = TvFindActor(targetId);
    CollisionPolygon* floor = target ? target->GetFloorPolygon() : nullptr;
    if (!floor) return DrainStep::Continue; // gone, or not on a floor: nothing to walk to
    unit->HeadFor(floor, time);
    unit->SetAiTarget(target); // handed over on arrival
    unit->TargetId = itemKey;
    unit->GiveCount = count;
    return DrainStep::Continue;
}

DrainStep HandleStandingOrder(plat::DpId sender, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const char* reason = nullptr;
    ServerUnit* unit = OrderedUnit(sender, in.I32(), reason);
    if (!unit) return DropClientRecord(record, size, reason);
    unit->SetStandingOrder(in.I32());
    return DrainStep::Continue;
}

DrainStep HandleUnitOrder(plat::DpId sender, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const char* reason = nullptr;
    ServerUnit* unit = OrderedUnit(sender, in.I32(), reason);
    if (!unit) return DropClientRecord(record, size, reason);
    switch (in.Type()) {
    case MSG_TOGGLE_STANCE:
        if (!unit->ItemActionActive) unit->ToggleCrouch();
        break;
    case MSG_QUEUE_TOGGLE_STANCE: unit->QueueCrouch(); break;
    case MSG_DROP_QUEUED_ORDERS: unit->DropQueuedOrders(); break;
    case MSG_RELEASE_HOLD: unit->PopHoldOrder(); break;
    default: break;
    }
    return DrainStep::Continue;
}

DrainStep HandleHoldOthers(plat::DpId sender, const uint8_t* record, uint32_t size) {
    ClientRecordReader in(record, size);
    const char* reason = nullptr;
    ServerUnit* unit = OrderedUnit(sender, in.I32(), reason);
    if (!unit) return DropClientRecord(record, size, reason);
    if (List<ServerObject*>* team = TeamActorListOf(unit->Team))
        for (ServerObject* other : *team)
            if (other != unit && other->IsUnit()) static_cast<ServerUnit*>(other)->PushHoldOrder();
    TvBroadcast(ActorMessage(MSG_ORDER_HOLD, unit->Id), false);
    return DrainStep::Continue;
}
