#include "chunkfile/chunkreading.h"

#include "chunkfile/chunk.h"
#include "chunkfile/chunkfileimage.h"

namespace {
// One per thread, so that files read on different threads never meet.
thread_local FileChunkReading* current = nullptr;
} // namespace

FileChunkReading::FileChunkReading(Chunk& file, std::span<const uint8_t> image, size_t* errorOffset)
    : file_(file), image_(image), errorOffset_(errorOffset), outer_(current) {
    current = this;
}

FileChunkReading::~FileChunkReading() { current = outer_; }

Chunk* CurrentFileChunk() { return current ? &current->file_ : nullptr; }

void ReportMalformedChunk(const uint8_t* at) {
    if (!current) return;
    if (current->file_.Error() == 0 && current->errorOffset_) {
        const uint8_t* base = current->image_.data();
        *current->errorOffset_ = at >= base && at <= base + current->image_.size() ? static_cast<size_t>(at - base) : 0;
    }
    current->file_.SetError(-2);
}

bool ReadChunkFile(ParentChunk& into, std::string_view path, size_t* errorOffset) {
    const ChunkFileImage read = ReadChunkFileImage(path);
    if (read.error != 0) {
        into.SetError(read.error);
        if (errorOffset) *errorOffset = read.errorOffset;
        return false;
    }
    into.StoreSize(static_cast<uint32_t>(read.image.size()));
    FileChunkReading reading(into, read.image, errorOffset);
    into.CreateChildren(std::span(read.image).subspan(kChunkHeaderSize));
    return true;
}
