#include "platform/d3d/blit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/d3d/dxt.h"
#include "platform/d3d/pixel_format.h"

namespace plat {
namespace {

// Reads source pixels as ARGB; compressed sources decode one block at a time.
class SourceReader {
public:
    explicit SourceReader(const PixelView& src)
        : src_(src), kind_(KindOf(src.format)), bytes_(BitsPerPixel(src.format) / 8), codec_(src.format) {}

    uint32_t Read(uint32_t x, uint32_t y) {
        if (kind_ == FormatKind::Rgb) return codec_.ToArgb(ReadRawPixel(Row(y) + x * bytes_, bytes_));
        const uint32_t bx = x / 4, by = y / 4;
        if (!cached_ || bx != blockX_ || by != blockY_) {
            const uint32_t blockBytes = kind_ == FormatKind::Dxt1 ? 8 : 16;
            const uint8_t* block = Row(by) + bx * blockBytes;
            if (kind_ == FormatKind::Dxt1)
                DecodeDxt1Block(block, block_);
            else
                DecodeDxt3Block(block, block_);
            cached_ = true;
            blockX_ = bx;
            blockY_ = by;
        }
        return block_[(y % 4) * 4 + x % 4];
    }

private:
    const uint8_t* Row(uint32_t row) const { return src_.bits + static_cast<ptrdiff_t>(row) * src_.pitch; }

    const PixelView& src_;
    FormatKind kind_;
    uint32_t bytes_;
    ArgbCodec codec_;
    bool cached_ = false;
    uint32_t blockX_ = 0, blockY_ = 0;
    uint32_t block_[16] = {};
};

uint8_t* PixelAt(const PixelView& v, int32_t x, int32_t y, uint32_t bytes) {
    return v.bits + static_cast<ptrdiff_t>(y) * v.pitch + static_cast<ptrdiff_t>(x) * bytes;
}

// Source coordinate of destination coordinate d in [d0, d1) mapped onto [s0, s1).
int32_t MapNearest(int32_t d, int32_t d0, int32_t d1, int32_t s0, int32_t s1) {
    return s0 + static_cast<int32_t>(int64_t(d - d0) * (s1 - s0) / (d1 - d0));
}

} // namespace

void FillPixels(const PixelView& dst, const Rect& rect, uint32_t raw) {
    const uint32_t bytes = BitsPerPixel(dst.format) / 8;
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        for (int32_t x = rect.left; x < rect.right; ++x) WriteRawPixel(PixelAt(dst, x, y, bytes), bytes, raw);
}

void CopyPixels(const PixelView& dst, const Rect& dstRect, const Rect& clip, const PixelView& src,
                const Rect& srcRect) {
    const Rect out{std::max(dstRect.left, clip.left), std::max(dstRect.top, clip.top),
                   std::min(dstRect.right, clip.right), std::min(dstRect.bottom, clip.bottom)};
    if (out.left >= out.right || out.top >= out.bottom) return;
    const uint32_t dstBytes = BitsPerPixel(dst.format) / 8;
    const bool sameSize = dstRect.right - dstRect.left == srcRect.right - srcRect.left &&
                          dstRect.bottom - dstRect.top == srcRect.bottom - srcRect.top;
    const bool rawCopy = sameSize && SameFormat(dst.format, src.format) && KindOf(src.format) == FormatKind::Rgb;
    // Within one surface, rows moving down are copied from the bottom up so no
    // source row is overwritten before it is read.
    const bool bottomUp = dst.bits == src.bits && dstRect.top > srcRect.top;
    SourceReader reader(src);
    const ArgbCodec codec(dst.format);
    std::vector<uint32_t> row(static_cast<size_t>(out.right - out.left));
    for (int32_t i = 0; i < out.bottom - out.top; ++i) {
        const int32_t y = bottomUp ? out.bottom - 1 - i : out.top + i;
        const int32_t sy = MapNearest(y, dstRect.top, dstRect.bottom, srcRect.top, srcRect.bottom);
        if (rawCopy) {
            const int32_t sx = MapNearest(out.left, dstRect.left, dstRect.right, srcRect.left, srcRect.right);
            std::memmove(PixelAt(dst, out.left, y, dstBytes), PixelAt(src, sx, sy, dstBytes),
                         static_cast<size_t>(out.right - out.left) * dstBytes);
            continue;
        }
        for (int32_t x = out.left; x < out.right; ++x) {
            const int32_t sx = MapNearest(x, dstRect.left, dstRect.right, srcRect.left, srcRect.right);
            row[static_cast<size_t>(x - out.left)] = reader.Read(static_cast<uint32_t>(sx), static_cast<uint32_t>(sy));
        }
        for (int32_t x = out.left; x < out.right; ++x)
            WriteRawPixel(PixelAt(dst, x, y, dstBytes), dstBytes, codec.FromArgb(row[static_cast<size_t>(x - out.left)]));
    }
}

} // namespace plat
