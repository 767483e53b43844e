#include "image/pnm_reader.h"

#include <algorithm>
#include <cctype>

#include "image/image_reader.h"
#include "image/media_stream.h"
#include "image/texture_error.h"

namespace {

// Header tokens longer than this are refused: no number the header holds
// needs more digits.
constexpr uint32_t kMaxToken = 511;

// Reads `count` decimal header numbers after the two magic bytes, with
// comments from "#" to the end of the line; the white space after the last
// number must be one newline. Failures leave error 8 (or the stream status).
bool PnmReadHeaderNumbers(MediaStream& stream, uint32_t count, uint64_t* numbers) {
    if (!stream.Skip(2)) return false;
    if (count == 0) {
        TextureFail(kTextureBadImage);
        return false;
    }
    int c = 0;
    for (uint32_t i = 0; i < count; ++i) {
        bool inComment = false;
        for (;;) {
            c = stream.TakeByte();
            if (c < 0) return false;
            if (c == '\n') inComment = false;
            else if (c == '#') inComment = true;
            else if (!inComment && !std::isspace(c)) break;
        }
        // Like atoi: the leading digits make the number; the value saturates
        // instead of overflowing.
        uint64_t value = 0;
        bool digits = true;
        uint32_t length = 0;
        for (; c >= 0 && !std::isspace(c); c = stream.TakeByte()) {
            if (++length > kMaxToken) {
                TextureFail(kTextureBadImage);
                return false;
            }
            if (digits && c >= '0' && c <= '9') value = value < 0xFFFFFFFFull ? value * 10 + static_cast<uint64_t>(c - '0') : value;
            else digits = false;
        }
        if (c < 0) return false;
        numbers[i] = value;
    }
    if (c != '\n') {
        TextureFail(kTextureBadImage);
        return false;
    }
    return true;
}

class PnmReader : public ImageReader {
public:
    void ReadHeader(MediaStream& stream) override {
        stream_ = &stream;
        ReadPnmHeader(stream);
    }

protected:
    virtual void ReadPnmHeader(MediaStream& stream) = 0;
    // Reads width, height and (for byte samples) the maximum sample value.
    bool ReadSizeAndMaximum(MediaStream& stream, bool withMaximum);

    MediaStream* stream_ = nullptr;
    uint32_t maximum_ = 0;
};

bool PnmReader::ReadSizeAndMaximum(MediaStream& stream, bool withMaximum) {
    uint64_t numbers[3] = {};
    if (!PnmReadHeaderNumbers(stream, withMaximum ? 3 : 2, numbers) || !SetImageSize(numbers[0], numbers[1])) return false;
    if (!withMaximum) return true;
    if (numbers[2] > 255) {
        TextureFail(kTextureUnsupported); // 16-bit samples
        return false;
    }
    if (numbers[2] == 0) {
        TextureFail(kTextureBadImage); // nothing to scale by
        return false;
    }
    maximum_ = static_cast<uint32_t>(numbers[2]);
    return true;
}

class PnmP6Reader final : public PnmReader {
    void ReadPnmHeader(MediaStream& stream) override {
        ReadSizeAndMaximum(stream, true);
    }
    const uint8_t* Palette() override { return nullptr; }
    void ReadRow(void* destination) override {
        uint8_t* out = static_cast<uint8_t*>(destination);
        if (!stream_->Take(out, width * 3)) return;
        for (uint32_t i = 0; i < width * 3; ++i) {
            if (out[i] > maximum_) {
                TextureFail(kTextureBadImage);
                return;
            }
            if (maximum_ != 255) out[i] = static_cast<uint8_t>(out[i] * 255u / maximum_);
        }
    }
};

class PnmP5Reader final : public PnmReader {
    void ReadPnmHeader(MediaStream& stream) override {
        if (ReadSizeAndMaximum(stream, true)) paletteCount = maximum_ + 1;
    }
    const uint8_t* Palette() override {
        uint16_t step = static_cast<uint16_t>(65280u / maximum_);
        for (uint32_t i = 0; i < paletteCount; ++i) {
            uint8_t grey = static_cast<uint8_t>(static_cast<uint16_t>(127 + i * step) >> 8);
            palette_[i * 3] = palette_[i * 3 + 1] = palette_[i * 3 + 2] = grey;
        }
        return palette_.data();
    }
    void ReadRow(void* destination) override {
        uint8_t* out = static_cast<uint8_t*>(destination);
        if (!stream_->Take(out, width)) return;
        for (uint32_t x = 0; x < width; ++x)
            if (out[x] > maximum_) {
                TextureFail(kTextureBadImage); // beyond the grey ramp
                return;
            }
    }
};

class PnmP4Reader final : public PnmReader {
    void ReadPnmHeader(MediaStream& stream) override {
        if (!ReadSizeAndMaximum(stream, false)) return;
        paletteCount = 2;
        fileRow_.assign((size_t{width} + 7) / 8, 0);
    }
    const uint8_t* Palette() override {
        static const uint8_t kBlackWhite[6] = {0, 0, 0, 255, 255, 255};
        std::copy(kBlackWhite, kBlackWhite + 6, palette_.begin());
        return palette_.data();
    }
    void ReadRow(void* destination) override {
        uint8_t* out = static_cast<uint8_t*>(destination);
        if (!stream_->Take(fileRow_.data(), static_cast<uint32_t>(fileRow_.size()))) std::fill(fileRow_.begin(), fileRow_.end(), 0);
        // A set bit is black, palette entry 0.
        for (uint32_t x = 0; x < width; ++x) out[x] = ((~fileRow_[x >> 3] >> (7 - (x & 7))) & 1);
    }

    std::vector<uint8_t> fileRow_;
};

} // namespace

ImageReader* PnmP6ReaderCreate() { return new PnmP6Reader; }
ImageReader* PnmP5ReaderCreate() { return new PnmP5Reader; }
ImageReader* PnmP4ReaderCreate() { return new PnmP4Reader; }
