#include "chunkfile/chunkfileimage.h"

#include <cstring>

#include "chunkfile/chunk.h"
#include "chunkfile/container.h"
#include "core/bytes.h"
#include "platform/files.h"

namespace {

ChunkFileImage Malformed(size_t offset) {
    ChunkFileImage result;
    result.error = -2;
    result.errorOffset = offset;
    return result;
}

bool StartsWith(std::span<const uint8_t> bytes, const char* id) {
    return bytes.size() >= 8 && std::memcmp(bytes.data(), id, 8) == 0;
}

} // namespace

ChunkFileImage ChunkFileImageFromBytes(std::vector<uint8_t> bytes) {
    ChunkFileImage result;
    if (StartsWith(bytes, kContainerId)) {
        result.compressed = true;
        if (!DecompressChunkImage(bytes, result.image)) return Malformed(0);
        if (result.image.size() < kChunkHeaderSize || !StartsWith(result.image, kFileChunkId)) return Malformed(0);
        return result;
    }
    if (!StartsWith(bytes, kFileChunkId)) return Malformed(0);
    if (bytes.size() < kChunkHeaderSize || LoadU32LE(bytes.data() + 8) != bytes.size()) return Malformed(8);
    result.image = std::move(bytes);
    return result;
}

ChunkFileImage ReadChunkFileImage(std::string_view path) {
    ChunkFileImage unreadable;
    unreadable.error = -1;
    plat::File file = plat::File::Open(path, plat::kAccessRead, plat::FileDisposition::OpenExisting);
    if (!file.IsOpen()) return unreadable;
    const int64_t length = file.Size();
    // A chunk file's size fields are 32-bit: a longer file cannot be one.
    if (length < 0) return unreadable;
    if (length > UINT32_MAX) return Malformed(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (!file.ReadExact(bytes.data(), static_cast<uint32_t>(length))) return unreadable;
    return ChunkFileImageFromBytes(std::move(bytes));
}

std::string TemporarySaveName(std::string_view path) {
    const size_t cut = path.find_last_of("\\/:");
    const size_t nameStart = cut == std::string_view::npos ? 0 : cut + 1;
    if (nameStart == path.size()) return {};
    std::string temp(path.substr(0, nameStart));
    temp += "~temp~";
    temp += path.substr(nameStart);
    return temp;
}

bool WriteFileThroughTemporary(std::string_view path, std::span<const uint8_t> bytes) {
    const std::string temp = TemporarySaveName(path);
    if (temp.empty() || bytes.size() > UINT32_MAX) return false;
    bool written = false;
    {
        plat::File file = plat::File::Open(temp, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        if (!file.IsOpen()) return false;
        written = file.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    if (written && plat::RenameFile(temp, path)) return true;
    plat::DeleteFile(temp);
    return false;
}
