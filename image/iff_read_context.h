#pragma once
// Reading side of the IFF library: big-endian numbers taken from a stream
// within a budget of bytes. A read that would overrun the budget, or any
// stream status, sets the error flag and reads nothing; sub-contexts cover one
// chunk body each and pass their error flag to their parent when closed.

#include <cstdint>
#include <vector>

#include "image/iff_id.h"

class MediaStream;

class IffReadContext {
public:
    // A context over the rest of the stream; it fails at once when the stream
    // already reports a status.
    explicit IffReadContext(MediaStream& stream);
    // A sub-context over the next `size` bytes of the parent (whose budget
    // drops by that much; more than it holds is an error).
    IffReadContext(IffReadContext& parent, uint32_t size);
    // Skips what the context did not read and hands its error to the parent.
    void Close();

    bool Failed() const { return failed_; }
    void Fail() { failed_ = true; }
    uint32_t Remaining() const { return remaining_; }
    // Sub-contexts between this one and the stream's.
    uint32_t Depth() const { return depth_; }

    IffId Id();
    uint32_t U32();
    uint16_t U16();
    int16_t I16();
    uint8_t U8();
    // The next n bytes; false (nothing read) when they are not there.
    bool Bytes(void* destination, uint32_t n);
    // Every byte left in the context.
    std::vector<uint8_t> Rest();

private:
    bool Claim(uint32_t n);
    bool TakeChecked(void* destination, uint32_t n);

    MediaStream& stream_;
    IffReadContext* parent_ = nullptr;
    uint32_t remaining_ = 0;
    uint32_t depth_ = 0;
    bool failed_ = false;
};
