// The IFF image reader: bit-plane rows, versions chosen by colour count,
// further stored levels, alpha planes, the transparent colour, and refused
// bitmaps.
#include <gtest/gtest.h>

#include <string>

#include "image/bit_planes.h"
#include "image/texture_error.h"
#include "platform/d3d/pixel_format.h"
#include "tests/image/image_test_support.h"

namespace {

using namespace imagetest;

struct Bitmap {
    uint16_t width = 8, height = 1;
    uint8_t planes = 1, masking = 0, compression = 0;
    uint16_t transparent = 0;
    uint32_t colours = 2;
    std::string body;
    std::string extra; // chunks after the BODY's properties (e.g. ALPH)
};

std::string Bmhd(const Bitmap& b) {
    return Chunk("BMHD", Be16(b.width) + Be16(b.height) + Be16(0) + Be16(0) + std::string(1, char(b.planes)) +
                             std::string(1, char(b.masking)) + std::string(1, char(b.compression)) + std::string(1, '\0') +
                             Be16(b.transparent) + "\x01\x01" + Be16(0) + Be16(0));
}

// Colour i of a colour map is (i, 2i, 3i).
std::string Cmap(uint32_t colours) {
    std::string rgb;
    for (uint32_t i = 0; i < colours; ++i) rgb += {char(i), char(i * 2), char(i * 3)};
    return Chunk("CMAP", rgb);
}

std::string Form(const Bitmap& b) { return Group("FORM", "ILBM", {Bmhd(b), Cmap(b.colours), b.extra, Chunk("BODY", b.body)}); }

uint32_t Colour(uint32_t i) { return 0xFF000000u | i << 16 | (i * 2) << 8 | (i * 3); }

TEST(ByteRun1, RunsLiteralsAndOverflows) {
    const uint8_t run[] = {0xFE, 0x55};
    uint8_t out[3] = {};
    size_t pos = 0;
    ASSERT_TRUE(ByteRun1Unpack(run, sizeof run, pos, out, 3));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "\x55\x55\x55");

    const uint8_t literal[] = {0x80, 0x01, 'a', 'b'};
    pos = 0;
    ASSERT_TRUE(ByteRun1Unpack(literal, sizeof literal, pos, out, 2)) << "128 is a no-op";
    EXPECT_EQ(pos, 4u);

    pos = 0;
    EXPECT_FALSE(ByteRun1Unpack(run, sizeof run, pos, out, 2)) << "a run may not overfill the row";
    pos = 0;
    EXPECT_FALSE(ByteRun1Unpack(literal, 3, pos, out, 2)) << "a literal past the input";
    const uint8_t dangling[] = {0xFE};
    pos = 0;
    EXPECT_FALSE(ByteRun1Unpack(dangling, 1, pos, out, 3)) << "a control byte at the very end";
}

TEST(IlbmReader, RowsAreBitPlanesWithoutWordAlignment) {
    Bitmap b;
    b.width = 5;
    b.height = 2;
    b.planes = 2;
    b.colours = 4;
    // Row 0: plane 0 = 10100, plane 1 = 01100; row 1: plane 0 = 11111, plane 1 = 00000.
    b.body = std::string("\xA0\x60\xF8\x00", 4);
    ReaderResult r = ReadImage(Form(b));
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.argb, (std::vector<uint32_t>{Colour(1), Colour(2), Colour(3), Colour(0), Colour(0), Colour(1), Colour(1),
                                             Colour(1), Colour(1), Colour(1)}));
}

TEST(IlbmReader, ChoosesTheVersionWithMostColoursWithinTheLimit) {
    Bitmap big;
    big.planes = 8;
    big.colours = 256;
    big.body = std::string(8, '\xFF'); // pixel 255
    Bitmap small;
    small.planes = 4;
    small.colours = 16;
    small.body = std::string("\xFF\xFF\xFF\x00", 4); // pixel 7
    std::string file = Group("LIST", "ILBM", {Form(big), Form(small)});

    ReaderResult any = ReadImage(file);
    ASSERT_EQ(any.error, 0u);
    EXPECT_EQ(any.paletteCount, 256u);
    EXPECT_EQ(any.argb[0], Colour(255));

    ReaderResult sixteen = ReadImage(file, 16);
    ASSERT_EQ(sixteen.error, 0u);
    EXPECT_EQ(sixteen.paletteCount, 16u);
    EXPECT_EQ(sixteen.argb[0], Colour(7));

    EXPECT_EQ(ReadImage(file, 4).error, kTexturePaletteMismatch);
}

