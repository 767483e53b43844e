#include "image/bmp_reader.h"

#include <algorithm>

#include "core/bytes.h"
#include "image/image_reader.h"
#include "image/media_stream.h"
#include "image/texture_error.h"

namespace {

class BmpReader final : public ImageReader {
public:
    void ReadHeader(MediaStream& stream) override;
    const uint8_t* Palette() override;
    bool RowsBottomUp() override { return true; }
    void ReadRow(void* destination) override;

private:
    bool ParseInfoHeader(MediaStream& stream);
    void SkipGap();

    uint16_t bits_ = 0;
    uint32_t gap_ = 0; // bytes between the palette and the first row, skipped once
    bool gapSkipped_ = false;
    bool paletteRead_ = false; // the stream holds it once; later requests get the kept copy
    uint32_t headerSize_ = 0;
    uint32_t rowPadding_ = 0;
    uint32_t pixelMask_ = 0;
    MediaStream* stream_ = nullptr;
    std::vector<uint8_t> fileRow_;
};

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kMaxPalette = 256;

bool BmpReader::ParseInfoHeader(MediaStream& stream) {
    uint8_t fixed[18];
    if (!stream.Take(fixed, sizeof fixed)) return false;
    ByteReader in(fixed, sizeof fixed);
    in.Skip(10);
    uint32_t pixelOffset = in.U32();
    headerSize_ = in.U32();
    if (headerSize_ != 12 && headerSize_ != 40 && headerSize_ != 64) {
        TextureFail(kTextureUnsupported);
        return false;
    }
    bool small = headerSize_ < 40;
    uint8_t info[32];
    uint32_t infoBytes = small ? 8 : 32;
    if (!stream.Take(info, infoBytes)) return false;
    ByteReader header(info, infoBytes);
    int64_t w = small ? header.U16() : header.I32();
    int64_t h = small ? header.U16() : header.I32();
    uint16_t planes = header.U16();
    bits_ = header.U16();
    uint32_t compression = small ? 0 : header.U32();
    header.Skip(12);
    uint32_t coloursUsed = small ? 0 : header.U32();
    if (!small && !stream.Skip(headerSize_ - 36)) return false;

    // A negative height marks a top-down bitmap, which is not read.
    if (planes != 1 || w < 0 || h < 0) TextureFail(kTextureBadImage);
    if (bits_ != 1 && bits_ != 2 && bits_ != 4 && bits_ != 8 && bits_ != 24) TextureFail(kTextureBadImage);
    if (compression != 0) TextureFail(kTextureUnsupported);
    if (TextureLoadError != kTextureOk || !SetImageSize(w, h)) return false;

    // A colour table beside 24-bit pixels only suggests colours: it is skipped
    // with the gap, and the pixels stay RGB.
    paletteCount = bits_ == 24 ? 0 : coloursUsed;
    if (paletteCount == 0 && bits_ <= 8) paletteCount = 1u << bits_;
    if (paletteCount > kMaxPalette) {
        TextureFail(kTextureBadImage);
        return false;
    }
    int64_t gap = int64_t{pixelOffset} - headerSize_ - kFileHeaderBytes - int64_t{paletteCount} * (small ? 3 : 4);
    if (gap < 0) {
        TextureFail(kTextureBadImage);
        return false;
    }
    gap_ = static_cast<uint32_t>(gap);
    rowPadding_ = static_cast<uint32_t>(-(int64_t{bits_} * width) >> 3) & 3;
    pixelMask_ = (1u << (bits_ == 24 ? 0 : bits_)) - 1;
    fileRow_.assign((uint64_t{bits_} * width + 7) / 8 + rowPadding_, 0);
    return true;
}

void BmpReader::ReadHeader(MediaStream& stream) {
    stream_ = &stream;
    ParseInfoHeader(stream);
}

void BmpReader::SkipGap() {
    if (!gapSkipped_) stream_->Skip(gap_);
    gapSkipped_ = true;
}

const uint8_t* BmpReader::Palette() {
    if (paletteRead_) return palette_.data();
    paletteRead_ = true;
    bool small = headerSize_ < 40;
    uint8_t entry[4] = {};
    for (uint32_t i = 0; i < paletteCount; ++i) {
        if (!stream_->Take(entry, small ? 3 : 4)) break;
        palette_[i * 3] = entry[2];
        palette_[i * 3 + 1] = entry[1];
        palette_[i * 3 + 2] = entry[0];
    }
    SkipGap();
    return palette_.data();
}

void BmpReader::ReadRow(void* destination) {
    SkipGap();
    uint8_t* out = static_cast<uint8_t*>(destination);
    if (!stream_->Take(fileRow_.data(), static_cast<uint32_t>(fileRow_.size()))) std::fill(fileRow_.begin(), fileRow_.end(), 0);
    const uint8_t* in = fileRow_.data();
    if (bits_ == 24) {
        for (uint32_t x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        return;
    }
    uint32_t held = 0; // bits of the current byte not used yet
    uint32_t byte = 0;
    for (uint32_t x = 0; x < width; ++x) {
        if (held == 0) {
            byte = *in++;
            held = 8;
        }
        held -= bits_;
        uint32_t index = (byte >> held) & pixelMask_;
        if (index >= paletteCount) {
            // A pixel beyond the palette would make the converter read past it.
            TextureFail(kTextureBadImage);
            return;
        }
        out[x] = static_cast<uint8_t>(index);
    }
}

} // namespace

ImageReader* BmpReaderCreate() { return new BmpReader; }
