#pragma once
// The QORCQIF1 container: a whole chunk image under a canonical Huffman code
// over bytes (257 symbols: the 256 byte values and an end symbol; codes of 1 to
// 11 bits). Chunk files are saved in it; caches of other subsystems use it too.
//
// Layout (little-endian u32 fields):
//   0    "QORCQIF1"
//   8    stream length in bytes (a multiple of 4)
//   12   uncompressed length in bytes
//   16   11 counts: the number of codes of length 1, 2, ..., 11
//   60   256 symbol bytes, least frequent first: the byte at 315 receives the
//        first (shortest) code, 314 the second, ... 60 the 256th; the 257th
//        code is the end code
//   316  the stream: 32-bit little-endian words whose bits are taken from bit 0
//        upward; each code is sent most significant bit first. It holds the
//        codes of all image bytes, the end code, then zero bits to the end of
//        the last word.
// The counts describe a complete code: 257 codes, and the sum of
// count(L) * 2^(11 - L) is exactly 2048.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

constexpr size_t kContainerHeaderSize = 316;
constexpr char kContainerId[] = "QORCQIF1";

// Builds the container of an image; the stream is never longer than 11 bits
// per image byte plus the end code. Empty only when the container's 32-bit
// length fields cannot hold the image or its stream.
std::vector<uint8_t> CompressChunkImage(std::span<const uint8_t> image);

// Decodes a container held in memory (starting at its id). Fails, leaving
// `image` empty, unless the header describes a complete 257-code table, the
// stream lies within `container` and decodes to exactly the uncompressed
// length before its end code, without reading past the stream.
bool DecompressChunkImage(std::span<const uint8_t> container, std::vector<uint8_t>& image);
