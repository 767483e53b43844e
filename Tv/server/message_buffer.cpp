#include "Tv/server/message_buffer.h"

#include <cstring>

#include "core/bytes.h"
#include "core/mem.h"

MessageBuffer::MessageBuffer(const void* data, uint32_t size)
    : data_(static_cast<uint8_t*>(MemAlloc(size == 0 ? 1 : size))), size_(size) {
    if (size != 0) std::memcpy(data_, data, size);
}

MessageBuffer MessageBuffer::Adopt(uint8_t* data, uint32_t size) {
    MessageBuffer buffer;
    buffer.data_ = data;
    buffer.size_ = size;
    return buffer;
}

MessageBuffer::~MessageBuffer() { MemFree(data_); }

MessageBuffer& MessageBuffer::operator=(MessageBuffer&& other) noexcept {
    if (this != &other) {
        MemFree(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = other.size_;
    }
    return *this;
}

int32_t MessageTypeOf(const void* data, uint32_t size) {
    ByteReader reader(data, size);
    int32_t type;
    return reader.I32(type) ? type : -1;
}

uint8_t* MessageBuffer::Release() { return std::exchange(data_, nullptr); }
