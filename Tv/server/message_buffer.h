#pragma once
// One game message as a heap buffer with its size. A message is a
// little-endian record whose first int32 is its type (0 to 203), followed by
// the type's fixed payload; its size is the size of the buffer that carries it.

#include <cstdint>
#include <utility>

// The type field of a message, or -1 when the message is shorter than it.
int32_t MessageTypeOf(const void* data, uint32_t size);

class MessageBuffer {
public:
    MessageBuffer() = default;
    // A copy of `size` bytes.
    MessageBuffer(const void* data, uint32_t size);
    // Takes over a MemAlloc block of `size` bytes.
    static MessageBuffer Adopt(uint8_t* data, uint32_t size);
    ~MessageBuffer();
    MessageBuffer(MessageBuffer&& other) noexcept : data_(std::exchange(other.data_, nullptr)), size_(other.size_) {}
    MessageBuffer& operator=(MessageBuffer&& other) noexcept;
    MessageBuffer(const MessageBuffer&) = delete;
    MessageBuffer& operator=(const MessageBuffer&) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    const uint8_t* Data() const { return data_; }
    uint32_t Size() const { return size_; }
    int32_t Type() const { return MessageTypeOf(data_, size_); }
    // Gives the block up to the caller (free it with MemFree).
    uint8_t* Release();

private:
    uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
};
