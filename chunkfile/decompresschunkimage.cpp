// The container's decoder: whole codes are looked up in 2048-entry tables
// indexed by the next 11 stream bits, with no bit-by-bit tree walk. The main
// loop uses a table of code pairs (every entry holds the code its 11 bits
// start with and, when it fits in the remaining bits, the code after it), so
// that most look-ups give two bytes.
//
// Stream words are little-endian and their bits are taken from bit 0 up, so
// the stream reads as a little-endian bit stream over its bytes.

#include <array>
#include <cstring>

#include "chunkfile/canonicalcode.h"
#include "chunkfile/container.h"
#include "core/bytes.h"

namespace {

constexpr uint32_t kTableSize = kKraftTotal;
constexpr uint32_t kIndexMask = kTableSize - 1;

// One code: symbol byte in bits 0-7, length in bits 8-15; the end code has
// length kEndLength.
using CodeTable = std::array<uint16_t, kTableSize>;
constexpr uint16_t kEndLength = 0xFF;

// One or two codes: symbol bytes in bits 0-7 and 8-15, total length in bits
// 16-23, number of bytes in bits 24-31 (0: the first code is the end code).
using PairTable = std::array<uint32_t, kTableSize>;

// Fills the code table from the header's counts and symbol bytes; false
// unless the counts describe exactly 257 codes filling all 2048 entries.
bool BuildCodeTable(const uint8_t* header, CodeTable& table) {
    CodeLengthCounts counts{};
    uint64_t codes = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        counts[len] = LoadU32LE(header + 12 + 4 * len);
        codes += counts[len];
    }
    if (codes != kCodeSymbols || KraftSum(counts) != kKraftTotal) return false;
    int k = 0;
    ForEachCanonicalCode(counts, [&](int len, uint32_t bits) {
        const uint16_t symbol = k < 256 ? header[kContainerHeaderSize - 1 - k] : 0;
        const uint16_t entry = static_cast<uint16_t>((k < 256 ? len : kEndLength) << 8 | symbol);
        for (uint32_t i = bits; i < kTableSize; i += 1u << len) table[i] = entry;
        ++k;
    });
    return true;
}

void BuildPairTable(const CodeTable& codes, PairTable& pairs) {
    for (uint32_t i = 0; i < kTableSize; ++i) {
        const uint32_t first = codes[i], len1 = first >> 8;
        if (len1 == kEndLength) {
            pairs[i] = 0;
            continue;
        }
        const uint32_t second = codes[i >> len1], len2 = second >> 8;
        const bool both = len2 != kEndLength && len1 + len2 <= kMaxCodeLength;
        pairs[i] = both ? (2u << 24 | (len1 + len2) << 16 | (second & 0xFF) << 8 | (first & 0xFF))
                        : (1u << 24 | len1 << 16 | (first & 0xFF));
    }
}

// Decodes n bytes into `out`. Bits past the stream read as zero and a result
// that needed them is rejected; the caller bounds n by the stream's bits,
// which bounds the work.
bool DecodeStream(const CodeTable& codes, const PairTable& pairs, const uint8_t* stream, size_t streamBytes,
                  uint8_t* out, size_t n) {
    const uint8_t* next = stream;
    const uint8_t* const streamEnd = stream + streamBytes;
    uint8_t* const end = out + n;
    uint64_t window = 0; // bits not yet taken, the next one in bit 0
    uint32_t held = 0;   // how many of them count; bits above may already hold the following bytes

    // Main loop: a refill leaves 56 to 63 bits, enough for five look-ups of
    // at most 11 bits and two bytes each.
    while (end - out >= 10 && streamEnd - next >= 8) {
        window |= (uint64_t{LoadU32LE(next)} | uint64_t{LoadU32LE(next + 4)} << 32) << held;
        next += (63 - held) >> 3;
        held |= 56;
        for (int i = 0; i < 5; ++i) {
            const uint32_t e = pairs[window & kIndexMask];
            if (e >> 24 == 0) return false; // the end code before the length
            out[0] = static_cast<uint8_t>(e);
            out[1] = static_cast<uint8_t>(e >> 8);
            out += e >> 24;
            const uint32_t len = (e >> 16) & 0xFF;
            window >>= len;
            held -= len;
        }
    }

    // The last bytes, one code at a time, refilling byte by byte.
    window &= held ? ~uint64_t{0} >> (64 - held) : 0;
    while (out < end) {
        while (held <= 56) {
            window |= uint64_t{next < streamEnd ? *next : uint8_t{0}} << held;
            ++next;
            held += 8;
        }
        const uint32_t e = codes[window & kIndexMask];
        const uint32_t len = e >> 8;
        if (len == kEndLength) return false;
        *out++ = static_cast<uint8_t>(e);
        window >>= len;
        held -= len;
    }
    const uint64_t consumed = uint64_t(next - stream) * 8 - held;
    return consumed <= uint64_t{streamBytes} * 8;
}

} // namespace

bool DecompressChunkImage(std::span<const uint8_t> container, std::vector<uint8_t>& image) {
    image.clear();
    if (container.size() < kContainerHeaderSize || std::memcmp(container.data(), kContainerId, 8) != 0) return false;
    const uint8_t* header = container.data();
    const uint32_t streamLength = LoadU32LE(header + 8);
    const uint32_t length = LoadU32LE(header + 12);
    // Every byte takes at least one bit, which bounds the length by the stream.
    if (streamLength % 4 != 0 || streamLength > container.size() - kContainerHeaderSize ||
        length > uint64_t{streamLength} * 8)
        return false;
    CodeTable codes;
    if (!BuildCodeTable(header, codes)) return false;
    PairTable pairs;
    BuildPairTable(codes, pairs);
    image.resize(length);
    if (!DecodeStream(codes, pairs, header + kContainerHeaderSize, streamLength, image.data(), length)) {
        image.clear();
        return false;
    }
    return true;
}
