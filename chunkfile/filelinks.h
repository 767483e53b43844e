#pragma once
// What a chunk file asks of the shape (QORSHAPE) and object (QOOBJECT)
// families: shape numbers to link objects to their shapes after reading, the
// object numbers of the file's object index, and the removal marks honoured
// by FileChunk::SaveToSource. Each family installs its hooks when its chunk
// classes are registered; until then shapes and objects carry no numbers, no
// object is linked and nothing is marked for removal.

#include <cstdint>

class Chunk;
class ParentChunk;

struct ShapeFileHooks {
    // The number in a shape chunk's SHPHEAD1 header; false without a header.
    bool (*headerNumber)(const Chunk& shape, int32_t& number) = nullptr;
    // True when a save to the file's own path drops the shape first.
    bool (*markedForDeletion)(const Chunk& shape) = nullptr;
};

struct ObjectFileHooks {
    // The shape number in an object chunk's OBJHEAD1 header; false without a header.
    bool (*headerShapeNumber)(const Chunk& object, int32_t& number) = nullptr;
    void (*linkShape)(Chunk& object, Chunk& shape) = nullptr;
    // The object's place in its file's object index; -1 when not numbered.
    int32_t (*number)(const Chunk& object) = nullptr;
    void (*setNumber)(Chunk& object, int32_t number) = nullptr;
    // True when a save to the file's own path drops the object first.
    bool (*deleted)(const Chunk& object) = nullptr;
};

// Each returns the hooks it replaces.
ShapeFileHooks InstallShapeFileHooks(const ShapeFileHooks& hooks);
ObjectFileHooks InstallObjectFileHooks(const ObjectFileHooks& hooks);

// The highest shape number handed out or read so far in this run; raised by
// every file read, never lowered. New shapes are numbered after it.
extern int32_t HighestShapeNumber;
// Shape numbers read from files lie in [0, kMaxShapeNumber]; others are
// ignored, so a hostile number can neither size a table nor overflow the count.
constexpr int32_t kMaxShapeNumber = 1 << 20;
// Likewise for the object numbers of a file's object index.
constexpr int32_t kMaxObjectNumber = 1 << 20;

// Raises HighestShapeNumber to the numbers of `file`'s QORSHAPE children and
// links every QOOBJECT child to the shape carrying its header's shape number
// (of several, the first or the last in file order). Objects whose number no
// shape carries stay unlinked.
enum class DuplicateShapeNumbers { FirstWins, LastWins };
void LinkObjectsToShapes(ParentChunk& file, DuplicateShapeNumbers duplicates);

int32_t ObjectNumber(const Chunk& object);
void SetObjectNumber(Chunk& object, int32_t number);
// The removal mark of a QORSHAPE or QOOBJECT chunk.
bool MarkedForRemoval(const Chunk& chunk);
