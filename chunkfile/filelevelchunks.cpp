#include "chunkfile/filelevelchunks.h"

#include <mutex>

#include "chunkfile/chunkreading.h"
#include "chunkfile/chunkregistry.h"

FileVersionChunk::FileVersionChunk(ParentChunk* parent, uint32_t version)
    : Chunk(parent, "QIFVERIN"), version_(version) {}

Chunk* FileVersionChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    ByteReader data = raw.Reader();
    uint32_t version = 0;
    if (!data.U32(version)) {
        ReportMalformedChunk(raw.bytes);
        return nullptr;
    }
    return new FileVersionChunk(parent, version);
}

uint32_t FileVersionChunk::SizeChunk() { return StoreSize(kChunkHeaderSize + 4); }

void FileVersionChunk::FillDataBlock(ByteWriter& out) {
    WriteHeader(out);
    out.U32(version_);
}

std::string FileVersionChunk::Describe() const { return "version " + std::to_string(version_); }

SourceNameChunk::SourceNameChunk(ParentChunk* parent, std::string name)
    : Chunk(parent, "QIFFNAME"), name_(std::move(name)) {}

Chunk* SourceNameChunk::Create(ParentChunk* parent, const RawChunk& raw) {
    const std::span<const uint8_t> data = raw.Data();
    size_t n = 0;
    while (n < data.size() && data[n] != 0) ++n;
    return new SourceNameChunk(parent, std::string(reinterpret_cast<const char*>(data.data()), n));
}

uint32_t SourceNameChunk::SizeChunk() {
    const auto n = static_cast<uint32_t>(name_.size());
    return StoreSize(kChunkHeaderSize + n + 4 - n % 4);
}

void SourceNameChunk::FillDataBlock(ByteWriter& out) {
    WriteHeader(out);
    out.Bytes(name_.data(), name_.size());
    out.Zeros(4 - name_.size() % 4);
}

std::string SourceNameChunk::Describe() const { return "name \"" + name_ + "\""; }

void RegisterCoreChunkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        ChunkRegistry& registry = ChunkRegistry::Global();
        registry.Register("QIFVERIN", {}, FileVersionChunk::Create);
        registry.Register("QIFFNAME", {}, SourceNameChunk::Create);
    });
}
