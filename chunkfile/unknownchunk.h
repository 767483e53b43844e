#pragma once
// A chunk whose id no factory serves: its data bytes are kept as read and
// written back unchanged, so unknown chunks survive a read and a save.

#include "chunkfile/chunk.h"

class UnknownChunk final : public Chunk {
public:
    UnknownChunk(ParentChunk* parent, const RawChunk& raw);

    std::span<const uint8_t> Data() const { return data_; }

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    bool IsUnknown() const override { return true; }

private:
    std::vector<uint8_t> data_;
};
