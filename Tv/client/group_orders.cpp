#include "Tv/client/group_orders.h"

#include "Tv/client/client_objects.h"
#include "Tv/server/client_link.h"
#include "Tv/server/client_service_state.h"
#include "core/clock.h"

namespace {
constexpr int32_t kGroupOrder = 8;
constexpr int32_t kGroupOrderQueued = 33;
} // namespace

void TvSendGroupOrder(int32_t polygonIndex, int32_t targetId, bool queued, const std::vector<ClientObject*>& set) {
    std::vector<int32_t> ids;
    for (const ClientObject* object : set)
        if (!object->Controlled) ids.push_back(object->Id);
    if (ids.empty()) return;
    ByteWriter order;
    order.I32(queued || TvIsGamePaused() ? kGroupOrderQueued : kGroupOrder);
    order.F32(GameClock.GetSeconds());
    order.I32(polygonIndex);
    order.I32(targetId);
    order.I32(static_cast<int32_t>(ids.size()));
    for (int32_t id : ids) order.I32(id);
    TvSendToServer(order, false);
}
