#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_order_access.h"
#include "Tv/server/client_order_handlers.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_unit.h"

namespace {

const char* Stop(ServerUnit& unit, ClientRecordReader& in) {
    unit.StopMoving(in.F32());
    unit.ClearOrders();
    unit.ItemActionCancelled = 1;
    return nullptr;
}

const char* HeadFor(ServerUnit& unit, ClientRecordReader& in) {
    const int32_t targetId = in.I32();
    const int32_t itemKey = in.I32();
    const float time = in.F32();
    const int32_t count = in.I32();
    if (count < -1) return "count below -1";
    if (in.Type() == MSG_QUEUE_HEAD_FOR) {
        unit.QueueGiveItem(itemKey, targetId, count);
        return nullptr;
    }
    ServerObject* target = TvFindActor(targetId);
    CollisionPolygon* floor = target ? target->GetFloorPolygon() : nullptr;
    if (!floor) return nullptr; // gone, or not on a floor: nothing to walk to
    unit.HeadFor(floor, time);
    unit.SetAiTarget(target); // handed over on arrival
    unit.TargetId = itemKey;
    unit.GiveCount = count;
    return nullptr;
}

const char* StandingOrder(ServerUnit& unit, ClientRecordReader& in) {
    unit.SetStandingOrder(in.I32());
    return nullptr;
}

const char* StanceOrHoldOrder(ServerUnit& unit, ClientRecordReader& in) {
    switch (in.Type()) {
    case MSG_TOGGLE_STANCE:
        if (!unit.ItemActionActive) unit.ToggleCrouch();
        break;
    case MSG_QUEUE_TOGGLE_STANCE: unit.QueueCrouch(); break;
    case MSG_DROP_QUEUED_ORDERS: unit.DropQueuedOrders(); break;
    case MSG_RELEASE_HOLD: unit.PopHoldOrder(); break;
    default: break;
    }
    return nullptr;
}

const char* HoldOthers(ServerUnit& unit, ClientRecordReader&) {
    if (List<ServerObject*>* team = TeamActorListOf(unit.Team))
        for (ServerObject* other : *team)
            if (other != &unit && other->IsUnit()) static_cast<ServerUnit*>(other)->PushHoldOrder();
    TvBroadcast(ActorMessage(MSG_ORDER_HOLD, unit.Id), false);
    return nullptr;
}

} // namespace

DrainStep HandleStop(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunUnitOrder(sender, record, size, Stop);
}

DrainStep HandleHeadFor(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunUnitOrder(sender, record, size, HeadFor);
}

DrainStep HandleStandingOrder(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunUnitOrder(sender, record, size, StandingOrder);
}

DrainStep HandleUnitOrder(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunUnitOrder(sender, record, size, StanceOrHoldOrder);
}

DrainStep HandleHoldOthers(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunUnitOrder(sender, record, size, HoldOthers);
}
