#pragma once
// The messages of a headless run: the shots fired, the client's drop marks by
// reason and, when asked, the trace, one line `PASS DIR TYPE SIZE HEX` per
// message (DIR S>C or C>S, the client's sends as the server takes them) and
// one line `PASS DROP TYPE SIZE HEX REASON` per record the client dropped.

#include <cstdint>
#include <map>
#include <string>

#include "Tv/server/message_recorder.h"

class RunRecorder final : public MessageRecorder {
public:
    explicit RunRecorder(bool tracing) : tracing_(tracing) {}

    // Called on the sending thread; the server's recorder guard keeps calls
    // apart.
    void Record(uint32_t pass, MessageDirection direction, int32_t type, const uint8_t* bytes, uint32_t size) override;
    void Drop(uint32_t pass, int32_t type, const uint8_t* bytes, uint32_t size, const char* reason) override;

    int32_t Shots() const { return shots_; }
    const std::map<std::string, int32_t>& Drops() const { return drops_; }
    const std::string& Trace() const { return trace_; }

private:
    void TraceLine(uint32_t pass, const char* direction, int32_t type, const uint8_t* bytes, uint32_t size);

    const bool tracing_;
    std::string trace_;
    int32_t shots_ = 0;
    std::map<std::string, int32_t> drops_;
};
