#include "chunkfile/environment_updatable.h"

#include <vector>

#include "chunkfile/filechunk.h"
#include "chunkfile/toplevelchunks.h"
#include "platform/files.h"

UpdatableParentChunk::UpdatableParentChunk(ParentChunk* parent, std::string_view id) : ParentChunk(parent, id) {}

bool UpdatableParentChunk::Claim(const FileChunk& file) {
    if (file.Path().empty() || claimed_ || locked_) return false;
    claimed_ = true;
    SetHeaderName(UserName);
    return true;
}

void UpdatableParentChunk::Release(bool modified) {
    if (modified) modified_ = true;
    claimed_ = false;
}

uint32_t UpdatableParentChunk::SizeForProcess() {
    if (!update_) return StoreSize(0);
    return SizeChunk();
}

void UpdatableParentChunk::FillForProcess(ByteWriter& out) {
    if (!update_) return;
    FillDataBlock(out);
    update_ = false;
}

namespace {

// The bytes from `offset` to the end of the file.
bool ReadRest(plat::File& file, int64_t offset, int64_t length, std::vector<uint8_t>& rest) {
    rest.resize(static_cast<size_t>(length - offset));
    return file.Seek(offset, plat::SeekOrigin::Begin) == offset &&
           (rest.empty() || file.ReadExact(rest.data(), static_cast<uint32_t>(rest.size())));
}

} // namespace

bool RewriteTopLevelChunk(UpdatableParentChunk& chunk, plat::File& file) {
    if (!chunk.GetHeaderId()) return false;
    const int64_t length = file.Size();
    if (length < 0 || file.Seek(0, plat::SeekOrigin::Begin) != 0) return false;
    int64_t at = length; // append unless a stored copy matches
    int64_t storedEnd = length;
    for (const int64_t offset : FindTopLevelChunks(file, chunk.Id())) {
        uint8_t size[4];
        if (file.Seek(offset + 8, plat::SeekOrigin::Begin) < 0 || !file.ReadExact(size, 4)) return false;
        if (file.Seek(offset, plat::SeekOrigin::Begin) != offset) return false;
        if (chunk.MatchesStoredCopy(file)) {
            at = offset;
            storedEnd = offset + LoadU32LE(size);
            break;
        }
    }
    std::vector<uint8_t> rest;
    if (storedEnd < length && !ReadRest(file, storedEnd, length, rest)) return false;
    if (file.Seek(at, plat::SeekOrigin::Begin) != at) return false;
    if (!chunk.IsDeleted()) {
        chunk.SizeChunk();
        if (!chunk.OutputChunk(file)) return false;
    }
    if (!rest.empty() && !file.Write(rest.data(), static_cast<uint32_t>(rest.size()))) return false;
    const int64_t newLength = file.Tell();
    if (newLength < 0 || !file.Truncate()) return false;
    chunk.modified_ = false;
    chunk.claimed_ = false;
    uint8_t header[4];
    StoreU32LE(header, static_cast<uint32_t>(newLength));
    if (file.Seek(8, plat::SeekOrigin::Begin) != 8 || !file.Write(header, 4)) return false;
    if (chunk.IsDeleted()) delete &chunk;
    return true;
}
