#pragma once
// Little-endian byte reader and writer for every record that reaches a file or
// the network. Fields are read and written one by one at their stated sizes,
// whatever the in-memory layout. The reader never reads past its end: a read
// that does not fit fails, leaves the output zeroed and marks the reader bad,
// so a sequence of reads can be checked once at the end with ok().

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/endian.h"

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    explicit ByteReader(std::string_view bytes) : ByteReader(bytes.data(), bytes.size()) {}

    size_t size() const { return size_; }
    size_t pos() const { return pos_; }
    size_t remaining() const { return size_ - pos_; }
    bool ok() const { return ok_; }
    const uint8_t* data() const { return data_; }
    const uint8_t* cursor() const { return data_ + pos_; }

    // Moves to an absolute offset; fails past the end.
    bool Seek(size_t offset);
    bool Skip(size_t n);
    // True when n more bytes can be read.
    bool Has(size_t n) const { return ok_ && n <= remaining(); }

    bool U8(uint8_t& v);
    bool U16(uint16_t& v);
    bool U32(uint32_t& v);
    bool U64(uint64_t& v);
    bool I8(int8_t& v);
    bool I16(int16_t& v);
    bool I32(int32_t& v);
    bool I64(int64_t& v);
    bool F32(float& v);
    bool Bytes(void* out, size_t n);
    // A zero-terminated string of at most max bytes before the terminator
    // (the terminator is consumed); fails when none lies within reach.
    bool CString(std::string& out, size_t max = SIZE_MAX);

    // Value forms for reads whose failure is checked later through ok().
    uint8_t U8() { uint8_t v; U8(v); return v; }
    uint16_t U16() { uint16_t v; U16(v); return v; }
    uint32_t U32() { uint32_t v; U32(v); return v; }
    int16_t I16() { int16_t v; I16(v); return v; }
    int32_t I32() { int32_t v; I32(v); return v; }
    float F32() { float v; F32(v); return v; }

    // A sub-reader over the next n bytes, which are skipped here; a bad empty reader when they do not fit.
    ByteReader Sub(size_t n);

private:
    bool Take(void* out, size_t n);

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    bool ok_ = true;
};

class ByteWriter {
public:
    ByteWriter() = default;

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t>& bytes() { return bytes_; }
    size_t size() const { return bytes_.size(); }

    void U8(uint8_t v);
    void U16(uint16_t v);
    void U32(uint32_t v);
    void U64(uint64_t v);
    void I8(int8_t v) { U8(static_cast<uint8_t>(v)); }
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void I64(int64_t v) { U64(static_cast<uint64_t>(v)); }
    void F32(float v);
    void Bytes(const void* data, size_t n);
    void Zeros(size_t n);
    // Overwrites 4 bytes at an earlier offset (sizes patched after the body is written).
    void PatchU32(size_t offset, uint32_t v);

private:
    std::vector<uint8_t> bytes_;
};
