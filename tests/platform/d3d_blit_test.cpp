#include <cstring>
#include <vector>

#include "platform/d3d/clipper.h"
#include "platform/d3d/dxt.h"
#include "tests/platform/d3d_fixture.h"

using namespace plat;

namespace {

constexpr uint32_t kSystemPlain = kDdsCapsOffscreenPlain | kDdsCapsSystemMemory;

// A DXT colour half: two 565 end points and the index of each pixel.
std::vector<uint8_t> ColourBlock(uint16_t c0, uint16_t c1, const uint32_t (&indices)[16]) {
    uint32_t bits = 0;
    for (int i = 0; i < 16; ++i) bits |= indices[i] << (2 * i);
    return {uint8_t(c0), uint8_t(c0 >> 8), uint8_t(c1), uint8_t(c1 >> 8),
            uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)};
}

constexpr uint32_t kEachIndexPerRow[16] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};

TEST(DxtDecode, Dxt1BlocksDecodeInBothModes) {
    uint32_t out[16];
    // Red above blue: four opaque colours, the middle two a third of the way.
    const std::vector<uint8_t> four = ColourBlock(0xF800, 0x001F, kEachIndexPerRow);
    DecodeDxt1Block(four.data(), out);
    const uint32_t fourColours[4] = {0xFFFF0000, 0xFF0000FF, 0xFFAA0055, 0xFF5500AA};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i], fourColours[i % 4]) << "pixel " << i;

    // Blue below red: the mid colour and transparent black.
    const std::vector<uint8_t> three = ColourBlock(0x001F, 0xF800, kEachIndexPerRow);
    DecodeDxt1Block(three.data(), out);
    const uint32_t threeColours[4] = {0xFF0000FF, 0xFFFF0000, 0xFF7F007F, 0x00000000};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i], threeColours[i % 4]) << "pixel " << i;
}

TEST(DxtDecode, Dxt3BlocksTakeTheirExplicitAlphaAndAlwaysFourColours) {
    std::vector<uint8_t> block(8);
    for (int i = 0; i < 8; ++i) block[i] = uint8_t((2 * i) | (2 * i + 1) << 4); // pixel i has alpha nibble i
    const std::vector<uint8_t> colours = ColourBlock(0x001F, 0xF800, kEachIndexPerRow);
    block.insert(block.end(), colours.begin(), colours.end());
    uint32_t out[16];
    DecodeDxt3Block(block.data(), out);
    const uint32_t rgb[4] = {0x0000FF, 0xFF0000, 0x5500AA, 0xAA0055};
    for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(out[i], (i * 17) << 24 | rgb[i % 4]) << "pixel " << i;
}

