#include "core/bytes.h"

#include <cstring>

bool ByteReader::Take(void* out, size_t n) {
    if (!Has(n)) {
        ok_ = false;
        std::memset(out, 0, n);
        return false;
    }
    if (n) std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
}

bool ByteReader::Seek(size_t offset) {
    if (!ok_ || offset > size_) return ok_ = false;
    pos_ = offset;
    return true;
}

bool ByteReader::Skip(size_t n) {
    if (!Has(n)) return ok_ = false;
    pos_ += n;
    return true;
}

bool ByteReader::U8(uint8_t& v) { return Take(&v, 1); }

bool ByteReader::U16(uint16_t& v) {
    uint8_t b[2];
    bool r = Take(b, 2);
    v = LoadU16LE(b);
    return r;
}

bool ByteReader::U32(uint32_t& v) {
    uint8_t b[4];
    bool r = Take(b, 4);
    v = LoadU32LE(b);
    return r;
}

bool ByteReader::U64(uint64_t& v) {
    uint8_t b[8];
    bool r = Take(b, 8);
    v = static_cast<uint64_t>(LoadU32LE(b)) | static_cast<uint64_t>(LoadU32LE(b + 4)) << 32;
    return r;
}

bool ByteReader::I8(int8_t& v) { return Take(&v, 1); }

bool ByteReader::I16(int16_t& v) {
    uint16_t u;
    bool r = U16(u);
    v = static_cast<int16_t>(u);
    return r;
}

bool ByteReader::I32(int32_t& v) {
    uint32_t u;
    bool r = U32(u);
    v = static_cast<int32_t>(u);
    return r;
}

bool ByteReader::I64(int64_t& v) {
    uint64_t u;
    bool r = U64(u);
    v = static_cast<int64_t>(u);
    return r;
}

bool ByteReader::F32(float& v) {
    uint32_t u;
    bool r = U32(u);
    std::memcpy(&v, &u, 4);
    return r;
}

bool ByteReader::Bytes(void* out, size_t n) { return Take(out, n); }

bool ByteReader::CString(std::string& out, size_t max) {
    out.clear();
    if (!ok_) return false;
    size_t reach = remaining();
    if (max != SIZE_MAX && max + 1 < reach) reach = max + 1;
    const void* nul = std::memchr(data_ + pos_, 0, reach);
    if (!nul) return ok_ = false;
    size_t len = static_cast<const uint8_t*>(nul) - (data_ + pos_);
    out.assign(reinterpret_cast<const char*>(data_ + pos_), len);
    pos_ += len + 1;
    return true;
}

ByteReader ByteReader::Sub(size_t n) {
    if (!Has(n)) {
        ok_ = false;
        ByteReader bad;
        bad.ok_ = false;
        return bad;
    }
    ByteReader sub(data_ + pos_, n);
    pos_ += n;
    return sub;
}

void ByteWriter::U8(uint8_t v) { bytes_.push_back(v); }

void ByteWriter::U16(uint16_t v) {
    uint8_t b[2];
    StoreU16LE(b, v);
    Bytes(b, 2);
}

void ByteWriter::U32(uint32_t v) {
    uint8_t b[4];
    StoreU32LE(b, v);
    Bytes(b, 4);
}

void ByteWriter::U64(uint64_t v) {
    U32(static_cast<uint32_t>(v));
    U32(static_cast<uint32_t>(v >> 32));
}

void ByteWriter::F32(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    U32(u);
}

void ByteWriter::Bytes(const void* data, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + n);
}

void ByteWriter::Zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }

void ByteWriter::PatchU32(size_t offset, uint32_t v) {
    if (offset + 4 <= bytes_.size()) StoreU32LE(bytes_.data() + offset, v);
}
