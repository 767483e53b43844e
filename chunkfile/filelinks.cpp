#include "chunkfile/filelinks.h"

#include <utility>
#include <vector>

#include "chunkfile/chunk.h"

int32_t HighestShapeNumber = 0;

namespace {

ShapeFileHooks shapeHooks;
ObjectFileHooks objectHooks;

// A family's chunk (never an unknown one: the hooks take it for their class)
// whose header number may index the link table.
template <class Hook>
bool ValidNumber(Hook hook, const Chunk& chunk, int32_t& number) {
    return hook && !chunk.IsUnknown() && hook(chunk, number) && number >= 0 && number <= kMaxShapeNumber;
}

} // namespace

ShapeFileHooks InstallShapeFileHooks(const ShapeFileHooks& hooks) { return std::exchange(shapeHooks, hooks); }
ObjectFileHooks InstallObjectFileHooks(const ObjectFileHooks& hooks) { return std::exchange(objectHooks, hooks); }

void LinkObjectsToShapes(ParentChunk& file, DuplicateShapeNumbers duplicates) {
    std::vector<Chunk*> byNumber;
    int32_t number = 0;
    for (Chunk* c = file.FirstChild(); c; c = c->Next()) {
        if (!c->HasId("QORSHAPE") || !ValidNumber(shapeHooks.headerNumber, *c, number)) continue;
        if (number > HighestShapeNumber) HighestShapeNumber = number;
        if (static_cast<size_t>(number) >= byNumber.size()) byNumber.resize(static_cast<size_t>(number) + 1);
        Chunk*& slot = byNumber[static_cast<size_t>(number)];
        if (!slot || duplicates == DuplicateShapeNumbers::LastWins) slot = c;
    }
    if (!objectHooks.linkShape) return;
    for (Chunk* c = file.FirstChild(); c; c = c->Next()) {
        if (!c->HasId("QOOBJECT") || !ValidNumber(objectHooks.headerShapeNumber, *c, number)) continue;
        if (static_cast<size_t>(number) < byNumber.size() && byNumber[static_cast<size_t>(number)])
            objectHooks.linkShape(*c, *byNumber[static_cast<size_t>(number)]);
    }
}

int32_t ObjectNumber(const Chunk& object) { return objectHooks.number ? objectHooks.number(object) : -1; }

void SetObjectNumber(Chunk& object, int32_t number) {
    if (objectHooks.setNumber) objectHooks.setNumber(object, number);
}

bool MarkedForRemoval(const Chunk& chunk) {
    if (chunk.IsUnknown()) return false;
    if (chunk.HasId("QORSHAPE")) return shapeHooks.markedForDeletion && shapeHooks.markedForDeletion(chunk);
    if (chunk.HasId("QOOBJECT")) return objectHooks.deleted && objectHooks.deleted(chunk);
    return false;
}
