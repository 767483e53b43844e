// Building textures: size fitting, tiles of a picture, stored levels as mip
// levels or skipped levels, given surfaces, colour keys, and compressed images.
#include <gtest/gtest.h>

#include <string>

#include "image/texture_build.h"
#include "image/texture_error.h"
#include "image/texture_load.h"
#include "image/texture_loader_state.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"
#include "tests/image/image_test_support.h"
#include "image/headless_texture_device.h"
#include "tests/image/surface_pixels.h"

namespace {

using namespace imagetest;

// A P6 image of `w` x `h` whose pixel (x, y) is (x, y, level).
std::string Gradient(uint32_t w, uint32_t h, uint8_t level = 0) {
    std::string s = "P6 " + std::to_string(w) + " " + std::to_string(h) + " 255\n";
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) s += {char(x), char(y), char(level)};
    return s;
}

uint32_t Argb(uint32_t x, uint32_t y, uint32_t level = 0) { return 0xFF000000u | x << 16 | y << 8 | level; }

TEST(TextureFitSize, FitsToTheDeviceAndTheOptions) {
    TextureLoaderState saved = TextureLoader;
    const struct {
        uint8_t deviceFlags;
        uint32_t minimum;
        uint32_t w, h, flags;
        uint32_t code, fittedW, fittedH;
    } cases[] = {
        {TextureLoaderState::kDeviceReady, 0, 3, 5, kTexMipmap, 0, 4, 8},
        {TextureLoaderState::kDeviceReady, 0, 1, 1, 0, 0, 4, 4},
        {TextureLoaderState::kDeviceReady, 0, 5, 6, 0, 0, 8, 8},
        {TextureLoaderState::kDeviceReady | TextureLoaderState::kSquareOnly | TextureLoaderState::kPowerOfTwo, 0, 100, 30, 0, 0, 128, 128},
        {TextureLoaderState::kDeviceReady, 8, 6, 6, 0, 0, 8, 8},
        {TextureLoaderState::kDeviceReady, 0, 0x80000001u, 4, kTexMipmap, kTextureBadImage, 0, 0},
        {TextureLoaderState::kDeviceReady, 0, 0xFFFFFFFFu, 4, 0, kTextureBadImage, 0, 0},
        {0, 0, 4, 4, 0, kTextureNoFormat, 0, 0},
    };
    for (const auto& c : cases) {
        TextureLoader.deviceFlags = c.deviceFlags;
        TextureLoader.minWidth = TextureLoader.minHeight = c.minimum;
        uint32_t w = 0, h = 0;
        EXPECT_EQ(TextureFitSize(w, h, c.w, c.h, c.flags), c.code) << c.w << "x" << c.h;
        if (c.code == 0) {
            EXPECT_EQ(w, c.fittedW) << c.w << "x" << c.h;
            EXPECT_EQ(h, c.fittedH) << c.w << "x" << c.h;
        }
    }
    TextureLoader = saved;
}

class TextureBuildTest : public ::testing::Test {
protected:
    TextureBuildTest() : device_(plat::Argb8888Format()) {}
    HeadlessTextureDevice device_;
};

TEST_F(TextureBuildTest, TilesCoverThePictureAndThoseBeyondItGetNoTexture) {
    std::string image = Gradient(12, 10);
    TextureRect tiles[4];
    for (int i = 0; i < 4; ++i) {
        tiles[i].left = (i % 2) * 8;
        tiles[i].top = (i / 2) * 8;
        tiles[i].right = tiles[i].left + 8;
        tiles[i].bottom = tiles[i].top + 8;
    }
    tiles[3].left = 12; // starts beyond the picture
    tiles[3].right = 20;
    EXPECT_EQ(TextureLoad("pxfa", image.data(), static_cast<uint32_t>(image.size()), kTexWholeRect, 4, tiles), nullptr);
    ASSERT_EQ(TextureLoadError, 0u) << TextureErrorText(TextureLoadError);
    EXPECT_EQ(tiles[3].texture, nullptr);
    EXPECT_EQ(tiles[3].textureWidth, 0u);

    // The cut tile at the right: the full tile size, the picture's part and
    // one repeated column and row.
    ASSERT_NE(tiles[1].texture, nullptr);
    EXPECT_EQ(tiles[1].textureWidth, 8u);
    EXPECT_EQ(tiles[1].textureHeight, 8u);
    SurfacePixels right = ReadSurface(tiles[1].texture);
    EXPECT_EQ(right.At(0, 0), Argb(8, 0));
    EXPECT_EQ(right.At(3, 7), Argb(11, 7));
    EXPECT_EQ(right.At(4, 7), Argb(11, 7));

    SurfacePixels corner = ReadSurface(tiles[2].texture);
    EXPECT_EQ(corner.At(0, 1), Argb(0, 9));
    EXPECT_EQ(corner.At(0, 2), Argb(0, 9)) << "the edge row below the picture";
    for (TextureRect& t : tiles)
        if (t.texture) t.texture->Release();
}

