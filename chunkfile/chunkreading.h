#pragma once
// The chunk file whose contents are being created on this thread. Parent
// chunks report malformed children to it while they read; outside a read
// there is none and reports go nowhere.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

class Chunk;

// The chunk whose error a read in progress sets, or null.
Chunk* CurrentFileChunk();

// Sets error -2 on the current file chunk and remembers the image offset of
// `at` when it is the first fault found. Does nothing outside a read.
void ReportMalformedChunk(const uint8_t* at);

// Makes `file` the current file chunk, reading `image`, for the life of the
// object; the previous one (a nested read's outer file) comes back after.
// The offset of the first fault goes to *errorOffset when given.
class FileChunkReading {
public:
    FileChunkReading(Chunk& file, std::span<const uint8_t> image, size_t* errorOffset);
    ~FileChunkReading();
    FileChunkReading(const FileChunkReading&) = delete;
    FileChunkReading& operator=(const FileChunkReading&) = delete;

private:
    friend Chunk* CurrentFileChunk();
    friend void ReportMalformedChunk(const uint8_t* at);

    Chunk& file_;
    std::span<const uint8_t> image_;
    size_t* errorOffset_;
    FileChunkReading* outer_;
};

class ParentChunk;

// Reads the chunk file at `path` (plain or compressed) and creates its
// top-level chunks as children of `into`, which is the current file chunk
// meanwhile and takes the image's size. False, with `into`'s error set to -1
// (unreadable) or -2 (malformed), when the file's header or container is bad
// and nothing was created; a malformed chunk inside the image sets error -2
// but still returns true, keeping the chunks made before it.
bool ReadChunkFile(ParentChunk& into, std::string_view path, size_t* errorOffset);
