#pragma once
// The messages of a headless run: the shots fired and, when asked, the trace,
// one line `PASS DIR TYPE SIZE HEX` per message.

#include <cstdint>
#include <string>

#include "Tv/server/message_recorder.h"

class RunRecorder final : public MessageRecorder {
public:
    explicit RunRecorder(bool tracing) : tracing_(tracing) {}

    // Called on the sending thread; the server's recorder guard keeps calls apart.
    void Record(uint32_t pass, MessageDirection direction, int32_t type, const uint8_t* bytes, uint32_t size) override;

    int32_t Shots() const { return shots_; }
    const std::string& Trace() const { return trace_; }

private:
    const bool tracing_;
    std::string trace_;
    int32_t shots_ = 0;
};