TEST(ArgbCodec, ChannelsNarrowByTheirTopBitsAndWidenByRepeatingThem) {
    struct Case {
        const char* name;
        PixelFormat format;
        uint32_t argb, raw, back;
    };
    const std::vector<Case> cases = {
        {"565", Rgb565Format(), 0xFF123456, 0x11AA, 0xFF103452},
        {"565 white", Rgb565Format(), 0x80FFFFFF, 0xFFFF, 0xFFFFFFFF},
        {"565 lowest steps", Rgb565Format(), 0xFF080408, 0x0821, 0xFF080408},
        {"565 below a step", Rgb565Format(), 0xFF070307, 0x0000, 0xFF000000},
        {"1555 half alpha", Argb1555Format(), 0x80FF0000, 0xFC00, 0xFFFF0000},
        {"1555 under half", Argb1555Format(), 0x7F0000FF, 0x001F, 0x000000FF},
        {"4444", Argb4444Format(), 0xF0E0D0C0, 0xFEDC, 0xFFEEDDCC},
        {"X8R8G8B8 drops alpha", Xrgb8888Format(), 0x40123456, 0x123456, 0xFF123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ArgbCodec codec(c.format);
        EXPECT_EQ(codec.FromArgb(c.argb), c.raw);
        EXPECT_EQ(codec.ToArgb(c.raw), c.back);
    }
}

class BltTest : public D3dTest {
protected:
    void Fill32(Surface* s, const std::vector<uint32_t>& pixels) {
        SurfaceDesc desc;
        ASSERT_EQ(s->Lock(nullptr, &desc, kDdLockWriteOnly), kDdOk);
        for (uint32_t y = 0; y < desc.height; ++y)
            std::memcpy(desc.surface + y * desc.pitch, &pixels[y * desc.width], desc.width * 4);
        ASSERT_EQ(s->Unlock(nullptr), kDdOk);
    }
    template <class Pixel>
    std::vector<Pixel> Read(Surface* s) {
        SurfaceDesc desc;
        EXPECT_EQ(s->Lock(nullptr, &desc, kDdLockReadOnly), kDdOk);
        std::vector<Pixel> pixels(desc.width * desc.height);
        for (uint32_t y = 0; y < desc.height; ++y)
            std::memcpy(&pixels[y * desc.width], desc.surface + y * desc.pitch, desc.width * sizeof(Pixel));
        s->Unlock(nullptr);
        return pixels;
    }
};

TEST_F(BltTest, ACopyFromA8R8G8B8To565FollowsTheFormatsRule) {
    const PixelFormat argb = Argb8888Format(), rgb = Rgb565Format();
    Ref<Surface> src, dst;
    ASSERT_EQ(Create(kSystemPlain, 2, 2, &argb, src), kDdOk);
    ASSERT_EQ(Create(kSystemPlain, 2, 2, &rgb, dst), kDdOk);
    Fill32(src.get(), {0xFF123456, 0x80FFFFFF, 0xFF080408, 0x00070307});
    const uint64_t version = dst->ContentVersion();
    ASSERT_EQ(dst->Blt(nullptr, src.get(), nullptr, kDdBltWait, nullptr), kDdOk);
    EXPECT_EQ(Read<uint16_t>(dst.get()), (std::vector<uint16_t>{0x11AA, 0xFFFF, 0x0821, 0x0000}));
    EXPECT_NE(dst->ContentVersion(), version);
}

TEST_F(BltTest, DxtSourcesDecodeIntoTheDestinationFormat) {
    const PixelFormat dxt1 = DxtFormat(kFourCcDxt1), argb = Argb8888Format();
    Ref<Surface> src, dst;
    ASSERT_EQ(Create(kDdsCapsTexture | kDdsCapsSystemMemory, 8, 4, &dxt1, src), kDdOk);
    ASSERT_EQ(Create(kSystemPlain, 8, 4, &argb, dst), kDdOk);
    SurfaceDesc desc;
    ASSERT_EQ(src->Lock(nullptr, &desc, 0), kDdOk);
    const uint32_t allFirst[16] = {};
    const std::vector<uint8_t> red = ColourBlock(0xF800, 0x001F, allFirst);
    const std::vector<uint8_t> mixed = ColourBlock(0x001F, 0xF800, kEachIndexPerRow);
    std::memcpy(desc.surface, red.data(), 8);
    std::memcpy(desc.surface + 8, mixed.data(), 8);
    ASSERT_EQ(src->Unlock(nullptr), kDdOk);

    ASSERT_EQ(dst->Blt(nullptr, src.get(), nullptr, kDdBltWait, nullptr), kDdOk);
    const std::vector<uint32_t> pixels = Read<uint32_t>(dst.get());
    const uint32_t mixedColours[4] = {0xFF0000FF, 0xFFFF0000, 0xFF7F007F, 0x00000000};
    for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(pixels[y * 8 + x], 0xFFFF0000u);
        for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(pixels[y * 8 + 4 + x], mixedColours[x]);
    }
}

TEST_F(BltTest, ColourFillsStretchesAndOverlappingCopies) {
    const PixelFormat argb = Argb8888Format();
    Ref<Surface> s, big;
    ASSERT_EQ(Create(kSystemPlain, 4, 4, &argb, s), kDdOk);
    ASSERT_EQ(Create(kSystemPlain, 8, 8, &argb, big), kDdOk);
    const BltFx zero{0}, fill{0xAABBCCDD};
    ASSERT_EQ(s->Blt(nullptr, nullptr, nullptr, kDdBltColorFill, &zero), kDdOk);
    const Rect corner{2, 2, 4, 4};
    ASSERT_EQ(s->Blt(&corner, nullptr, nullptr, kDdBltColorFill | kDdBltWait, &fill), kDdOk);
    std::vector<uint32_t> pixels = Read<uint32_t>(s.get());
    EXPECT_EQ(pixels[0], 0u);
    EXPECT_EQ(pixels[2 * 4 + 2], 0xAABBCCDDu);
    EXPECT_EQ(pixels[3 * 4 + 3], 0xAABBCCDDu);

    // Each source pixel becomes a 2 x 2 square.
    ASSERT_EQ(big->Blt(nullptr, s.get(), nullptr, kDdBltWait, nullptr), kDdOk);
    const std::vector<uint32_t> stretched = Read<uint32_t>(big.get());
    EXPECT_EQ(stretched[4 * 8 + 4], 0xAABBCCDDu);
    EXPECT_EQ(stretched[7 * 8 + 7], 0xAABBCCDDu);
    EXPECT_EQ(stretched[3 * 8 + 3], 0u);

    // A copy within one surface, moving down over itself, reads every row before overwriting it.
    Fill32(s.get(), {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4});
    const Rect from{0, 0, 4, 3}, to{0, 1, 4, 4};
    ASSERT_EQ(s->Blt(&to, s.get(), &from, kDdBltWait, nullptr), kDdOk);
    pixels = Read<uint32_t>(s.get());
    EXPECT_EQ(pixels, (std::vector<uint32_t>{1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3}));
}

