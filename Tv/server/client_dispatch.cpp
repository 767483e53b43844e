#include "Tv/server/client_dispatch.h"

#include <array>

#include "Tv/server/handshake_messages.h"
#include "Tv/server/message_types.h"
#include "Tv/server/server_state.h"
#include "core/bytes.h"
#include "core/log.h"

namespace {

constexpr int32_t kLastClientType = 61;
constexpr uint32_t kGroupOrderHeader = 20; // then 4 bytes per unit id
constexpr uint32_t kGroupOrderCountOffset = 16;

// The size each client-to-server type travels with; 0: not a type clients send.
constexpr std::array<uint32_t, kLastClientType + 1> kClientSizes = [] {
    std::array<uint32_t, kLastClientType + 1> sizes{};
    const std::pair<int32_t, uint32_t> catalogue[] = {
        {4, 8},
        {6, 4},
        {7, 4},
        {8, kGroupOrderHeader},
        {9, 12},
        {10, 24},
        {11, 16},
        {12, 24},
        {13, 16},
        {14, 16},
        {15, 16},
        {16, 16},
        {17, 12},
        {18, 12},
        {19, 12},
        {20, 12},
        {21, 12},
        {22, 12},
        {23, 24},
        {24, 24},
        {25, 12},
        {26, 12},
        {27, 12},
        {28, 8},
        {29, 24},
        {30, 16},
        {31, 24},
        {32, 16},
        {33, kGroupOrderHeader},
        {34, 8},
        {35, 8},
        {36, 8},
        {37, 8},
        {38, 8},
        {39, 16},
        {40, 259},
        {41, 16},
        {42, 16},
        {43, 24},
        {44, 8},
        {45, 8},
        {46, 8},
        {47, 12},
        {48, 12},
        {49, 8},
        {50, 8},
        {51, 8},
        {52, 4},
        {53, 4},
        {54, 8},
        {59, 56},
        {61, 56},
    };
    for (const auto& [type, size] : catalogue) sizes[type] = size;
    return sizes;
}();

struct HandlerEntry {
    ClientMessageHandler handler = nullptr;
    bool anyPhase = false;
};

std::array<HandlerEntry, kLastClientType + 1> handlers = [] {
    std::array<HandlerEntry, kLastClientType + 1> table{};
    table[MSG_SPEED_ACK] = {&HandleSpeedAcknowledgement, false};
    table[MSG_READY] = {&HandleReady, true};
    table[MSG_WAITING_FOR_GO] = {&HandleWaitingForGo, false};
    table[MSG_SETTINGS_REQUEST] = {&HandleSettingsRequest, true};
    return table;
}();

bool IsClientType(int32_t type) { return type >= 0 && type <= kLastClientType && kClientSizes[type] != 0; }

bool IsGroupOrder(int32_t type) { return type == 8 || type == 33; }

} // namespace

bool SetClientMessageHandler(int32_t type, ClientMessageHandler handler, bool anyPhase) {
    if (!IsClientType(type)) return false;
    handlers[type] = {handler, anyPhase};
    return true;
}

bool ClientMessageSizeFits(const uint8_t* bytes, uint32_t size) {
    const int32_t type = MessageTypeOf(bytes, size);
    if (!IsClientType(type)) return false;
    if (!IsGroupOrder(type)) return size == kClientSizes[type];
    ByteReader reader(bytes, size);
    int32_t count;
    if (!reader.Seek(kGroupOrderCountOffset) || !reader.I32(count) || count < 0) return false;
    return size == kGroupOrderHeader + 4 * static_cast<uint64_t>(count);
}

DrainStep DispatchClientMessage(plat::DpId sender, const MessageBuffer& message) {
    const int32_t type = message.Type();
    if (!IsClientType(type)) return DrainStep::Continue;
    if (!ClientMessageSizeFits(message.Data(), message.Size())) {
        LogPrintf("Server: client message %d of %u bytes dropped", type, message.Size());
        return DrainStep::Continue;
    }
    const HandlerEntry& entry = handlers[type];
    if (!entry.handler || (!entry.anyPhase && !SimulationRunning)) return DrainStep::Continue;
    return entry.handler(sender, message.Data(), message.Size());
}