// An IFF file with stored levels: the top image (w x w) and `levels` further
// levels, level k of (w >> k) pixels whose colour index is k.
std::string MipFile(uint32_t w, uint32_t levels) {
    auto form = [](uint32_t side, uint32_t index) {
        std::string cmap;
        for (uint32_t i = 0; i < 4; ++i) cmap += {char(i * 60), char(i * 60), char(i * 60)};
        std::string row;
        for (uint32_t plane = 0; plane < 2; ++plane)
            row += std::string((side + 7) / 8, (index >> plane) & 1 ? '\xff' : '\0');
        std::string body;
        for (uint32_t y = 0; y < side; ++y) body += row;
        std::string bmhd = Be16(side) + Be16(side) + Be16(0) + Be16(0) + std::string("\x02\0\0\0", 4) + Be16(0) + "\x01\x01" +
                           Be16(0) + Be16(0);
        return Group("FORM", "ILBM", {Chunk("BMHD", bmhd), Chunk("CMAP", cmap), Chunk("BODY", body)});
    };
    std::string top = form(w, 0);
    std::string mipm = Group("FORM", "MIPM", {Chunk("CONT", std::string(2, '\0'))});
    std::string file = "ILBM" + top + mipm;
    for (uint32_t k = 1; k <= levels; ++k) file += Group("LIST", "ILBM", {form(w >> k, k)});
    return Chunk("LIST", file);
}

uint32_t Grey(uint32_t index) { return 0xFF000000u | index * 60 * 0x010101u; }

TEST_F(TextureBuildTest, StoredLevelsBecomeMipLevels) {
    std::string file = MipFile(16, 2);
    plat::Surface* texture = TextureLoad("pxf", file.data(), static_cast<uint32_t>(file.size()), kTexMipmap);
    ASSERT_NE(texture, nullptr) << TextureErrorText(TextureLoadError);
    EXPECT_EQ(ReadSurface(texture).At(0, 0), Grey(0));
    std::vector<SurfacePixels> mips = ReadMipChain(texture);
    ASSERT_EQ(mips.size(), 2u);
    EXPECT_EQ(mips[0].width, 8u);
    EXPECT_EQ(mips[0].At(7, 7), Grey(1));
    EXPECT_EQ(mips[1].width, 4u);
    EXPECT_EQ(mips[1].At(3, 3), Grey(2));
    texture->Release();
}

TEST_F(TextureBuildTest, LevelsAreSkippedByCountOrByTheLargestSide) {
    std::string file = MipFile(16, 2);
    uint32_t w = 0, iw = 0;
    plat::Surface* skipped = TextureLoad("pxmWOX", file.data(), static_cast<uint32_t>(file.size()), 1, &w, &iw);
    ASSERT_NE(skipped, nullptr) << TextureErrorText(TextureLoadError);
    EXPECT_EQ(w, 8u);
    EXPECT_EQ(iw, 16u) << "the image size is the file's";
    EXPECT_EQ(ReadSurface(skipped).At(0, 0), Grey(1));
    skipped->Release();

    plat::Surface* fitted = TextureLoad("pxnfW", file.data(), static_cast<uint32_t>(file.size()), 8, kTexMipmap, &w);
    ASSERT_NE(fitted, nullptr) << TextureErrorText(TextureLoadError);
    EXPECT_EQ(w, 8u);
    EXPECT_EQ(ReadMipChain(fitted).size(), 1u) << "the remaining stored level is its mip level";
    fitted->Release();
}

