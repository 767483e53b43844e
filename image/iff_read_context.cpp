#include "image/iff_read_context.h"

#include "image/media_stream.h"

IffReadContext::IffReadContext(MediaStream& stream) : stream_(stream) {
    failed_ = stream.Status() != 0;
    if (!failed_) remaining_ = stream.BytesRemaining();
    failed_ = stream.Status() != 0;
}

IffReadContext::IffReadContext(IffReadContext& parent, uint32_t size) : stream_(parent.stream_), parent_(&parent), depth_(parent.depth_ + 1) {
    if (parent.failed_ || !parent.Claim(size)) {
        failed_ = true;
        return;
    }
    remaining_ = size;
}

void IffReadContext::Close() {
    if (!failed_ && remaining_ > 0 && !stream_.Skip(remaining_)) failed_ = true;
    remaining_ = 0;
    if (parent_ && failed_) parent_->failed_ = true;
}

bool IffReadContext::Claim(uint32_t n) {
    if (failed_ || n > remaining_) {
        failed_ = true;
        return false;
    }
    remaining_ -= n;
    return true;
}

bool IffReadContext::TakeChecked(void* destination, uint32_t n) {
    if (!Claim(n)) return false;
    if (!stream_.Take(destination, n) || stream_.Status() != 0) {
        failed_ = true;
        return false;
    }
    return true;
}

bool IffReadContext::Bytes(void* destination, uint32_t n) { return TakeChecked(destination, n); }

IffId IffReadContext::Id() { return U32(); }

uint32_t IffReadContext::U32() {
    uint8_t b[4] = {};
    TakeChecked(b, 4);
    return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 | static_cast<uint32_t>(b[2]) << 8 | b[3];
}

uint16_t IffReadContext::U16() {
    uint8_t b[2] = {};
    TakeChecked(b, 2);
    return static_cast<uint16_t>(b[0] << 8 | b[1]);
}

int16_t IffReadContext::I16() { return static_cast<int16_t>(U16()); }

uint8_t IffReadContext::U8() {
    uint8_t b = 0;
    TakeChecked(&b, 1);
    return b;
}

std::vector<uint8_t> IffReadContext::Rest() {
    std::vector<uint8_t> bytes(failed_ ? 0 : remaining_);
    if (!bytes.empty() && !TakeChecked(bytes.data(), static_cast<uint32_t>(bytes.size()))) bytes.clear();
    return bytes;
}
