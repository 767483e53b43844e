#pragma once
// Placed objects in chunk files. A QOOBJECT chunk is a top-level parent
// whose OBJHEAD1 child carries the object's name, position, orientation,
// numbers and revision and names the shape it uses; its other children
// carry notes (OBINTDT/OBJNOTES), editor module data (MODULEDT), tracks,
// vertex tints and chunks of other families.

#include <cstdint>
#include <string>
#include <string_view>

#include "chunkfile/environment_updatable.h"
#include "chunkfile/shape_vectors.h"
#include "chunkfile/shortdigest.h"
#include "core/list.h"
#include "core/matrix.h"

class FileChunk;
class ModuleArrayChunk;
class ObjectHeaderChunk;
class ShapeChunk;

// The object record, filled by the OBJHEAD1 child.
struct ChunkObjectData {
    static constexpr size_t kMaxNameLength = 51;

    VectorI position;          // file units
    Quaternion orientation{};  // rotation
    int32_t headerFlag = 0;    // 1 when OBJHEAD1 flag 0x100 is set
    std::string name;          // at most kMaxNameLength characters
    int32_t number = -1;       // place in the file's object index; -1 when none
    ShortDigest identity{};    // 7 digest bytes and a zero; zero until computed
};

class ObjectChunk final : public UpdatableParentChunk {
public:
    static Chunk* Create(ParentChunk* parent, const RawChunk& raw);
    // A new object holding a copy of `data` (its name cut to 51 characters),
    // with a new OBJHEAD1 and notes; numbered in its file's object index when
    // `parent` is a file, else unnumbered; its identity computed.
    static ObjectChunk* NewObject(ParentChunk* parent, const ChunkObjectData& data);

    ChunkObjectData& Data() { return data_; }
    const ChunkObjectData& Data() const { return data_; }
    const std::string& Name() const { return data_.name; }

    // The OBJHEAD1 child, or null.
    ObjectHeaderChunk* GetHeader() const;
    // The linked shape; null when unlinked or without OBJHEAD1.
    ShapeChunk* GetShapeChunk() const;
    // Links the object to `shape` (leaving any previous shape's users);
    // false without OBJHEAD1 or when the shape has no SHPHEAD1.
    bool SetShapeChunk(ShapeChunk& shape);
    // Leaves `shape`'s users and drops the link; false when the shape has no SHPHEAD1.
    bool DetachFromShape(ShapeChunk& shape);
    // Links the object to the file's QORSHAPE whose header carries the
    // OBJHEAD1 shape number; false when none does.
    bool RelinkShapeByNumber(const ParentChunk& file);
    // Adds one to the OBJHEAD1 revision; false without OBJHEAD1.
    bool BumpRevision();
    // Both have OBJHEAD1, the names are equal and this revision is lower.
    bool IsOlderRevisionOf(const ObjectChunk& other) const;
    // The VMDARRAY child of the MODULEDT child, or null.
    ModuleArrayChunk* GetModuleArray() const;
    // Copies `data` over the object's record, keeping the object's number,
    // and recomputes the identity.
    void ReplaceData(const ChunkObjectData& data);

    // The short digest of the file's source name (the QIFFNAME of the first
    // QORENVDT beside the object) followed by the object's name, at most 99
    // characters, also stored in the record. Eight zero bytes, the stored
    // identity unchanged, without that source name.
    ShortDigest ComputeIdentity();

    // The object's ten detail levels into `out` (emptied first): the object
    // itself, then for d = 1 to 9 the sibling QOOBJECT named "L<d>#<name>",
    // the level above when there is none, and null past the cut that a
    // sibling DUMMYOBJ named "L<d>#<name>" sets at d - 1. Returns 1 + the
    // number of levels found.
    int32_t ListDetailLevels(List<ObjectChunk*>& out);

    // Takes the object out of `file` before it is deleted: other objects'
    // module arrays and links drop it, it leaves its shape, and it is marked
    // deleted and modified (claimed and released on the way).
    void RemoveFromFile(FileChunk& file);

    const char* GetHeaderId() const override;
    void SetHeaderName(std::string_view name) override;
    // The stored QOOBJECT at the file's position has exactly one OBJHEAD1,
    // and it carries this object's name.
    bool MatchesStoredCopy(plat::File& file) override;
    // Computes the identity and the locked flag, then processes the children.
    void PostInputProcessing() override;
    std::string Describe() const override;

private:
    explicit ObjectChunk(ParentChunk* parent);

    ChunkObjectData data_;
};

// Registers the object chunk classes and the file's object hooks; called
// once at start-up (later calls do nothing).
void RegisterObjectChunkClasses();
