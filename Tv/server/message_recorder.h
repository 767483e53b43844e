#pragma once
// A recorder of game messages for tests and driven runs: once installed it
// gets every message once at each point it passes: server to client at each
// server sender, client to server as the client sends it (ClientSend, in the
// client's process) and as the server's drain takes it (ClientToServer), each
// with the index of the server pass it belongs to; and a drop mark for every
// record the client refuses, with the reason. Installed and removed while the
// server does not run.

#include <cstdint>

enum class MessageDirection : uint8_t { ServerToClient, ClientToServer, ClientSend };

class MessageRecorder {
public:
    virtual ~MessageRecorder() = default;
    // `type` is the message's first int32 (-1 when it is shorter).
    virtual void Record(uint32_t pass, MessageDirection direction, int32_t type, const uint8_t* bytes,
                        uint32_t size) = 0;
    // The client dropped this record (a server record it could not apply, or a
    // send it shed): `reason` is a short text.
    virtual void Drop(uint32_t /*pass*/, int32_t /*type*/, const uint8_t* /*bytes*/, uint32_t /*size*/,
                      const char* /*reason*/) {}
};

// Null removes the recorder.
void SetMessageRecorder(MessageRecorder* recorder);
// Hands a message to the installed recorder, if any.
void RecordMessage(MessageDirection direction, const void* bytes, uint32_t size);
// Marks a record the client dropped, with the reason.
void RecordClientDrop(const void* bytes, uint32_t size, const char* reason);
