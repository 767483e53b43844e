#include "chunkfile/filechunk.h"

#include "chunkfile/chunkfileimage.h"
#include "chunkfile/chunkreading.h"
#include "chunkfile/container.h"
#include "chunkfile/filelevelchunks.h"
#include "chunkfile/filelinks.h"
#include "platform/files.h"

FileChunk::FileChunk(Unversioned) : ParentChunk(nullptr, kFileChunkId) {}

FileChunk::FileChunk() : FileChunk(Unversioned{}) { new FileVersionChunk(this, 0); }

std::unique_ptr<FileChunk> FileChunk::Open(std::string_view path) {
    std::unique_ptr<FileChunk> file(new FileChunk(Unversioned{}));
    file->path_ = path;
    if (ReadChunkFile(*file, path, &file->errorOffset_)) file->PostInputProcessing();
    return file;
}

bool FileChunk::Save(std::string_view path) {
    if (path.empty()) return false;
    const uint32_t attributes = plat::GetFileAttributes(path);
    if (attributes != plat::kInvalidAttributes && (attributes & plat::kAttrReadOnly)) return false;
    path_ = path;
    if (TemporarySaveName(path).empty()) return false;
    PrepareForOutput();
    const std::vector<uint8_t> image = MakeDataBlock();
    if (image.empty()) return false;
    const std::vector<uint8_t> packed = CompressChunkImage(image);
    return !packed.empty() && WriteFileThroughTemporary(path, packed);
}

bool FileChunk::SaveToSource() {
    for (Chunk* c = FirstChild(); c;) {
        Chunk* next = c->Next();
        if (MarkedForRemoval(*c)) delete c;
        c = next;
    }
    return !path_.empty() && Save(path_);
}

void FileChunk::BuildObjectIndex() {
    objectIndex_.clear();
    for (Chunk* c = FirstChild(); c; c = c->Next()) {
        if (!c->HasId("QOOBJECT")) continue;
        const int32_t n = ObjectNumber(*c);
        if (n < 0 || n > kMaxObjectNumber) continue;
        if (static_cast<size_t>(n) >= objectIndex_.size()) objectIndex_.resize(static_cast<size_t>(n) + 1);
        objectIndex_[static_cast<size_t>(n)] = c;
    }
    indexBuilt_ = true;
}

Chunk* FileChunk::ObjectByNumber(int32_t number) {
    if (!indexBuilt_) BuildObjectIndex();
    return number >= 0 && static_cast<size_t>(number) < objectIndex_.size() ? objectIndex_[static_cast<size_t>(number)]
                                                                             : nullptr;
}

void FileChunk::AddObjectToIndex(Chunk& object) {
    if (!indexBuilt_) BuildObjectIndex();
    size_t slot = 0;
    while (slot < objectIndex_.size() && objectIndex_[slot]) ++slot;
    if (slot == objectIndex_.size()) objectIndex_.push_back(nullptr);
    objectIndex_[slot] = &object;
    SetObjectNumber(object, static_cast<int32_t>(slot));
}

void FileChunk::ChildDetached(Chunk&) {
    objectIndex_.clear();
    indexBuilt_ = false;
}

void FileChunk::PostInputProcessing() {
    LinkObjectsToShapes(*this, DuplicateShapeNumbers::LastWins);
    ParentChunk::PostInputProcessing();
}