TEST(IlbmReader, ListsBesideAMipmFormAreFurtherLevels) {
    Bitmap top;
    top.width = 16;
    top.body = std::string(2, '\0');
    Bitmap level = top;
    level.width = 8;
    level.body = std::string(1, '\0');
    std::string mipm = Group("FORM", "MIPM", {Chunk("CONT", std::string(2, '\0'))});
    std::string file = Group("LIST", "ILBM", {Form(top), mipm, Group("LIST", "ILBM", {Form(level)}),
                                              Group("LIST", std::string(4, '\0').c_str(), {Form(level)}), Group("LIST", "ABCD", {Form(level)})});
    ReaderResult r = ReadImage(file);
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.furtherLevels, 2u) << "LISTs of type ILBM or none count";
    EXPECT_EQ(r.width, 16u);

    EXPECT_EQ(ReadImage(Group("FORM", "MIPM", {Chunk("CONT", "ab")})).furtherLevels, 0u);
}

TEST(IlbmReader, AlphaPlanesGiveEachPixelItsAlpha) {
    Bitmap b;
    b.width = 2;
    b.body = std::string("\x40", 1); // pixels 0, 1
    b.extra = Chunk("ALPH", Be16(2) + Be16(1) + std::string("\x08\x00", 2) + std::string("\x80\x40\x80\x40\x80\x40\x80\x40", 8));
    ReaderResult r = ReadImage(Form(b));
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.alphaBits, 8u);
    // Plane bytes 0x80 and 0x40 alternate: pixel 0 gets planes 0, 2, 4, 6 = 0x55; pixel 1 gets 1, 3, 5, 7 = 0xAA.
    EXPECT_EQ(r.argb, (std::vector<uint32_t>{(Colour(0) & 0xFFFFFF) | 0x55000000u, (Colour(1) & 0xFFFFFF) | 0xAA000000u}));
}

TEST(IlbmReader, TheTransparentColourAloneMatchesTheKey) {
    Bitmap b;
    b.width = 2;
    b.masking = 2;
    b.transparent = 0;
    b.body = std::string("\x40", 1);
    // Two entries that pack alike in 565: (8, 4, 8) and (15, 7, 15).
    std::string form = Group("FORM", "ILBM", {Bmhd(b), Chunk("CMAP", std::string("\x08\x04\x08\x0f\x07\x0f", 6)),
                                              Chunk("BODY", b.body)});
    plat::PixelFormat rgb565 = plat::Rgb565Format();
    ReaderResult r = ReadImage(form, 0, &rgb565);
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.argb, (std::vector<uint32_t>{0x0821u, 0x0841u})) << "the look-alike moves one step up in green";
}

TEST(IlbmReader, RefusesBitmapsItCannotReadSafely) {
    auto bitmap = [](auto change) {
        Bitmap b;
        b.body = std::string("\x00", 1);
        change(b);
        return Form(b);
    };
    const struct {
        const char* what;
        std::string file;
        uint32_t error;
    } cases[] = {
        {"a mask plane", bitmap([](Bitmap& b) { b.masking = 1; }), kTextureBadImage},
        {"more than 8 planes", bitmap([](Bitmap& b) { b.planes = 9; b.body = std::string(9, '\0'); }), kTextureBadImage},
        {"a pixel beyond the colour map", bitmap([](Bitmap& b) { b.planes = 2; b.colours = 3; b.body = "\x80\x80"; }), kTextureBadImage},
        {"a transparent index beyond the colour map", bitmap([](Bitmap& b) { b.masking = 2; b.transparent = 5; }), kTextureBadImage},
        {"a short BODY", bitmap([](Bitmap& b) { b.height = 2; }), kTextureBadImage},
        {"a packed row running past the BODY", bitmap([](Bitmap& b) { b.compression = 1; b.body = "\x05\x01"; }), kTextureBadImage},
        {"alpha planes narrower than the image", bitmap([](Bitmap& b) { b.extra = Chunk("ALPH", Be16(4) + Be16(1) + std::string("\x01\x00\x00", 3)); }), kTextureBadImage},
        {"no colour map", Group("FORM", "ILBM", {Bmhd(Bitmap{}), Chunk("BODY", std::string(1, '\0'))}), kTextureBadImage},
        {"not an IFF group", std::string("FORM") + Be32(4), kTextureBadImage},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadImage(c.file).error, c.error) << c.what;
}

} // namespace
