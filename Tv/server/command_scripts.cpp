#include "Tv/server/command_scripts.h"

#include <cstring>

#include "Tv/console/console_hooks.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/server/message_queue.h"
#include "Tv/server/message_types.h"
#include "Tv/server/senders.h"

namespace {

uint32_t TextSize(const char* text) { return static_cast<uint32_t>(std::strlen(text) + 1); }

// The text of a queued name or line, terminated even when the buffer was not.
const char* TextOf(const MessageBuffer& buffer) {
    if (buffer.Size() == 0 || buffer.Data()[buffer.Size() - 1] != '\0') return "";
    return reinterpret_cast<const char*>(buffer.Data());
}

} // namespace

void TvRunCommandScript(const char* name) {
    ScriptQueue.Push(name, TextSize(name));
    ByteWriter message;
    message.I32(MSG_RUN_SCRIPT);
    message.Bytes(name, TextSize(name));
    TvBroadcast(message, true);
}

void TvRunQueuedScript() {
    TvPrintHandedOverLines();
    MessageBuffer name = ScriptQueue.Pop();
    if (!name) return;
    DataDirEnter(kDataDirScripts);
    TvBatchLoadFile(TextOf(name));
    DataDirRestore();
}
