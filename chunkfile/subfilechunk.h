#pragma once
// SUBQIFFL: in memory, a parent whose children are the top-level chunks of
// another chunk file. It is never written (its size is 0 and its output
// writes nothing) except by the second serialisation, which includes the
// referenced file's chunks; it has no factory and never comes from a file.

#include <string_view>

#include "chunkfile/chunk.h"

class SubFileChunk final : public ParentChunk {
public:
    // Reads the named file's top-level chunks as children, then runs the
    // post-input processing. Error() tells the outcome as for FileChunk::Open.
    SubFileChunk(ParentChunk* parent, std::string_view path);

    // The first QORENVDT child, or null.
    Chunk* FindEnvironment() const { return FindChild("QORENVDT"); }

    uint32_t SizeChunk() override { return StoreSize(0); }
    bool OutputChunk(plat::File&) override { return true; }
    void FillDataBlock(ByteWriter&) override {}
    // Links the objects to their shapes (of two shapes with one number, the
    // first), then runs every child's processing.
    void PostInputProcessing() override;
};
