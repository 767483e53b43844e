#include "image/bit_planes.h"

#include <algorithm>
#include <cstring>

bool ByteRun1Unpack(const uint8_t* in, size_t size, size_t& pos, uint8_t* out, size_t count) {
    size_t done = 0;
    while (done < count) {
        if (pos >= size) return false;
        uint8_t control = in[pos++];
        if (control == 128) continue;
        if (control < 128) {
            size_t n = size_t{control} + 1;
            if (n > size - pos || n > count - done) return false;
            std::memcpy(out + done, in + pos, n);
            pos += n;
            done += n;
        } else {
            size_t n = 257 - size_t{control};
            if (pos >= size || n > count - done) return false;
            std::memset(out + done, in[pos++], n);
            done += n;
        }
    }
    return true;
}

void BitPlaneDecoder::Start(const std::vector<uint8_t>& data, uint32_t width, uint32_t planes, bool packed) {
    data_ = &data;
    pos_ = 0;
    width_ = width;
    planes_ = planes;
    packed_ = packed;
    rowBytes_.assign(size_t{planes} * ((width + 7) / 8), 0);
}

bool BitPlaneDecoder::NextRow(uint32_t* values) {
    std::fill(values, values + width_, 0);
    if (!data_) return false;
    const uint8_t* in = data_->data();
    size_t size = data_->size();
    if (packed_) {
        if (!ByteRun1Unpack(in, size, pos_, rowBytes_.data(), rowBytes_.size())) return false;
    } else if (!rowBytes_.empty()) {
        if (rowBytes_.size() > size - pos_) return false;
        std::memcpy(rowBytes_.data(), in + pos_, rowBytes_.size());
        pos_ += rowBytes_.size();
    }
    size_t planeBytes = (width_ + 7) / 8;
    for (uint32_t plane = 0; plane < planes_; ++plane) {
        const uint8_t* bits = rowBytes_.data() + plane * planeBytes;
        for (uint32_t x = 0; x < width_; ++x) values[x] |= ((bits[x >> 3] >> (7 - (x & 7))) & 1u) << plane;
    }
    return true;
}
