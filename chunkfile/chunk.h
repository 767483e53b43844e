#pragma once
// The chunk tree of model, level and cutscene files.
//
// On disk a chunk is an 8-byte id (zero-padded when shorter), a little-endian
// u32 total size including this 12-byte header, and its data; a parent chunk's
// data is the concatenation of its children. Chunks follow one another with no
// gap. Every chunk family derives from Chunk (leaves) or ParentChunk, and is
// created from file bytes by a factory registered in the ChunkRegistry.
//
// Serialising: SizeChunk sizes a chunk (a parent sizes its whole subtree) and
// stores the result; FillDataBlock appends exactly that many bytes, starting
// with WriteHeader. The "ForProcess" variants form a second serialisation that
// equals the first unless a class overrides them (updatable parents write
// themselves only while their update flag is set).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/list.h"
#include "core/mem.h"

namespace plat {
class File;
}

class ParentChunk;

constexpr uint32_t kChunkHeaderSize = 12;

// Id comparison of the chunk walks: over 8 characters, stopping early at a
// zero byte, so a name shorter than 8 matches an id padded with zeros.
bool ChunkIdMatches(const char* id, std::string_view name);

// One chunk's bytes inside an image being read: header and data, all in bounds.
struct RawChunk {
    const uint8_t* bytes; // the id
    uint32_t size;        // total size, at least kChunkHeaderSize

    std::string_view Id() const { return {reinterpret_cast<const char*>(bytes), 8}; }
    std::span<const uint8_t> Data() const { return {bytes + kChunkHeaderSize, size - kChunkHeaderSize}; }
    ByteReader Reader() const { return ByteReader(bytes + kChunkHeaderSize, size - kChunkHeaderSize); }
};

class Chunk : public MemObject {
public:
    // Takes the first 8 bytes of `id` (padding with zeros) and, given a
    // parent, becomes its last child. The size is 0 until SizeChunk.
    Chunk(ParentChunk* parent, std::string_view id);
    // Unlinks the chunk from its parent.
    virtual ~Chunk();
    Chunk(const Chunk&) = delete;
    Chunk& operator=(const Chunk&) = delete;

    // The 8 id bytes, followed by a zero byte.
    const char* Id() const { return id_; }
    bool HasId(std::string_view name) const { return ChunkIdMatches(id_, name); }
    // 0, or a reading status (FileChunk: -1 unreadable, -2 malformed).
    int32_t Error() const { return error_; }
    void SetError(int32_t error) { error_ = error; }
    // Total size in bytes as last stored (by SizeChunk, or as read).
    uint32_t Size() const { return size_; }
    uint32_t StoreSize(uint32_t size) { return size_ = size; }
    ParentChunk* Parent() const { return parent_; }
    Chunk* Next() const { return next_; }
    Chunk* Prev() const { return prev_; }
    // The top of the tree.
    Chunk* Root();
    // Removes the chunk from its parent's children.
    void Detach();

    virtual uint32_t SizeChunk() = 0;
    // Writes the chunk at the file's position; true when every byte was written.
    virtual bool OutputChunk(plat::File& file);
    virtual void FillDataBlock(ByteWriter& out) = 0;
    // Sizes the chunk and returns its bytes; empty when the size is 0 or when
    // the bytes filled differ from the size (a fault of the chunk's class).
    std::vector<uint8_t> MakeDataBlock();
    std::vector<uint8_t> MakeDataBlockForProcess();
    virtual uint32_t SizeForProcess() { return SizeChunk(); }
    virtual void FillForProcess(ByteWriter& out) { FillDataBlock(out); }
    // Runs before a tree is serialised for saving.
    virtual void PrepareForOutput() {}
    // Runs once the whole file has been read.
    virtual void PostInputProcessing() {}
    virtual bool IsUnknown() const { return false; }
    virtual bool IsParent() const { return false; }
    // The chunk's own fields as short text for tools; empty when it has none.
    virtual std::string Describe() const { return {}; }

protected:
    // The id and the stored size.
    void WriteHeader(ByteWriter& out) const;

private:
    friend class ParentChunk;

    char id_[9];
    int32_t error_ = 0;
    Chunk* next_ = nullptr;
    Chunk* prev_ = nullptr;
    uint32_t size_ = 0;
    ParentChunk* parent_ = nullptr;
};

class ParentChunk : public Chunk {
public:
    ParentChunk(ParentChunk* parent, std::string_view id);
    // Deletes every child, then leaves its own parent.
    ~ParentChunk() override;

    Chunk* FirstChild() const { return firstChild_; }
    Chunk* LastChild() const { return lastChild_; }
    // The first child whose id matches (ChunkIdMatches); null when none.
    Chunk* FindChild(std::string_view id) const;
    int32_t CountChildren(std::string_view id) const;
    // Empties `out`, then appends the matching children (all children) in order.
    void ListChildren(std::string_view id, List<Chunk*>& out) const;
    void ListAllChildren(List<Chunk*>& out) const;

    // Creates one child from its bytes through the registry (an UnknownChunk
    // when no factory serves its id under this parent); null when the
    // factory made nothing.
    Chunk* CreateChild(const RawChunk& raw);
    // Creates a child for each chunk of `data`, in order. A header that does
    // not fit in what is left, or a size below 12 or past the end, is
    // malformed: it is reported to the file being read and ends the walk, and
    // the children made so far stay. The walk also ends once the file being
    // read has been found malformed elsewhere. False when it did not reach the
    // end of `data`.
    bool CreateChildren(std::span<const uint8_t> data);

    // Factory of parents that hold child chunks only.
    static Chunk* CreatePlain(ParentChunk* parent, const RawChunk& raw);

    uint32_t SizeChunk() override;
    bool OutputChunk(plat::File& file) override;
    void FillDataBlock(ByteWriter& out) override;
    uint32_t SizeForProcess() override;
    void FillForProcess(ByteWriter& out) override;
    void PrepareForOutput() override;
    void PostInputProcessing() override;
    bool IsParent() const override { return true; }

protected:
    // Runs when a child leaves this parent (detached or deleted).
    virtual void ChildDetached(Chunk& child) { (void)child; }

private:
    friend class Chunk;
    void AppendChild(Chunk* child);

    Chunk* firstChild_ = nullptr;
    Chunk* lastChild_ = nullptr;
};
