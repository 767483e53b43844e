#pragma once
// The small chunks of the file level: QIFVERIN (format version) and QIFFNAME
// (a name string, for example the one whose digest identifies the file's
// objects).

#include <string>

#include "chunkfile/chunk.h"

// QIFVERIN: the header and a u32 version; always 16 bytes.
class FileVersionChunk final : public Chunk {
public:
    FileVersionChunk(ParentChunk* parent, uint32_t version);
    // Null (and the file marked malformed) when the data cannot hold the version.
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

    uint32_t Version() const { return version_; }

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    std::string Describe() const override;

private:
    uint32_t version_;
};

// QIFFNAME: the string, its zero byte and zero padding to a multiple of 4
// (one to four zero bytes). Reading stops at the first zero byte or at the
// end of the data.
class SourceNameChunk final : public Chunk {
public:
    SourceNameChunk(ParentChunk* parent, std::string name);
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);

    const std::string& Name() const { return name_; }

    uint32_t SizeChunk() override;
    void FillDataBlock(ByteWriter& out) override;
    std::string Describe() const override;

private:
    std::string name_;
};

// Registers the file-level chunk classes; called once at start-up (later
// calls do nothing).
void RegisterCoreChunkClasses();
