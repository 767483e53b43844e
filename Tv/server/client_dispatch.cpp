#include "Tv/server/client_dispatch.h"

#include "Tv/server/server_state.h"

DrainStep DispatchClientMessage(plat::DpId sender, const uint8_t* record, uint32_t size) {
    if (size < 4) return DropClientRecord(record, size, "shorter than a type");
    const ClientMessageRow* row = FindClientMessageRow(MessageTypeOf(record, size));
    if (!row) return DrainStep::Continue;
    if (const char* reason = CheckClientRecord(record, size)) return DropClientRecord(record, size, reason);
    if (!row->handler || (!row->anyPhase && !SimulationRunning)) return DrainStep::Continue;
    return row->handler(sender, record, size);
}
