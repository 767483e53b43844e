#include "Tv/client/group_orders.h"

#include "Tv/client/client_unit.h"
#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_service_state.h"
#include "Tv/server/message_types.h"
#include "core/clock.h"

void TvSendGroupOrder(int32_t polygonIndex, int32_t targetId, bool queued, const std::vector<ClientObject*>& set) {
    queued = queued || TvIsGamePaused(); // a paused game queues every order
    std::vector<int32_t> ids;
    for (ClientObject* object : set) {
        if (object->Controlled) continue;
        ids.push_back(object->Id);
        if (ClientUnit* unit = AsClientUnit(object); unit && !queued) unit->ShownOrders.Clear();
    }
    if (ids.empty()) return;
    ClientRecord record(queued ? MSG_GROUP_ORDER_QUEUED : MSG_GROUP_ORDER);
    record.F32(GameClock.GetSeconds()).I32(polygonIndex).I32(targetId).Ids(ids);
    TvSendClientRecord(record);
}
