#include "tests/tv/server_orders_fixture.h"

#include "Tv/server/client_dispatch.h"
#include "core/bytes.h"

DrainStep Dispatch(const ClientRecord& record, plat::DpId sender) { return Dispatch(record.Bytes(), sender); }

DrainStep Dispatch(const std::vector<uint8_t>& bytes, plat::DpId sender) {
    return DispatchClientMessage(sender, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

std::vector<uint8_t> FilledRecord(int32_t type, int32_t number, float real) {
    ClientRecord record(type);
    for (const char* at = record.Row() ? record.Row()->layout : ""; *at; ++at) switch (*at) {
        case 'i': record.I32(number); break;
        case 'f': record.F32(real); break;
        case 'p': record.Point({real, real, real}); break;
        case 'q': record.Quat({0, 0, 0, real}); break;
        case 's': record.Text("hello"); break;
        case 'n': record.Ids({}); break;
        default: break;
        }
    return record.Bytes();
}

std::vector<int32_t> ClientTypes() {
    std::vector<int32_t> types;
    for (int32_t type = kFirstClientMessageType; type <= kLastClientMessageType; ++type)
        if (FindClientMessageRow(type)) types.push_back(type);
    return types;
}

std::vector<uint8_t> RecordOf(const std::vector<int32_t>& fields) {
    ByteWriter out;
    for (int32_t field : fields) out.I32(field);
    return out.bytes();
}
