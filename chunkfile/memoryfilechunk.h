#pragma once
// A QORINFF2 tree read from a chunk image already in memory, with plain
// parent behaviour (no post-input processing). Its error is -2 when a chunk
// of the image does not fit its parent.

#include "chunkfile/chunk.h"

class MemoryFileChunk final : public ParentChunk {
public:
    // `children`: the image after its 12-byte header; `totalSize`: the
    // image's size, header included.
    MemoryFileChunk(std::span<const uint8_t> children, uint32_t totalSize);
};
