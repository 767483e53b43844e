#include "Tv/server/message_recorder.h"

#include "Tv/server/message_buffer.h"
#include "Tv/server/server_driver.h"
#include "platform/threads.h"

namespace {

// Senders on the main thread and the server thread may record at once.
plat::CriticalSection recorderGuard;
MessageRecorder* recorder = nullptr;

} // namespace

void SetMessageRecorder(MessageRecorder* r) {
    plat::CriticalSectionLock hold(recorderGuard);
    recorder = r;
}

void RecordMessage(MessageDirection direction, const void* bytes, uint32_t size) {
    plat::CriticalSectionLock hold(recorderGuard);
    if (!recorder) return;
    recorder->Record(TvServerPassIndex(), direction, MessageTypeOf(bytes, size), static_cast<const uint8_t*>(bytes),
                     size);
}

void RecordClientDrop(const void* bytes, uint32_t size, const char* reason) {
    plat::CriticalSectionLock hold(recorderGuard);
    if (!recorder) return;
    recorder->Drop(TvServerPassIndex(), MessageTypeOf(bytes, size), static_cast<const uint8_t*>(bytes), size, reason);
}
