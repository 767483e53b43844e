#pragma once
// Fixture helpers for the shape, object, environment and light families:
// field bytes, and reading an image the way a file is read (post-input
// processing included) or as a bare tree.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "chunkfile/chunkfields.h"
#include "chunkfile/filechunk.h"
#include "chunkfile/memoryfilechunk.h"
#include "chunkfile/register_all.h"
#include "tests/chunkfile/chunk_bytes.h"
#include "tests/support/temp_dir.h"

inline std::string I32s(std::initializer_list<int32_t> values) {
    ByteWriter out;
    for (int32_t v : values) out.I32(v);
    return AsString(out.bytes());
}

inline std::string F32s(std::initializer_list<float> values) {
    ByteWriter out;
    for (float v : values) out.F32(v);
    return AsString(out.bytes());
}

// A padded string field.
inline std::string Padded(std::string_view text) {
    ByteWriter out;
    WritePaddedString(out, text);
    return AsString(out.bytes());
}

// A fixed-width name field.
inline std::string Fixed(std::string_view name, size_t width) {
    ByteWriter out;
    WriteFixedName(out, name, width);
    return AsString(out.bytes());
}

// Zero-terminated names back to back, padded to a multiple of 4.
inline std::string Names(std::initializer_list<std::string> names) {
    std::string out;
    for (const std::string& n : names) out += n + '\0';
    out.resize((out.size() + 3) & ~size_t{3}, '\0');
    return out;
}

// SHPHEAD1: flags 0, user name "user", 3 points, 1 polygon, stored radius
// 2.5, corners (1, 3, 5) and (2, 4, 6).
inline std::string ShapeHeader(int32_t number, std::initializer_list<std::string> objects = {}, int32_t revision = 0) {
    return Leaf("SHPHEAD1", U32Bytes(0) + Fixed("user", 16) + I32s({number, 3, 1}) + F32s({2.5f}) +
                                I32s({1, 2, 3, 4, 5, 6, revision}) + U32Bytes(static_cast<uint32_t>(objects.size())) +
                                Names(objects));
}

// OBJHEAD1 at position (10, 20, 30) with the identity rotation.
inline std::string ObjectHeader(const std::string& name, int32_t shapeNumber, int32_t objectNumber = 0,
                                uint32_t flags = 0, int32_t revision = 0) {
    return Leaf("OBJHEAD1", U32Bytes(flags) + Fixed("", 16) + I32s({10, 20, 30}) + F32s({0, 0, 0, 1}) +
                                I32s({objectNumber, revision, shapeNumber}) + Padded(name));
}

inline std::string BytesOf(Chunk& chunk) { return AsString(chunk.MakeDataBlock()); }

// Every test of these families runs with all chunk classes registered.
class ChunkFamilies : public testing::Test {
protected:
    void SetUp() override { RegisterAllChunkClasses(); }

    // Reads a plain file image through a file, as the program does.
    std::unique_ptr<FileChunk> Open(const std::string& image, const std::string& name = "file.qif") {
        return FileChunk::Open(dir_.Write(name, image));
    }
    // Reads a plain file image as a bare tree (no post-input processing).
    static std::unique_ptr<MemoryFileChunk> ReadTree(const std::string& image) {
        const std::vector<uint8_t> bytes = AsBytes(image);
        return std::make_unique<MemoryFileChunk>(std::span(bytes).subspan(12), static_cast<uint32_t>(bytes.size()));
    }

    TempDir dir_;
};
