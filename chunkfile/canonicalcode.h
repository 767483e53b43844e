#pragma once
// The canonical code shared by the container's encoder and decoder: codes are
// handed out by increasing length, consecutive within a length, each length
// starting at the code after the previous length's last one shifted left.

#include <array>
#include <cstdint>

constexpr int kMaxCodeLength = 11;
constexpr int kCodeSymbols = 257;      // 256 byte values and the end symbol
constexpr int kEndSymbol = 256;
constexpr uint32_t kKraftTotal = 1u << kMaxCodeLength;

// Number of codes of each length; index 0 is unused.
using CodeLengthCounts = std::array<uint32_t, kMaxCodeLength + 1>;

// The low `length` bits of `code` in reverse order: the stream sends a code's
// first bit in the lowest position.
inline uint32_t ReverseCodeBits(uint32_t code, int length) {
    uint32_t r = 0;
    for (int i = 0; i < length; ++i) r = (r << 1) | ((code >> i) & 1);
    return r;
}

// Sum of count(L) * 2^(11 - L): 2048 for a complete code. Computed in 64 bits
// so that hostile counts cannot wrap.
inline uint64_t KraftSum(const CodeLengthCounts& counts) {
    uint64_t k = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) k += uint64_t{counts[len]} << (kMaxCodeLength - len);
    return k;
}

// Calls visit(length, reversedCode) for every code in canonical order. The
// counts must describe a complete code (checked by the caller).
template <class Visit>
void ForEachCanonicalCode(const CodeLengthCounts& counts, Visit&& visit) {
    uint32_t code = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        for (uint32_t i = 0; i < counts[len]; ++i) visit(len, ReverseCodeBits(code++, len));
        code <<= 1;
    }
}
