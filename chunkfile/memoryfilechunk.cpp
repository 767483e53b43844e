#include "chunkfile/memoryfilechunk.h"

#include "chunkfile/chunkfileimage.h"
#include "chunkfile/chunkreading.h"

MemoryFileChunk::MemoryFileChunk(std::span<const uint8_t> children, uint32_t totalSize)
    : ParentChunk(nullptr, kFileChunkId) {
    StoreSize(totalSize);
    FileChunkReading reading(*this, children, nullptr);
    CreateChildren(children);
}
