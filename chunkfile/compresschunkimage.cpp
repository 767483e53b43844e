// The container's encoder: a Huffman tree over all 257 symbols, its depths
// limited to 11 bits while keeping the code complete, canonical codes handed
// to the symbols from the most frequent down, and the packed stream.

#include <algorithm>
#include <cstring>

#include "chunkfile/canonicalcode.h"
#include "chunkfile/container.h"
#include "core/bytes.h"

namespace {

struct SymbolCount {
    uint32_t symbol;
    uint32_t count;
};

// Symbol counts in ascending order. The end symbol (count 0) leads the records
// of count 0 so that it is the unstored first record and the stored symbol
// bytes hold no duplicate.
std::array<SymbolCount, kCodeSymbols> SortedSymbolCounts(std::span<const uint8_t> image) {
    std::array<SymbolCount, kCodeSymbols> records;
    records[0] = {kEndSymbol, 0};
    for (uint32_t s = 0; s < 256; ++s) records[s + 1] = {s, 0};
    for (uint8_t b : image) ++records[b + 1].count;
    std::stable_sort(records.begin(), records.end(),
                     [](const SymbolCount& a, const SymbolCount& b) { return a.count < b.count; });
    return records;
}

// Depth histogram of the Huffman tree over the sorted records, depths above
// 11 counted as 11. Merged nodes go after every node of equal weight.
CodeLengthCounts TreeDepthCounts(const std::array<SymbolCount, kCodeSymbols>& records) {
    constexpr int kNodes = 2 * kCodeSymbols - 1;
    std::array<uint64_t, kNodes> weight{};
    std::array<int, kNodes> parent{};
    std::vector<int> order;
    order.reserve(kCodeSymbols);
    for (int i = 0; i < kCodeSymbols; ++i) {
        weight[i] = records[i].count;
        order.push_back(i);
    }
    for (int next = kCodeSymbols; next < kNodes; ++next) {
        const int a = order[0], b = order[1];
        order.erase(order.begin(), order.begin() + 2);
        weight[next] = weight[a] + weight[b];
        parent[a] = parent[b] = next;
        auto at = std::upper_bound(order.begin(), order.end(), weight[next],
                                   [&](uint64_t w, int node) { return w < weight[node]; });
        order.insert(at, next);
    }
    const int root = kNodes - 1;
    CodeLengthCounts counts{};
    for (int leaf = 0; leaf < kCodeSymbols; ++leaf) {
        int depth = 0;
        for (int n = leaf; n != root; n = parent[n]) ++depth;
        ++counts[std::min(depth, kMaxCodeLength)];
    }
    return counts;
}

// Moves codes between lengths until the Kraft sum is exactly 2048: first codes
// to length 11 while the sum is too large, then codes to shorter lengths to use
// up any slack. The moves always end at exactly 2048 for 257 symbols.
void CompleteCode(CodeLengthCounts& counts) {
    int64_t k = static_cast<int64_t>(KraftSum(counts));
    for (int len = kMaxCodeLength - 1; len >= 1 && k > kKraftTotal; --len) {
        const int64_t g = (int64_t{1} << (kMaxCodeLength - len)) - 1;
        const int64_t m = std::min<int64_t>(counts[len], (k - kKraftTotal + g - 1) / g);
        counts[len] -= static_cast<uint32_t>(m);
        counts[kMaxCodeLength] += static_cast<uint32_t>(m);
        k -= m * g;
    }
    // The slack left above is smaller than 1024, so no code ever moves to length 0.
    int64_t slack = kKraftTotal - k;
    for (int target = 1; target < kMaxCodeLength && slack > 0; ++target) {
        for (int from = target + 1; from <= kMaxCodeLength; ++from) {
            const int64_t gain = (int64_t{1} << (kMaxCodeLength - target)) - (int64_t{1} << (kMaxCodeLength - from));
            if (slack < gain) break;
            const int64_t m = std::min<int64_t>(counts[from], slack / gain);
            counts[from] -= static_cast<uint32_t>(m);
            counts[target] += static_cast<uint32_t>(m);
            slack -= m * gain;
        }
    }
}

struct SymbolCode {
    uint32_t bits;   // reversed: the code's first bit in bit 0
    uint32_t length;
};

// Appends codes to 32-bit little-endian words from bit 0 upward.
class StreamPacker {
public:
    explicit StreamPacker(uint8_t* out) : out_(out) {}
    void Put(SymbolCode c) {
        acc_ |= uint64_t{c.bits} << used_;
        used_ += c.length;
        if (used_ >= 32) {
            StoreU32LE(out_, static_cast<uint32_t>(acc_));
            out_ += 4;
            acc_ >>= 32;
            used_ -= 32;
        }
    }
    // Completes the last word with zero bits; returns the end of the stream.
    uint8_t* Finish() {
        if (used_ > 0) {
            StoreU32LE(out_, static_cast<uint32_t>(acc_));
            out_ += 4;
        }
        return out_;
    }

private:
    uint8_t* out_;
    uint64_t acc_ = 0;
    uint32_t used_ = 0;
};

} // namespace

std::vector<uint8_t> CompressChunkImage(std::span<const uint8_t> image) {
    if (image.size() > UINT32_MAX) return {};
    const auto records = SortedSymbolCounts(image);
    CodeLengthCounts counts = TreeDepthCounts(records);
    CompleteCode(counts);

    // The most frequent symbol takes the first code, the first record the last.
    std::array<SymbolCode, kCodeSymbols> codes{};
    int record = kCodeSymbols - 1;
    ForEachCanonicalCode(counts, [&](int len, uint32_t bits) {
        codes[records[record--].symbol] = {bits, static_cast<uint32_t>(len)};
    });

    // Worst case: every byte and the end code at 11 bits, rounded up to whole words.
    const size_t maxWords = ((image.size() + 1) * kMaxCodeLength + 31) / 32;
    std::vector<uint8_t> out(kContainerHeaderSize + maxWords * 4);
    StreamPacker packer(out.data() + kContainerHeaderSize);
    for (uint8_t b : image) packer.Put(codes[b]);
    packer.Put(codes[kEndSymbol]);
    const size_t streamLength = static_cast<size_t>(packer.Finish() - (out.data() + kContainerHeaderSize));
    if (streamLength > UINT32_MAX) return {};
    out.resize(kContainerHeaderSize + streamLength);

    std::memcpy(out.data(), kContainerId, 8);
    StoreU32LE(out.data() + 8, static_cast<uint32_t>(streamLength));
    StoreU32LE(out.data() + 12, static_cast<uint32_t>(image.size()));
    for (int len = 1; len <= kMaxCodeLength; ++len) StoreU32LE(out.data() + 12 + 4 * len, counts[len]);
    for (int i = 1; i < kCodeSymbols; ++i) out[60 + i - 1] = static_cast<uint8_t>(records[i].symbol);
    return out;
}
