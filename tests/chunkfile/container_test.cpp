#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "chunkfile/canonicalcode.h"
#include "chunkfile/container.h"
#include "core/bytes.h"

namespace {

CodeLengthCounts HeaderCounts(const std::vector<uint8_t>& c) {
    CodeLengthCounts counts{};
    for (int len = 1; len <= kMaxCodeLength; ++len) counts[len] = LoadU32LE(c.data() + 12 + 4 * len);
    return counts;
}

uint32_t StreamLength(const std::vector<uint8_t>& c) { return LoadU32LE(c.data() + 8); }

// Compresses, checks the header's invariants and the round trip.
std::vector<uint8_t> CompressChecked(const std::vector<uint8_t>& image) {
    std::vector<uint8_t> c = CompressChunkImage(image);
    EXPECT_EQ(0, std::memcmp(c.data(), "QORCQIF1", 8));
    EXPECT_EQ(image.size(), LoadU32LE(c.data() + 12));
    EXPECT_EQ(0u, StreamLength(c) % 4);
    EXPECT_EQ(c.size(), kContainerHeaderSize + StreamLength(c));
    const CodeLengthCounts counts = HeaderCounts(c);
    uint32_t codes = 0;
    for (uint32_t n : counts) codes += n;
    EXPECT_EQ(257u, codes);
    EXPECT_EQ(2048u, KraftSum(counts));
    std::vector<uint8_t> back;
    EXPECT_TRUE(DecompressChunkImage(c, back));
    EXPECT_EQ(image, back);
    return c;
}

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(rng());
    return v;
}

TEST(Container, UniformImageGives255EightBitAnd2NineBitCodes) {
    std::vector<uint8_t> image(10240);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    auto c = CompressChecked(image);
    const CodeLengthCounts counts = HeaderCounts(c);
    EXPECT_EQ(255u, counts[8]);
    EXPECT_EQ(2u, counts[9]);
    EXPECT_EQ(10248u, StreamLength(c));
    // Longer than the image: the output must not be sized by the input.
    EXPECT_GT(c.size(), image.size() + kContainerHeaderSize);
}

TEST(Container, RepeatedByteGetsOneBitCode) {
    std::vector<uint8_t> image(1000, 0x41);
    auto c = CompressChecked(image);
    EXPECT_EQ(1u, HeaderCounts(c)[1]);
    EXPECT_EQ(0x41, c[315]); // the first code's symbol
    // 1000 one-bit codes and a 9-bit end code fill 32 words.
    EXPECT_EQ(128u, StreamLength(c));
}

TEST(Container, RandomBuffersRoundTrip) {
    for (size_t n : {0, 1, 2, 3, 4, 31, 32, 33, 1000, 65537}) {
        SCOPED_TRACE(n);
        CompressChecked(RandomBytes(n, static_cast<uint32_t>(n)));
    }
}

TEST(Container, SkewedCountsAreLimitedToElevenBits) {
    // Fibonacci-like counts make a Huffman tree far deeper than 11 levels.
    std::vector<uint8_t> image;
    uint32_t a = 1, b = 1;
    for (int s = 0; s < 24; ++s) {
        image.insert(image.end(), a, static_cast<uint8_t>(s));
        const uint32_t next = a + b;
        a = b;
        b = next;
    }
    std::shuffle(image.begin(), image.end(), std::mt19937(7));
    auto c = CompressChecked(image);
    EXPECT_GT(HeaderCounts(c)[11], 0u);
}

TEST(Container, DamagedContainersAreRejected) {
    const std::vector<uint8_t> good = CompressChunkImage(RandomBytes(200, 3));
    const auto setU32 = [](size_t at, uint32_t v) {
        return [=](std::vector<uint8_t>& c) { StoreU32LE(c.data() + at, v); };
    };
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"shorter than its header", [](auto& c) { c.resize(kContainerHeaderSize - 1); }},
        {"wrong id", [](auto& c) { c[7] = '2'; }},
        {"stream length past the end", setU32(8, static_cast<uint32_t>(good.size()))},
        {"stream length not whole words", [&](auto& c) { StoreU32LE(c.data() + 8, StreamLength(good) - 1); }},
        {"length beyond the stream's bits", [&](auto& c) { StoreU32LE(c.data() + 12, StreamLength(good) * 8 + 1); }},
        {"end code before the length", [](auto& c) { StoreU32LE(c.data() + 12, 201); }},
        {"stream cut short", [](auto& c) {
             StoreU32LE(c.data() + 8, 8);
             c.resize(kContainerHeaderSize + 8);
         }},
        {"counts that are not 257", [](auto& c) { StoreU32LE(c.data() + 16 + 4 * 10, LoadU32LE(c.data() + 56) + 1); }},
        {"an incomplete code", [](auto& c) {
             // 257 codes whose Kraft sum is 2044.
             for (int i = 0; i < 11; ++i) StoreU32LE(c.data() + 16 + 4 * i, 0);
             StoreU32LE(c.data() + 16 + 4 * 7, 254);
             StoreU32LE(c.data() + 16 + 4 * 8, 3);
         }},
        {"an overfull code", [](auto& c) {
             for (int i = 0; i < 11; ++i) StoreU32LE(c.data() + 16 + 4 * i, 0);
             StoreU32LE(c.data() + 16, 2);                       // fills the whole table alone
             StoreU32LE(c.data() + 16 + 4 * 10, 255);
         }},
        {"counts that wrap in 32 bits", [](auto& c) {
             for (int i = 0; i < 11; ++i) StoreU32LE(c.data() + 16 + 4 * i, 0);
             StoreU32LE(c.data() + 16 + 4 * 10, 257);
             StoreU32LE(c.data() + 16, 0x80000000u);
             StoreU32LE(c.data() + 20, 0x80000000u);
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        std::vector<uint8_t> c = good;
        k.damage(c);
        std::vector<uint8_t> image{1, 2, 3};
        EXPECT_FALSE(DecompressChunkImage(c, image));
        EXPECT_TRUE(image.empty());
    }
}

} // namespace
