#pragma once
// A thread-safe first-in first-out queue of heap-copied messages that keeps
// each message's size, so receivers can check it against the type's. Each
// queue is used by two threads (the server thread and the main thread); every
// operation takes the queue's lock exclusively. Ownership of a buffer passes
// with Push and Pop.

#include <cstdint>

#include "Tv/server/message_buffer.h"
#include "core/list.h"
#include "core/rwlock.h"

class MessageQueue {
public:
    MessageQueue() = default;
    ~MessageQueue() { Clear(); }
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // Appends a copy of `size` bytes.
    void Push(const void* data, uint32_t size);
    // The oldest message, or an empty buffer when there is none.
    MessageBuffer Pop();
    // Frees every message.
    void Clear();
    int32_t Count();

private:
    struct Entry {
        uint8_t* data;
        uint32_t size;
        bool operator==(const Entry&) const = default;
    };

    RwLock lock_;
    List<Entry> entries_;
};

// Server-to-client messages in single player: filled by every server sender,
// emptied by the client poll; cleared at server exit.
extern MessageQueue ServerToClientQueue;
// Client-to-server messages in single player: filled by the client's sends,
// emptied by the server thread's drain; cleared when the client detaches.
extern MessageQueue ClientToServerQueue;
// Names of command scripts (texts with their terminator) that the server asks
// the host's main thread to run, one per frame; cleared when the server stops.
extern MessageQueue ScriptQueue;
