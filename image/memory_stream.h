#pragma once
// A read-only stream over a caller's memory block, which it never frees.

#include "image/media_stream.h"

class MemoryStream final : public MediaStream {
public:
    // Without a block every operation answers kUnsupported.
    MemoryStream(const void* block, uint32_t size) : block_(static_cast<const uint8_t*>(block)), size_(size) {}

    uint32_t BytesAfterTell() override;
    const uint8_t* GetReadBuffer(uint32_t& length, uint32_t wanted) override;
    void ReleaseReadBuffer(uint32_t consumed) override;
    void Read(void* destination, uint32_t count) override;
    uint32_t Tell() override;
    void Seek(uint32_t position) override;

private:
    bool HasBlock();

    const uint8_t* block_;
    uint32_t size_;
    uint32_t position_ = 0;
};
