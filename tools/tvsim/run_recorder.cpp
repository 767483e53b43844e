#include "tools/tvsim/run_recorder.h"

#include <cstdio>

#include "Tv/server/message_types.h"

void RunRecorder::Record(uint32_t pass, MessageDirection direction, int32_t type, const uint8_t* bytes, uint32_t size) {
    if (direction == MessageDirection::ServerToClient && type == MSG_PROJECTILE_FIRED) ++shots_;
    // In a single-player run the server's drain records every client send again.
    if (!tracing_ || direction == MessageDirection::ClientSend) return;
    TraceLine(pass, direction == MessageDirection::ServerToClient ? "S>C" : "C>S", type, bytes, size);
    trace_ += '\n';
}

void RunRecorder::Drop(uint32_t pass, int32_t type, const uint8_t* bytes, uint32_t size, const char* reason) {
    ++drops_[reason];
    if (!tracing_) return;
    TraceLine(pass, "DROP", type, bytes, size);
    trace_ += ' ';
    trace_ += reason;
    trace_ += '\n';
}

void RunRecorder::TraceLine(uint32_t pass, const char* direction, int32_t type, const uint8_t* bytes, uint32_t size) {
    char head[64];
    std::snprintf(head, sizeof head, "%u %s %d %u ", pass, direction, type, size);
    trace_ += head;
    static constexpr char kDigits[] = "0123456789abcdef";
    for (uint32_t i = 0; i < size; ++i) {
        trace_ += kDigits[bytes[i] >> 4];
        trace_ += kDigits[bytes[i] & 15];
    }
}
