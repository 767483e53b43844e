#pragma once
// A chunk file (.qif): one tree whose top chunk is QORINFF2, read from a
// plain or compressed file, with its objects linked to their shapes after
// reading, and saved back (always compressed, through a temporary file).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chunkfile/chunk.h"

class FileChunk : public ParentChunk {
public:
    // An empty tree: one QIFVERIN child of version 0, no path.
    FileChunk();

    // Reads a chunk file. Never null: Error() is 0, -1 (the file cannot be
    // opened or read) or -2 (malformed: a bad header or container, or a chunk
    // anywhere in the tree that does not fit its parent). With a bad header
    // or container the tree is empty and no post-input processing runs; a
    // chunk found malformed ends the reading there, and the chunks made
    // before it are kept and processed.
    static std::unique_ptr<FileChunk> Open(std::string_view path);

    // The name the tree was read from or last saved to.
    const std::string& Path() const { return path_; }
    // Where reading found the file malformed (see ChunkFileImage::errorOffset).
    size_t ErrorOffset() const { return errorOffset_; }

    // Writes the tree compressed to `path` through a temporary file renamed
    // over it. Fails (leaving the target as it was) for an empty path, a
    // read-only target, a path without a file-name part, an empty tree image,
    // or a temporary file that cannot be written or renamed. The path is
    // remembered even when a later step fails.
    bool Save(std::string_view path);
    // Drops the shapes and objects marked for removal, then saves to Path();
    // false without a path.
    bool SaveToSource();

    // Empty the list, then append every QOOBJECT, QORSHAPE or DUMMYOBJ child.
    void ListObjects(List<Chunk*>& out) const { ListChildren("QOOBJECT", out); }
    void ListShapes(List<Chunk*>& out) const { ListChildren("QORSHAPE", out); }
    void ListDummies(List<Chunk*>& out) const { ListChildren("DUMMYOBJ", out); }
    // The first QORENVDT child, or null.
    Chunk* FindEnvironment() const { return FindChild("QORENVDT"); }

    // The object index: the QOOBJECT children by object number, built on
    // first use and dropped when a child leaves the file. Objects numbered
    // below 0 or above kMaxObjectNumber have no slot.
    void BuildObjectIndex();
    // Null for a number outside the index or a free slot.
    Chunk* ObjectByNumber(int32_t number);
    // Gives `object` the first free number (a new one at the end when none
    // is free) and stores it there.
    void AddObjectToIndex(Chunk& object);

    // Links the objects to their shapes (of two shapes with one number, the
    // later), then runs every child's processing.
    void PostInputProcessing() override;

protected:
    void ChildDetached(Chunk& child) override;

private:
    struct Unversioned {};
    explicit FileChunk(Unversioned);

    std::string path_;
    size_t errorOffset_ = 0;
    std::vector<Chunk*> objectIndex_;
    bool indexBuilt_ = false;
};
