#include "Tv/server/client_message_catalogue.h"
#include "Tv/server/client_order_access.h"
#include "Tv/server/client_order_handlers.h"
#include "Tv/server/message_types.h"
#include "Tv/sim/server_unit.h"

namespace {

constexpr int32_t kLastMountSlot = 12;

const char* EquipItem(ServerUnit& unit, ClientRecordReader& in) {
    const int32_t itemKey = in.I32();
    const int32_t slot = in.I32();
    if (slot < 0 || slot > kLastMountSlot) return "mount slot out of range";
    if (in.Type() == MSG_EQUIP_ITEM)
        unit.EquipItem(slot, itemKey, true);
    else
        unit.QueueEquipItem(slot, itemKey);
    return nullptr;
}

const char* ItemOrder(ServerUnit& unit, ClientRecordReader& in) {
    const int32_t itemKey = in.I32();
    switch (in.Type()) {
    case MSG_USE_ITEM: unit.UseItem(itemKey, true); break;
    case MSG_QUEUE_USE_ITEM: unit.QueueUseItem(itemKey); break;
    case MSG_DROP_ITEM: unit.DropItem(itemKey); break;
    case MSG_QUEUE_DROP_ITEM: unit.QueueDropItem(itemKey); break;
    case MSG_REMOVE_ITEM: unit.RemoveItemByKey(itemKey); break;
    case MSG_QUEUE_REMOVE_ITEM: unit.QueueRemoveItem(itemKey); break;
    default: break;
    }
    return nullptr;
}

} // namespace

DrainStep HandleEquipItem(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunUnitOrder(sender, record, size, EquipItem);
}

DrainStep HandleItemOrder(plat::DpId sender, const uint8_t* record, uint32_t size) {
    return RunUnitOrder(sender, record, size, ItemOrder);
}
