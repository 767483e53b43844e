#pragma once
// A chunk file's bytes on disk: either a plain QORINFF2 chunk whose size
// field equals the file's length, or a QORCQIF1 container whose decoded
// contents are such an image, header included. Reading yields the QORINFF2
// image in either case; writing goes through a temporary file beside the
// target, renamed over it, so a failure never destroys the previous file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

constexpr char kFileChunkId[] = "QORINFF2";

struct ChunkFileImage {
    // 0, -1 when the file cannot be opened or read, -2 when it is malformed.
    int32_t error = 0;
    // Where a malformed file went wrong: an offset in the file (or, for a
    // compressed file whose container decoded, in the image).
    size_t errorOffset = 0;
    bool compressed = false;
    std::vector<uint8_t> image;
};

ChunkFileImage ReadChunkFileImage(std::string_view path);

// The QORINFF2 image of a whole file's bytes, as ReadChunkFileImage.
ChunkFileImage ChunkFileImageFromBytes(std::vector<uint8_t> bytes);

// The name written first when saving to `path`: its directory part, "~temp~",
// then its file-name part (everything after the last '\', '/' or ':').
// Empty when the file-name part is.
std::string TemporarySaveName(std::string_view path);

// Writes `bytes` to the temporary name of `path`, then renames it over
// `path`. False (the temporary file removed, the target untouched) when any
// step fails or `path` has no file-name part.
bool WriteFileThroughTemporary(std::string_view path, std::span<const uint8_t> bytes);
