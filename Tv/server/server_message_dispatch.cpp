#include "Tv/server/server_message_dispatch.h"

#include "Tv/server/client_dispatch_session.h"
#include "Tv/server/message_recorder.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server_message_catalogue.h"
#include "core/bytes.h"
#include "core/log.h"

namespace {

void DropRecord(int32_t type, const uint8_t* record, size_t size, const char* reason) {
    LogPrintf("Client dropped message %d (%s, %zu bytes): %s", type, ServerMessageName(type), size, reason);
    RecordClientDrop(record, static_cast<uint32_t>(size), reason);
}

int32_t RecordType(const uint8_t* record, size_t size) {
    ByteReader in(record, size);
    return in.I32();
}

} // namespace

void TvHandleServerMessage(const uint8_t* record, size_t size) {
    if (size < 4) {
        DropRecord(-1, record, size, "record too short for a type");
        return;
    }
    const int32_t type = RecordType(record, size);
    const ServerMessageRow* row = FindServerMessageRow(type);
    if (!row || !row->handler) return;
    const char* reason = CheckRecordSize(*row, record, size);
    if (!reason) reason = row->handler(record, size);
    if (reason) DropRecord(type, record, size, reason);
}

bool TvApplySessionSettings(const uint8_t* record, size_t size) {
    const int32_t type = size < 4 ? -1 : RecordType(record, size);
    const ServerMessageRow* row = FindServerMessageRow(MSG_SETTINGS_AND_STATS);
    const char* reason = type != MSG_SETTINGS_AND_STATS ? "not a settings record" : CheckRecordSize(*row, record, size);
    if (reason) {
        DropRecord(type, record, size, reason);
        return false;
    }
    ApplySettingsAndStats(record, size);
    return true;
}
