// Decodes any bytes as a compressed container, and encodes them: decoding
// must fail cleanly or give an image that round-trips, and every encoding
// must decode to its input.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "chunkfile/container.h"

namespace {

void RequireRoundTrip(std::span<const uint8_t> image) {
    std::vector<uint8_t> back;
    if (!DecompressChunkImage(CompressChunkImage(image), back) || !std::ranges::equal(back, image)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    std::vector<uint8_t> image;
    if (DecompressChunkImage(input, image)) RequireRoundTrip(image);
    RequireRoundTrip(input);
    return 0;
}
