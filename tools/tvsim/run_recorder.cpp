#include "tools/tvsim/run_recorder.h"

#include <cstdio>

#include "Tv/server/message_types.h"
#include "Tv/sim/actor_messages.h"
#include "Tv/sim/actor_registry.h"
#include "Tv/sim/server_object.h"
#include "core/bytes.h"

namespace {

constexpr int32_t kMsgUnitDied = 72; // a unit without a destruction record

// The actor id that follows the type, or -1.
int32_t ActorIdOf(const uint8_t* bytes, uint32_t size) {
    ByteReader reader(bytes, size);
    int32_t id = -1;
    return reader.Skip(4) && reader.I32(id) ? id : -1;
}

} // namespace

void RunRecorder::Record(uint32_t pass, MessageDirection direction, int32_t type, const uint8_t* bytes, uint32_t size) {
    if (direction == MessageDirection::ServerToClient) Count(type, bytes, size);
    if (!tracing_) return;
    char head[64];
    std::snprintf(head, sizeof head, "%u %s %d %u ", pass,
                  direction == MessageDirection::ServerToClient ? "S>C" : "C>S", type, size);
    trace_ += head;
    static constexpr char kDigits[] = "0123456789abcdef";
    for (uint32_t i = 0; i < size; ++i) {
        trace_ += kDigits[bytes[i] >> 4];
        trace_ += kDigits[bytes[i] & 15];
    }
    trace_ += '\n';
}

void RunRecorder::Count(int32_t type, const uint8_t* bytes, uint32_t size) {
    if (type == MSG_PROJECTILE_FIRED) ++shots_;
    if (type == kMsgUnitDied) {
        if (const int32_t id = ActorIdOf(bytes, size); id >= 0) deadUnits_.insert(id);
    } else if (type == kMsgActorExploded) {
        // Sent on the server thread while the exploding actor is still registered.
        const int32_t id = ActorIdOf(bytes, size);
        const ServerObject* actor = TvFindActor(id);
        if (actor && actor->IsUnit()) deadUnits_.insert(id);
    }
}
