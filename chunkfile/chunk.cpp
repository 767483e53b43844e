#include "chunkfile/chunk.h"

#include <cstring>

#include "chunkfile/chunkreading.h"
#include "chunkfile/chunkregistry.h"
#include "chunkfile/unknownchunk.h"
#include "platform/files.h"

bool ChunkIdMatches(const char* id, std::string_view name) {
    for (size_t i = 0; i < 8; ++i) {
        const char c = i < name.size() ? name[i] : '\0';
        if (id[i] != c) return false;
        if (c == '\0') return true;
    }
    return true;
}

namespace {

// Serialises through `fill` into a block of exactly `size` bytes.
template <class Fill>
std::vector<uint8_t> BuildBlock(uint32_t size, Fill fill) {
    if (size == 0) return {};
    ByteWriter out;
    out.bytes().reserve(size);
    fill(out);
    if (out.size() != size) return {};
    return std::move(out.bytes());
}

} // namespace

Chunk::Chunk(ParentChunk* parent, std::string_view id) {
    std::memset(id_, 0, sizeof id_);
    id.copy(id_, 8);
    if (parent) parent->AppendChild(this);
}

Chunk::~Chunk() { Detach(); }

Chunk* Chunk::Root() {
    Chunk* c = this;
    while (c->parent_) c = c->parent_;
    return c;
}

void Chunk::Detach() {
    if (!parent_) return;
    (prev_ ? prev_->next_ : parent_->firstChild_) = next_;
    (next_ ? next_->prev_ : parent_->lastChild_) = prev_;
    ParentChunk* parent = parent_;
    parent_ = nullptr;
    next_ = prev_ = nullptr;
    parent->ChildDetached(*this);
}

bool Chunk::OutputChunk(plat::File& file) {
    const std::vector<uint8_t> block = MakeDataBlock();
    if (block.empty()) return size_ == 0;
    return file.Write(block.data(), static_cast<uint32_t>(block.size()));
}

std::vector<uint8_t> Chunk::MakeDataBlock() {
    return BuildBlock(SizeChunk(), [this](ByteWriter& out) { FillDataBlock(out); });
}

std::vector<uint8_t> Chunk::MakeDataBlockForProcess() {
    return BuildBlock(SizeForProcess(), [this](ByteWriter& out) { FillForProcess(out); });
}

void Chunk::WriteHeader(ByteWriter& out) const {
    out.Bytes(id_, 8);
    out.U32(size_);
}

ParentChunk::ParentChunk(ParentChunk* parent, std::string_view id) : Chunk(parent, id) {}

ParentChunk::~ParentChunk() {
    while (firstChild_) delete firstChild_;
}

void ParentChunk::AppendChild(Chunk* child) {
    child->parent_ = this;
    child->prev_ = lastChild_;
    (lastChild_ ? lastChild_->next_ : firstChild_) = child;
    lastChild_ = child;
}

Chunk* ParentChunk::FindChild(std::string_view id) const {
    for (Chunk* c = firstChild_; c; c = c->next_)
        if (c->HasId(id)) return c;
    return nullptr;
}

int32_t ParentChunk::CountChildren(std::string_view id) const {
    int32_t n = 0;
    for (Chunk* c = firstChild_; c; c = c->next_) n += c->HasId(id);
    return n;
}

void ParentChunk::ListChildren(std::string_view id, List<Chunk*>& out) const {
    out.Clear();
    for (Chunk* c = firstChild_; c; c = c->next_)
        if (c->HasId(id)) out.PushBack(c);
}

void ParentChunk::ListAllChildren(List<Chunk*>& out) const {
    out.Clear();
    for (Chunk* c = firstChild_; c; c = c->next_) out.PushBack(c);
}

Chunk* ParentChunk::CreateChild(const RawChunk& raw) {
    const ChunkFactory factory = ChunkRegistry::Global().Find(raw.Id().data(), Id());
    Chunk* child = factory ? factory(this, raw) : new UnknownChunk(this, raw);
    if (child) child->StoreSize(raw.size);
    return child;
}

bool ParentChunk::CreateChildren(std::span<const uint8_t> data) {
    ByteReader walk(data.data(), data.size());
    while (walk.remaining() > 0) {
        const Chunk* file = CurrentFileChunk();
        if (file && file->Error() != 0) return false;
        const uint8_t* at = walk.cursor();
        uint32_t size = 0;
        if (!walk.Skip(8) || !walk.U32(size) || size < kChunkHeaderSize || size - kChunkHeaderSize > walk.remaining()) {
            ReportMalformedChunk(at);
            return false;
        }
        walk.Skip(size - kChunkHeaderSize);
        CreateChild(RawChunk{at, size});
    }
    return true;
}

Chunk* ParentChunk::CreatePlain(ParentChunk* parent, const RawChunk& raw) {
    auto* chunk = new ParentChunk(parent, raw.Id());
    chunk->CreateChildren(raw.Data());
    return chunk;
}

uint32_t ParentChunk::SizeChunk() {
    uint32_t size = kChunkHeaderSize;
    for (Chunk* c = firstChild_; c; c = c->next_) size += c->SizeChunk();
    return StoreSize(size);
}

bool ParentChunk::OutputChunk(plat::File& file) {
    ByteWriter header;
    WriteHeader(header);
    if (!file.Write(header.bytes().data(), kChunkHeaderSize)) return false;
    for (Chunk* c = firstChild_; c; c = c->next_)
        if (!c->OutputChunk(file)) return false;
    return true;
}

void ParentChunk::FillDataBlock(ByteWriter& out) {
    WriteHeader(out);
    for (Chunk* c = firstChild_; c; c = c->next_) c->FillDataBlock(out);
}

uint32_t ParentChunk::SizeForProcess() {
    uint32_t size = kChunkHeaderSize;
    for (Chunk* c = firstChild_; c; c = c->next_) size += c->SizeForProcess();
    return StoreSize(size);
}

void ParentChunk::FillForProcess(ByteWriter& out) {
    WriteHeader(out);
    for (Chunk* c = firstChild_; c; c = c->next_) c->FillForProcess(out);
}

void ParentChunk::PrepareForOutput() {
    for (Chunk* c = firstChild_; c; c = c->next_) c->PrepareForOutput();
}

void ParentChunk::PostInputProcessing() {
    for (Chunk* c = firstChild_; c; c = c->next_) c->PostInputProcessing();
}
