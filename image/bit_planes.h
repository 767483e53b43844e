#pragma once
// Rows of bit planes, as IFF bitmaps store them: for each row, for each plane
// from plane 0 up, ceil(width / 8) bytes of one bit per pixel (most significant
// bit first); plane i gives bit i of the pixel's value. Packed rows use
// ByteRun1 within the row.

#include <cstddef>
#include <cstdint>
#include <vector>

// Unpacks ByteRun1 from in[pos...] until `count` bytes are out: a control byte
// c < 128 copies c + 1 literal bytes, c > 128 repeats the next byte 257 - c
// times, 128 does nothing. False when the input ends first or a run would
// overfill the output.
bool ByteRun1Unpack(const uint8_t* in, size_t size, size_t& pos, uint8_t* out, size_t count);

class BitPlaneDecoder {
public:
    // Starts at the first row of `data` (which must outlive the decoding).
    void Start(const std::vector<uint8_t>& data, uint32_t width, uint32_t planes, bool packed);
    // Decodes the next row into `width` values; false when the data runs out.
    bool NextRow(uint32_t* values);

private:
    const std::vector<uint8_t>* data_ = nullptr;
    size_t pos_ = 0;
    uint32_t width_ = 0;
    uint32_t planes_ = 0;
    bool packed_ = false;
    std::vector<uint8_t> rowBytes_;
};
