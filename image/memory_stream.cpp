#include "image/memory_stream.h"

#include <algorithm>
#include <cstring>

bool MemoryStream::HasBlock() {
    if (block_) return true;
    SetStatus(kUnsupported);
    return false;
}

uint32_t MemoryStream::BytesAfterTell() { return HasBlock() ? size_ - position_ : 0; }

const uint8_t* MemoryStream::GetReadBuffer(uint32_t& length, uint32_t wanted) {
    length = 0;
    if (!HasBlock()) return nullptr;
    length = std::min(wanted, size_ - position_);
    if (length == 0) SetStatus(kShortTransfer);
    return block_ + position_;
}

void MemoryStream::ReleaseReadBuffer(uint32_t consumed) {
    if (HasBlock()) position_ += std::min(consumed, size_ - position_);
}

void MemoryStream::Read(void* destination, uint32_t count) {
    if (!HasBlock()) return;
    uint32_t n = std::min(count, size_ - position_);
    std::memcpy(destination, block_ + position_, n);
    position_ += n;
    if (n < count) SetStatus(kShortTransfer);
}

uint32_t MemoryStream::Tell() { return HasBlock() ? position_ : 0; }

void MemoryStream::Seek(uint32_t position) {
    if (!HasBlock()) return;
    if (position > size_) {
        SetStatus(kUnsupported);
        return;
    }
    position_ = position;
}
