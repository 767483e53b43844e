// Device formats as the loader reads them, the choice among the device's
// formats, and the packing of pixels into them.
#include <gtest/gtest.h>

#include <vector>

#include "image/image_source.h"
#include "image/pixel_format.h"
#include "image/pixel_pack.h"
#include "image/texture_loader_state.h"
#include "image/texture_params.h"
#include "platform/d3d/pixel_format.h"

namespace {

TEST(PixelFormatFromDDPF, ShiftsAndLossesFromTheMasks) {
    PixelFormat f;
    plat::PixelFormat rgb565 = plat::Rgb565Format();
    ASSERT_EQ(PixelFormatFromDDPF(f, &rgb565), 0);
    EXPECT_TRUE(f.Valid());
    EXPECT_FALSE(f.HasAlpha());
    EXPECT_EQ(f.bits, 16u);
    EXPECT_EQ((std::vector<uint32_t>{f.shift[0], f.shift[1], f.shift[2], f.shift[3]}), (std::vector<uint32_t>{11, 5, 0, 0}));
    EXPECT_EQ((std::vector<uint32_t>{f.loss[0], f.loss[1], f.loss[2], f.loss[3]}), (std::vector<uint32_t>{3, 2, 3, 8}));

    plat::PixelFormat argb1555 = plat::Argb1555Format();
    ASSERT_EQ(PixelFormatFromDDPF(f, &argb1555), 0);
    EXPECT_EQ(f.shift[PixelFormat::kAlpha], 15u);
    EXPECT_EQ(f.loss[PixelFormat::kAlpha], 7u);

    plat::PixelFormat xrgb = plat::Xrgb8888Format();
    xrgb.alphaBitMask = 0xFF000000; // a mask without the alpha flag is dropped
    ASSERT_EQ(PixelFormatFromDDPF(f, &xrgb), 0);
    EXPECT_EQ(f.ddpf.alphaBitMask, 0u);
}

TEST(PixelFormatFromDDPF, RefusesFormatsTheLoaderCannotWrite) {
    auto with = [](uint32_t flags, uint32_t bits, uint32_t alphaMask = 0) {
        plat::PixelFormat p;
        p.flags = flags;
        p.rgbBitCount = bits;
        p.alphaBitMask = alphaMask;
        return p;
    };
    const plat::PixelFormat refused[] = {
        with(plat::kDdpfPaletteIndexed4 | plat::kDdpfPaletteIndexed8, 8),
        with(plat::kDdpfPaletteIndexed8 | plat::kDdpfAlphaPixels, 8, 0xFF),
        with(plat::kDdpfRgb, 12),
        with(plat::kDdpfRgb | plat::kDdpfAlphaPixels, 16),
        with(plat::kDdpfZBuffer, 16),
        with(plat::kDdpfAlpha, 8),
        with(plat::kDdpfYuv, 16),
    };
    for (const plat::PixelFormat& p : refused) {
        PixelFormat f;
        EXPECT_EQ(PixelFormatFromDDPF(f, &p), 2);
        EXPECT_FALSE(f.Valid());
    }
    PixelFormat f;
    EXPECT_EQ(PixelFormatFromDDPF(f, nullptr), 2);
    plat::PixelFormat p4 = with(plat::kDdpfPaletteIndexed4, 4);
    ASSERT_EQ(PixelFormatFromDDPF(f, &p4), 0);
    EXPECT_EQ(f.PaletteEntries(), 16u);
}

// An image source that answers the questions the format choice asks.
class FakeImage final : public ImageSource {
public:
    FakeImage(uint32_t colours, uint32_t alpha, uint32_t fourCc) : alpha_(alpha), fourCc_(fourCc) { paletteCount = colours; }
    uint32_t AlphaBits() override { return alpha_; }
    bool Compressed() override { return fourCc_ != 0; }
    uint32_t FourCC() override { return fourCc_; }
    const uint8_t* Palette() override { return nullptr; }
    void ReadRow(void*) override {}

private:
    uint32_t alpha_, fourCc_;
};

class ChooseFormatTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = TextureLoader; }
    void TearDown() override { TextureLoader = saved_; }
    // The engine's list: 565 by default, then DXT1 (when offered) or 1555 and 565.
    void EngineList(bool dxt1) {
        auto add = [](const plat::PixelFormat& p, uint32_t alpha, bool key) {
            FormatCandidate c;
            PixelFormatFromDDPF(c.format, &p);
            c.alphaBits = alpha;
            c.colourKeyCapable = key;
            TextureLoader.candidates.push_back(c);
        };
        plat::PixelFormat def = plat::Rgb565Format(), argb = plat::Argb8888Format(), rgb = plat::Xrgb8888Format();
        PixelFormatFromDDPF(TextureLoader.defaultFormat, &def);
        PixelFormatFromDDPF(TextureLoader.stagingArgb, &argb);
        PixelFormatFromDDPF(TextureLoader.stagingRgb, &rgb);
        TextureLoader.candidates.clear();
        add(plat::Argb4444Format(), 4, true);
        if (dxt1) add(plat::DxtFormat(plat::kFourCcDxt1), 1, true);
        else {
            add(plat::Argb1555Format(), 1, true);
            add(plat::Rgb565Format(), 0, false);
        }
    }
    uint32_t ChooseFor(FakeImage& image, uint32_t flags) {
        TextureLoadParams params;
        params.flags = flags;
        TextureChooseFormat(image, params);
        return TextureLoader.candidate.FourCc() ? TextureLoader.candidate.FourCc() : TextureLoader.candidate.ddpf.alphaBitMask;
    }
    TextureLoaderState saved_;
};

