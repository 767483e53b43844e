#include "chunkfile/unknownchunk.h"

UnknownChunk::UnknownChunk(ParentChunk* parent, const RawChunk& raw)
    : Chunk(parent, raw.Id()), data_(raw.Data().begin(), raw.Data().end()) {}

uint32_t UnknownChunk::SizeChunk() { return StoreSize(kChunkHeaderSize + static_cast<uint32_t>(data_.size())); }

void UnknownChunk::FillDataBlock(ByteWriter& out) {
    WriteHeader(out);
    out.Bytes(data_.data(), data_.size());
}