TEST_F(BltTest, RectanglesPastTheSurfaceAreRefusedUnlessAClipperCutsThem) {
    const PixelFormat argb = Argb8888Format();
    Ref<Surface> src, dst;
    ASSERT_EQ(Create(kSystemPlain, 4, 4, &argb, src), kDdOk);
    ASSERT_EQ(Create(kSystemPlain, 4, 4, &argb, dst), kDdOk);
    Fill32(src.get(), std::vector<uint32_t>(16, 0x11111111));
    const Rect past{2, 2, 6, 6}, outside{0, 0, 5, 4};
    EXPECT_EQ(dst->Blt(&past, src.get(), nullptr, kDdBltWait, nullptr), kDdErrInvalidRect);
    EXPECT_EQ(dst->Blt(nullptr, src.get(), &outside, kDdBltWait, nullptr), kDdErrInvalidRect);
    EXPECT_EQ(dst->Blt(nullptr, nullptr, nullptr, kDdBltWait, nullptr), kDdErrInvalidParams);

    Ref<Clipper> clipper;
    ASSERT_EQ(dd->CreateClipper(0, clipper.Out()), kDdOk);
    ASSERT_EQ(dst->SetClipper(clipper.get()), kDdOk);
    ASSERT_EQ(dst->Blt(&past, src.get(), nullptr, kDdBltWait, nullptr), kDdOk);
    const std::vector<uint32_t> pixels = Read<uint32_t>(dst.get());
    EXPECT_EQ(pixels[3 * 4 + 3], 0x11111111u);
    EXPECT_EQ(pixels[1 * 4 + 1], 0u);

    // Compressed and palettized surfaces are no blit targets.
    const PixelFormat dxt1 = DxtFormat(kFourCcDxt1);
    Ref<Surface> compressed;
    ASSERT_EQ(Create(kDdsCapsTexture | kDdsCapsSystemMemory, 4, 4, &dxt1, compressed), kDdOk);
    EXPECT_EQ(compressed->Blt(nullptr, src.get(), nullptr, kDdBltWait, nullptr), kDdErrUnsupported);
}

TEST_F(BltTest, ACopyOntoThePrimaryIsPresented) {
    SurfaceDesc primaryDesc;
    primaryDesc.flags = kDdsdCaps;
    primaryDesc.caps.caps = kDdsCapsPrimarySurface;
    Ref<Surface> primary, back;
    ASSERT_EQ(dd->CreateSurface(primaryDesc, primary.Out()), kDdOk);
    ASSERT_EQ(Create(kDdsCapsOffscreenPlain | kDdsCaps3dDevice, 640, 480, nullptr, back), kDdOk);
    const BltFx red{0x00FF0000};
    ASSERT_EQ(back->Blt(nullptr, nullptr, nullptr, kDdBltColorFill, &red), kDdOk);
    EXPECT_EQ(backend->Presents(), 0u);
    const Rect window{100, 50, 740, 530};
    ASSERT_EQ(primary->Blt(&window, back.get(), nullptr, kDdBltAsync | kDdBltDoNotWait, nullptr), kDdOk);
    EXPECT_EQ(backend->Presents(), 1u);
    const std::vector<uint32_t> screen = Read<uint32_t>(primary.get());
    EXPECT_EQ(screen[50 * 1024 + 100], 0x00FF0000u);
    EXPECT_EQ(screen[49 * 1024 + 100], 0u);
}

} // namespace