TEST_F(ChooseFormatTest, TheLastFittingEntryWins) {
    EngineList(false);
    FakeImage keyed(12, 0, 0), plain(0, 0, 0), translucent(0, 4, 0), deep(0, 8, 0);
    EXPECT_EQ(ChooseFor(keyed, kTexColourKey), 0x8000u) << "1555 carries the key";
    EXPECT_EQ(ChooseFor(plain, 0), 0u) << "565";
    EXPECT_EQ(TextureLoader.current.ddpf.gBitMask, 0x7E0u);
    EXPECT_EQ(ChooseFor(translucent, 0), 0xF000u) << "4444";
    EXPECT_EQ(ChooseFor(deep, 0), 0u) << "nothing holds 8 alpha bits: the default";

    EngineList(true);
    EXPECT_EQ(ChooseFor(keyed, kTexColourKey), plat::kFourCcDxt1);
    EXPECT_EQ(ChooseFor(plain, 0), plat::kFourCcDxt1);
    EXPECT_EQ(TextureLoader.current.ddpf.rgbBitCount, 32u) << "uncompressed pixels are staged in 32 bits";
}

TEST_F(ChooseFormatTest, ACompressedImageOnAListWithoutCodesGetsABareCodeFormat) {
    EngineList(false);
    FakeImage dxt(0, 0, plat::kFourCcDxt1);
    ChooseFor(dxt, 0);
    EXPECT_EQ(TextureLoader.current.FourCc(), plat::kFourCcDxt1);
    EXPECT_TRUE(TextureLoader.current.Valid());
    EXPECT_EQ(TextureLoader.candidate.FourCc(), 0u);
}

TEST(PixelPack, KeyedRowsNeverMakeTheKeyByAccident) {
    PixelFormat f;
    plat::PixelFormat rgb565 = plat::Rgb565Format();
    PixelFormatFromDDPF(f, &rgb565);
    const uint8_t rgb[] = {0, 0, 0, 1, 1, 1};
    uint8_t out[6] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    PixelPackRgbKeyed(f, out, 3, rgb, 2);
    EXPECT_EQ(out[0] | out[1] << 8, 0);
    EXPECT_EQ(out[2] | out[3] << 8, 1 << 5) << "the nearest channel, green, gets its lowest bit";
    EXPECT_EQ(out[4] | out[5] << 8, 1 << 5) << "the edge pixel repeats the last";
}

TEST(PixelPack, IndicesPackFromTheLowBitsWithAnEdgePixel) {
    const uint8_t indices[] = {1, 2, 3};
    uint8_t exact[2] = {};
    PixelCopyIndices(4, exact, 3, indices, 3);
    EXPECT_EQ(exact[0], 0x21);
    EXPECT_EQ(exact[1], 0x03);
    uint8_t wider[2] = {};
    PixelCopyIndices(4, wider, 4, indices, 3);
    EXPECT_EQ(wider[1], 0x33);
}

} // namespace
