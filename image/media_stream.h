#pragma once
// The byte stream of the image readers and the IFF library (read-only: no
// part of the program writes images).
//
// Variants supply the transfer operations; readers take bytes through a
// borrowed read buffer (Take, TakeByte, PutBack), which the stream refills in
// pieces of its granule. Operations never fail loudly: they set status bits,
// which are never cleared, and answer zero lengths or null buffers. The texture
// loader turns the status into an error code after each step of a load.

#include <cstdint>

#include "core/refcounted.h"

class MediaStream : public RefCounted {
public:
    // Status bits.
    static constexpr uint32_t kEndOfData = 0x1;     // bytes taken beyond the end, or a window's limit reached
    static constexpr uint32_t kShortTransfer = 0x2; // fewer bytes read than asked
    static constexpr uint32_t kUnsupported = 0x10; // operation not offered, no handle, or a failed seek
    static constexpr uint32_t kOsFailure = 0x20;   // the system reported a read failure

    static constexpr uint32_t kGranule = 1024;

    uint32_t Status() const { return status_; }
    void SetStatus(uint32_t bits) { status_ |= bits; }

    // Bytes left to read after the logical position; 0xFFFFFFFF when unknown.
    uint32_t BytesRemaining();

    // Variant operations; the base answers kUnsupported and an empty result.
    // Bytes after Tell(); 0xFFFFFFFF when unknown.
    virtual uint32_t BytesAfterTell();
    // Up to `wanted` bytes read ahead; `length` receives how many are there.
    virtual const uint8_t* GetReadBuffer(uint32_t& length, uint32_t wanted);
    // Hands back the read buffer with `consumed` bytes used; the rest is read again later.
    virtual void ReleaseReadBuffer(uint32_t consumed);
    virtual void Read(void* destination, uint32_t count);
    virtual uint32_t Tell() = 0;
    virtual void Seek(uint32_t position) = 0;

    // Buffered reading shared by every reader. Take copies n bytes (false and
    // kEndOfData when they are not there); TakeByte answers -1 at the end;
    // PutBack returns the last n bytes taken from the current buffer, or seeks
    // back when the buffer no longer holds them.
    bool Take(void* destination, uint32_t n);
    int TakeByte();
    bool Skip(uint32_t n);
    void PutBack(uint32_t n);
    // Hands any held buffer back so that Tell is the logical position.
    void Flush();
    // The logical position: Tell() plus what was taken from a held buffer.
    uint32_t Position();

private:
    bool Refill(uint32_t wanted);

    uint32_t status_ = 0;
    const uint8_t* readBuffer_ = nullptr;
    uint32_t readPos_ = 0;
    uint32_t readLength_ = 0;
    uint32_t highWater_ = 0;
};
