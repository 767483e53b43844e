#pragma once
// The messages of a headless run: the shots fired, the units that died and,
// when asked, the trace, one line `PASS DIR TYPE SIZE HEX` per message.

#include <cstdint>
#include <set>
#include <string>

#include "Tv/server/message_recorder.h"

class RunRecorder final : public MessageRecorder {
public:
    explicit RunRecorder(bool tracing) : tracing_(tracing) {}

    // Called on the sending thread; the server's recorder guard keeps calls apart.
    void Record(uint32_t pass, MessageDirection direction, int32_t type, const uint8_t* bytes, uint32_t size) override;

    int32_t Shots() const { return shots_; }
    // A unit dies once: its message 72, or the explosion (107) that follows its 61.
    int32_t Deaths() const { return static_cast<int32_t>(deadUnits_.size()); }
    const std::string& Trace() const { return trace_; }

private:
    void Count(int32_t type, const uint8_t* bytes, uint32_t size);

    const bool tracing_;
    std::string trace_;
    int32_t shots_ = 0;
    std::set<int32_t> deadUnits_;
};