// Reloads go into the texture they made, as the texture manager does after a
// device loss: staged, the given surface being the managed texture.
TEST_F(TextureBuildTest, GivenSurfacesMustMatchAndAreLeftAloneWhenNotLost) {
    std::string image = Gradient(4, 4);
    uint32_t size = static_cast<uint32_t>(image.size());
    plat::Surface* texture = TextureLoad("pxf", image.data(), size, kTexStaged);
    ASSERT_NE(texture, nullptr);

    std::string larger = Gradient(8, 8, 1);
    EXPECT_EQ(TextureLoad("pxtf", larger.data(), static_cast<uint32_t>(larger.size()), texture, kTexStaged), nullptr);
    EXPECT_EQ(TextureLoadError, kTextureSurfaceMismatch);

    std::string other = Gradient(4, 4, 9);
    EXPECT_EQ(TextureLoad("pxtf", other.data(), size, texture, kTexStaged | kTexRestoreLost | kTexKeepIfNotLost), nullptr);
    EXPECT_EQ(TextureLoadError, 0u) << "nothing to do is no failure";
    EXPECT_EQ(ReadSurface(texture).At(0, 0), Argb(0, 0));

    plat::Surface* reloaded = TextureLoad("pxtf", other.data(), size, texture, kTexStaged | kTexRestoreLost);
    ASSERT_EQ(reloaded, texture) << TextureErrorText(TextureLoadError);
    EXPECT_EQ(ReadSurface(texture).At(0, 0), Argb(0, 0, 9));
    reloaded->Release();
    texture->Release();
}

TEST_F(TextureBuildTest, StagedTexturesBecomeManagedOnes) {
    std::string image = Gradient(4, 4, 3);
    plat::Surface* texture = TextureLoad("pxf", image.data(), static_cast<uint32_t>(image.size()), kTexStaged);
    ASSERT_NE(texture, nullptr) << TextureErrorText(TextureLoadError);
    plat::SurfaceDesc d;
    texture->GetSurfaceDesc(&d);
    EXPECT_NE(d.caps.caps2 & plat::kDdsCaps2TextureManage, 0u);
    EXPECT_EQ(ReadSurface(texture).At(2, 1), Argb(2, 1, 3));
    texture->Release();
}

TEST(TextureBuildKey, TheTransparentColourBecomesTheSurfaceKey) {
    HeadlessTextureDevice device(plat::Rgb565Format());
    // Index 0 is transparent: a 2 x 1 bitmap of indices 0 and 1.
    std::string bmp = ReadFile(NetpbmMake("P3\n2 1\n255\n0 0 0 255 255 255\n", "ppmtobmp -bpp 1", "keyed.bmp"));
    plat::Surface* texture = TextureLoad("pxf", bmp.data(), static_cast<uint32_t>(bmp.size()), kTexColourKey);
    ASSERT_NE(texture, nullptr) << TextureErrorText(TextureLoadError);
    plat::ColorKey key{1, 1};
    ASSERT_EQ(texture->GetColorKey(plat::kDdckeySrcBlt, &key), plat::kDdOk);
    EXPECT_EQ(key.low, 0u);
    EXPECT_EQ(key.high, 0u);
    SurfacePixels p = ReadSurface(texture);
    EXPECT_EQ(p.At(0, 0), 0u);
    EXPECT_EQ(p.At(1, 0), 0xFFFFu);
    texture->Release();
}

// One 4 x 4 DXT1 block, all colour 0 (pure red in 565), as an S3TC image.
std::string Dxt1File(uint16_t width, uint16_t height) {
    std::string block = std::string("\x00\xF8\x00\xF8", 4) + std::string(4, '\0');
    uint32_t blocks = ((width + 3) / 4) * ((height + 3) / 4);
    std::string data;
    for (uint32_t i = 0; i < blocks; ++i) data += block;
    std::string s3tc = Be32(0) + "DXT1" + Be16(0) + Be16(0) + Be16(0) + Be16(width) + Be16(height) +
                       Be32(static_cast<uint32_t>(data.size())) + data;
    std::string bmhd = Be16(width) + Be16(height) + std::string(12, '\0') + Be16(0) + Be16(0);
    return Group("FORM", "ILBM", {Chunk("BMHD", bmhd), Chunk("S3TC", s3tc)});
}

TEST_F(TextureBuildTest, CompressedImagesAreDecodedIntoTheDeviceFormat) {
    std::string file = Dxt1File(8, 4);
    uint32_t alpha = 9;
    plat::Surface* texture = TextureLoad("pxA", file.data(), static_cast<uint32_t>(file.size()), &alpha);
    ASSERT_NE(texture, nullptr) << TextureErrorText(TextureLoadError);
    EXPECT_EQ(alpha, 0u);
    SurfacePixels p = ReadSurface(texture);
    ASSERT_EQ(p.width, 8u);
    EXPECT_EQ(p.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(p.At(7, 3), 0xFFFF0000u);
    texture->Release();

    TextureRect cut[1];
    cut[0].left = 2;
    cut[0].right = 8;
    cut[0].bottom = 4;
    EXPECT_EQ(TextureLoad("pxa", file.data(), static_cast<uint32_t>(file.size()), 1, cut), nullptr);
    EXPECT_EQ(TextureLoadError, kTextureBlockRect);
}

} // namespace
