#pragma once
// A recorder of game messages for tests and driven runs: once installed it
// gets every message once, server to client at each server sender and client
// to server as the server's drain takes it, with the index of the server pass
// it belongs to. Installed and removed while the server does not run.

#include <cstdint>

enum class MessageDirection : uint8_t { ServerToClient, ClientToServer };

class MessageRecorder {
public:
    virtual ~MessageRecorder() = default;
    // `type` is the message's first int32 (-1 when it is shorter).
    virtual void Record(uint32_t pass, MessageDirection direction, int32_t type, const uint8_t* bytes,
                        uint32_t size) = 0;
};

// Null removes the recorder.
void SetMessageRecorder(MessageRecorder* recorder);
// Hands a message to the installed recorder, if any.
void RecordMessage(MessageDirection direction, const void* bytes, uint32_t size);
