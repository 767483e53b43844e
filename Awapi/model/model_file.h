#pragma once
// An open model or level file (.qif): its chunk tree plus what every
// conversion to engine objects needs — the world scale, the texture table
// (bitmap names by texture number with their fitted sizes) and the table of
// indexed frame sounds. Shapes, models and dummies built from a file own
// copies of what they use and outlive it; object chunks and hierarchy names
// handed out point into the tree and live only while the file is open.
// Main thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chunkfile/filechunk.h"
#include "core/list.h"
#include "core/matrix.h"

class AwModel;
class AwShape;
class IndexedSoundChunk;
class ShapeChunk;
class VertexTintChunk;

struct AwTextureEntry {
    const std::string* Name = nullptr; // into the chunk tree; null when no bitmap carries the number
    uint32_t Width = 0, Height = 0;    // fitted to the device's texture sizes
};

// ConvertShape option: merge the triangle pairs of the shape's SHPMRGDT.
constexpr uint32_t kConvertMergeQuads = 0x1;

class AwModelFile {
public:
    static constexpr int32_t kIndexedSoundSlots = 128;
    static constexpr float kDefaultWorldScale = 0.001f;

    // Null when the file cannot be read or is malformed.
    static std::unique_ptr<AwModelFile> Open(std::string_view path);
    // Wraps a tree already in memory (a tree with an error is refused).
    static std::unique_ptr<AwModelFile> FromTree(std::unique_ptr<FileChunk> tree);

    float GetWorldScale() const { return worldScale_; }
    const std::vector<AwTextureEntry>& Textures() const { return textures_; }
    // The INDSOUND chunk of an index, or null (also for an index out of range).
    const IndexedSoundChunk* IndexedSound(int32_t index) const;
    FileChunk& Tree() const { return *tree_; }

    // The first object of that name (ignoring case) that has a shape,
    // converted; position (x world scale) and orientation when asked. Null
    // when no such object has a shape.
    AwShape* LoadShape(const char* name, Vector3* position, Quaternion* orientation, uint32_t options);
    // The file's only QORSHAPE, converted; null unless there is exactly one.
    AwShape* LoadSingleShape();
    // The name of the first object (in file order) that has a shape; null when none has.
    const std::string* FirstShapedObjectName() const;
    // The objects named so (ignoring case), in file order.
    void ListObjectsNamed(List<Chunk*>& out, const char* name) const;
    // The names of the file's hierarchies (hierarchies without a name are skipped).
    void ListHierarchyNames(List<const std::string*>& out) const;

    // The named hierarchy (ignoring case) as a model tree with one use; null
    // when the file has no hierarchy of that name (see model_node.h).
    AwModel* LoadHierarchy(const char* name);

    // Converts a shape record into an engine shape with one use (see shape_conversion.h).
    AwShape* ConvertShape(ShapeChunk& shape, const VertexTintChunk* tints, uint32_t options);

private:
    explicit AwModelFile(std::unique_ptr<FileChunk> tree);
    void ReadEnvironment(const ParentChunk& environment);
    void ReadIndexedSounds();

    float worldScale_ = kDefaultWorldScale;
    std::vector<AwTextureEntry> textures_; // empty: the file has no texture table
    std::unique_ptr<FileChunk> tree_;
    std::array<const IndexedSoundChunk*, kIndexedSoundSlots> indexedSounds_{};
};

// Loads every texture shapes have named but not loaded yet, then drops
// unreferenced records that have no surface.
void AwLoadPendingTextures(void (*progress)(int32_t index));
