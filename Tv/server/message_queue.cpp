#include "Tv/server/message_queue.h"

#include "core/mem.h"

MessageQueue ServerToClientQueue;
MessageQueue ClientToServerQueue;
MessageQueue ScriptQueue;

void MessageQueue::Push(const void* data, uint32_t size) {
    MessageBuffer copy(data, size);
    lock_.Lock(true);
    entries_.PushBack({copy.Release(), size});
    lock_.Unlock(true);
}

MessageBuffer MessageQueue::Pop() {
    lock_.Lock(true);
    MessageBuffer message;
    if (!entries_.IsEmpty()) {
        const Entry entry = entries_.Front();
        entries_.PopFront();
        message = MessageBuffer::Adopt(entry.data, entry.size);
    }
    lock_.Unlock(true);
    return message;
}

void MessageQueue::Clear() {
    lock_.Lock(true);
    for (const Entry& entry : entries_) MemFree(entry.data);
    entries_.Clear();
    lock_.Unlock(true);
}

int32_t MessageQueue::Count() {
    lock_.Lock(true);
    const int32_t count = entries_.Count();
    lock_.Unlock(true);
    return count;
}
