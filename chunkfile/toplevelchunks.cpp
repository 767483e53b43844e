#include "chunkfile/toplevelchunks.h"

#include "chunkfile/chunk.h"
#include "platform/files.h"

namespace {

bool ReadHeader(plat::File& file, char (&id)[9], uint32_t& size) {
    uint8_t header[kChunkHeaderSize];
    if (!file.ReadExact(header, kChunkHeaderSize)) return false;
    for (int i = 0; i < 8; ++i) id[i] = static_cast<char>(header[i]);
    id[8] = '\0';
    size = LoadU32LE(header + 8);
    return true;
}

} // namespace

std::vector<int64_t> FindTopLevelChunks(plat::File& file, std::string_view id) {
    std::vector<int64_t> offsets;
    const int64_t start = file.Tell();
    const int64_t length = file.Size();
    char childId[9];
    uint32_t size = 0;
    if (start < 0 || !ReadHeader(file, childId, size) || start + int64_t{size} > length) return offsets;
    const int64_t end = start + size;
    for (int64_t at = start + kChunkHeaderSize; at < end;) {
        if (file.Seek(at, plat::SeekOrigin::Begin) != at || !ReadHeader(file, childId, size) ||
            size < kChunkHeaderSize)
            break;
        if (ChunkIdMatches(childId, id)) offsets.push_back(at);
        at += size;
    }
    return offsets;
}
