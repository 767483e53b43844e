#pragma once
// Builders of chunk bytes for fixtures: a chunk is its id padded to 8 bytes,
// its little-endian total size and its data; a parent's data is its children.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "core/bytes.h"

inline std::string U32Bytes(uint32_t v) {
    uint8_t b[4];
    StoreU32LE(b, v);
    return std::string(reinterpret_cast<const char*>(b), 4);
}

// A chunk whose size field is `size` whatever its data (to build bad headers).
inline std::string ChunkWithSize(const std::string& id, uint32_t size, const std::string& data) {
    std::string out = id.substr(0, 8);
    out.resize(8, '\0');
    return out + U32Bytes(size) + data;
}

inline std::string Leaf(const std::string& id, const std::string& data = {}) {
    return ChunkWithSize(id, static_cast<uint32_t>(12 + data.size()), data);
}

inline std::string Parent(const std::string& id, std::initializer_list<std::string> children) {
    std::string data;
    for (const std::string& c : children) data += c;
    return Leaf(id, data);
}

inline std::string PlainFile(std::initializer_list<std::string> children) { return Parent("QORINFF2", children); }

inline std::vector<uint8_t> AsBytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

inline std::string AsString(std::span<const uint8_t> b) { return std::string(b.begin(), b.end()); }
