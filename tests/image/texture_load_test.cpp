// The loader's entry: the parameter letters, the sources (file name, open
// file, bounded memory, kept decoded image) and their failures.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "image/image_source.h"
#include "image/texture_device.h"
#include "image/texture_error.h"
#include "image/texture_load.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"
#include "platform/files.h"
#include "tests/image/image_test_support.h"
#include "image/headless_texture_device.h"
#include "tests/image/surface_pixels.h"

namespace {

using namespace std::string_literals;

using namespace imagetest;

// A 3 x 2 colour image: red, green, blue over white, grey, black.
const std::string kP6 = std::string("P6 3 2 255\n") + "\xff\0\0\0\xff\0\0\0\xff\xff\xff\xff\x80\x80\x80\0\0\0"s;

class TextureLoadTest : public ::testing::Test {
protected:
    TextureLoadTest() : device_(plat::Argb8888Format()) {}
    std::string WriteImage(const std::string& name, const std::string& bytes) {
        std::string path = TempDir() + "/" + name;
        WriteFile(path, bytes);
        return path;
    }
    HeadlessTextureDevice device_;
};

TEST_F(TextureLoadTest, LoadsAFileIntoAFittedTextureWithEdgePixels) {
    std::string path = WriteImage("colours.ppm", kP6);
    uint32_t w = 0, h = 0, iw = 0, ih = 0, alpha = 99;
    plat::Surface* texture = TextureLoad("sfWHOXOYA", path.c_str(), 0, &w, &h, &iw, &ih, &alpha);
    ASSERT_NE(texture, nullptr) << TextureErrorText(TextureLoadError);
    EXPECT_EQ(TextureLoadError, 0u);
    EXPECT_EQ(w, 4u);
    EXPECT_EQ(h, 4u);
    EXPECT_EQ(iw, 3u);
    EXPECT_EQ(ih, 2u);
    EXPECT_EQ(alpha, 8u);
    SurfacePixels p = ReadSurface(texture);
    ASSERT_EQ(p.width, 4u);
    EXPECT_EQ(p.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(p.At(2, 0), 0xFF0000FFu);
    EXPECT_EQ(p.At(3, 0), 0xFF0000FFu) << "the last column is repeated once";
    EXPECT_EQ(p.At(1, 1), 0xFF808080u);
    EXPECT_EQ(p.At(1, 2), 0xFF808080u) << "the last row is repeated once";
    texture->Release();
}

TEST_F(TextureLoadTest, LetterStringsThatAreFaults) {
    std::string path = WriteImage("faults.ppm", kP6);
    const char* name = path.c_str();
    uint32_t out = 0;
    uint32_t out2 = 0;
    ImageSource* kept = nullptr;
    TextureRect rects[1];
    const struct {
        const char* letters;
        plat::Surface* result;
    } cases[] = {
        {"fW", TextureLoad("fW", 0, &out)},                    // no source
        {"sO", TextureLoad("sO", name)},                       // O ends the string
        {"sOZ", TextureLoad("sOZ", name, &out)},               // O not followed by X or Y
        {"smn", TextureLoad("smn", name, 0, 0)},               // m and n exclude each other
        {"ss", TextureLoad("ss", name, name)},                 // a second source
        {"sx r", TextureLoad("sxr", name, 10, kept)},          // r after another source and x
        {"s then z", TextureLoad("sz", name)},                 // an unknown letter
        {"s blank", TextureLoad("s f", name, 0)},              // a blank
        {"sWa", TextureLoad("sWa", name, &out, 1, rects)},     // a after W
        {"sta", TextureLoad("sta", name, static_cast<plat::Surface*>(nullptr), 1, rects)}, // a after t's surface form
        {"s with a number", TextureLoad("s", 5)},              // an argument of the wrong kind
        {"sW missing", TextureLoad("sW", name)},               // a missing argument
        {"p without x", TextureLoad("p", kP6.data())},         // unbounded memory
        {"sBB", TextureLoad("sBB", name, &kept, &kept)},
        {"sAA", TextureLoad("sAA", name, &out, &out2)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result, nullptr) << c.letters;
    }
    EXPECT_EQ(TextureLoadError, kTextureBadParameters);
    for (const char* letters : {"fW", "sO", "smn"}) {
        TextureLoad(letters, name, 0, &out);
        EXPECT_EQ(TextureLoadError, kTextureBadParameters) << letters;
    }
}

TEST_F(TextureLoadTest, LettersThatAreAccepted) {
    std::string path = WriteImage("accepted.ppm", kP6);
    uint32_t w = 0;
    const struct {
        const char* letters;
        plat::Surface* result;
    } cases[] = {
        {"s then bare X", TextureLoad("sX", path.c_str())},
        {"s, m 0", TextureLoad("sm", path.c_str(), 0)},
        {"n and W in any order", TextureLoad("nsW", 64, path.c_str(), &w)},
        {"c kept, never called", TextureLoad("sc", path.c_str(), static_cast<TextureLoadCallback>([](void*) { return true; }),
                                             static_cast<void*>(nullptr))},
    };
    for (const auto& c : cases) {
        EXPECT_NE(c.result, nullptr) << c.letters << ": " << TextureErrorText(TextureLoadError);
        if (c.result) c.result->Release();
    }
}

TEST_F(TextureLoadTest, AMissingFileKeepsTheSystemError) {
    EXPECT_EQ(TextureLoad("s", (TempDir() + "/no such file.bmp").c_str()), nullptr);
    EXPECT_EQ(TextureLoadError, kTextureOpenFailed);
    EXPECT_EQ(TextureLoadOsError, ENOENT);
}

TEST_F(TextureLoadTest, AnOpenFileIsReadFromItsPositionAndLeftOpenAfterTheImage) {
    std::string path = WriteImage("embedded.bin", "junk" + kP6 + "more");
    plat::File file = plat::File::Open(path, plat::kAccessRead, plat::FileDisposition::OpenExisting);
    file.Seek(4, plat::SeekOrigin::Begin);
    uint32_t used = 0;
    plat::Surface* texture = TextureLoad("hN", &file, &used);
    ASSERT_NE(texture, nullptr) << TextureErrorText(TextureLoadError);
    texture->Release();
    EXPECT_EQ(used, kP6.size());
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Tell(), static_cast<int64_t>(4 + kP6.size()));
}

TEST_F(TextureLoadTest, MemoryIsBoundedByTheByteLimit) {
    std::string block = kP6 + "trailing bytes";
    uint32_t used = 0;
    plat::Surface* texture = TextureLoad("pxN", block.data(), static_cast<uint32_t>(block.size()), &used);
    ASSERT_NE(texture, nullptr) << TextureErrorText(TextureLoadError);
    texture->Release();
    EXPECT_EQ(used, kP6.size());

    EXPECT_EQ(TextureLoad("px", block.data(), static_cast<uint32_t>(kP6.size() - 1)), nullptr);
    EXPECT_EQ(TextureLoadError, kTextureDataEnded) << "the limit cuts the last row";
}

TEST_F(TextureLoadTest, AKeptDecodedImageRebuildsTexturesWithoutTheFile) {
    std::string path = WriteImage("kept.ppm", kP6);
    ImageSource* kept = nullptr;
    plat::Surface* first = TextureLoad("sBf", path.c_str(), &kept, kTexStaged);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(kept, nullptr);
    plat::Surface* second = TextureLoad("rf", kept, kTexStaged);
    ASSERT_NE(second, nullptr) << TextureErrorText(TextureLoadError);
    EXPECT_EQ(ReadSurface(second).pixels, ReadSurface(first).pixels);
    // Reloading into an existing texture, as after a device loss.
    plat::Surface* again = TextureLoad("rtf", kept, second, kTexStaged);
    ASSERT_EQ(again, second) << TextureErrorText(TextureLoadError);
    again->Release();

    uint32_t n = 0;
    for (plat::Surface* refused : {TextureLoad("rx", kept, 10), TextureLoad("rN", kept, &n), TextureLoad("rB", kept, &kept)})
        EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(ImageSourceRelease(kept), 0);
    EXPECT_EQ(ImageSourceRelease(nullptr), 2);
    first->Release();
    second->Release();
}

TEST_F(TextureLoadTest, AFailedLoadLeavesTheDecodedImagePointerAlone) {
    std::string path = WriteImage("cut.ppm", kP6.substr(0, kP6.size() - 2));
    ImageSource* untouched = reinterpret_cast<ImageSource*>(0x1234);
    EXPECT_EQ(TextureLoad("sB", path.c_str(), &untouched), nullptr);
    EXPECT_EQ(TextureLoadError, kTextureDataEnded);
    EXPECT_EQ(untouched, reinterpret_cast<ImageSource*>(0x1234));
}

TEST_F(TextureLoadTest, TilesOfAnImageThatEndsEarlyAreTakenBack) {
    std::string cut = kP6.substr(0, kP6.size() - 2);
    TextureRect tiles[2];
    tiles[0].right = 4;
    tiles[0].bottom = 1;
    tiles[1].top = 1;
    tiles[1].right = 4;
    tiles[1].bottom = 2;
    EXPECT_EQ(TextureLoad("pxa", cut.data(), static_cast<uint32_t>(cut.size()), 2, tiles), nullptr);
    EXPECT_EQ(TextureLoadError, kTextureDataEnded);
    for (const TextureRect& t : tiles) {
        EXPECT_EQ(t.texture, nullptr);
        EXPECT_EQ(t.textureWidth, 0u);
    }
}

TEST_F(TextureLoadTest, AKeptImageWithMoreColoursThanAPalettizedFormatHolds) {
    std::string greys = "P5 20 1 19\n";
    for (char i = 0; i < 20; ++i) greys += i;
    ImageSource* kept = nullptr;
    plat::Surface* texture = TextureLoad("pxB", greys.data(), static_cast<uint32_t>(greys.size()), &kept);
    ASSERT_NE(texture, nullptr);
    texture->Release();
    plat::PixelFormat palette16;
    palette16.flags = plat::kDdpfPaletteIndexed4 | plat::kDdpfRgb;
    palette16.rgbBitCount = 4;
    TextureLoaderSetDefaultFormat(palette16);
    EXPECT_EQ(TextureLoad("r", kept), nullptr);
    EXPECT_EQ(TextureLoadError, kTexturePaletteMismatch);
    ImageSourceRelease(kept);
}

TEST_F(TextureLoadTest, UnknownContentIsRefusedWhateverItsName) {
    std::string path = WriteImage("looks_like.bmp", "BA" + std::string(100, 'x'));
    EXPECT_EQ(TextureLoad("s", path.c_str()), nullptr);
    EXPECT_EQ(TextureLoadError, kTextureUnsupported);
    std::string ppm = WriteImage("really_a_ppm.bmp", kP6);
    plat::Surface* texture = TextureLoad("s", ppm.c_str());
    ASSERT_NE(texture, nullptr);
    texture->Release();
}

} // namespace
