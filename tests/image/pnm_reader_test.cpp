// The PNM readers: the shared header parser (comments, the one newline before
// the rows, long tokens), sample scaling and refused values.
#include <gtest/gtest.h>

#include <string>

#include "image/texture_error.h"
#include "tests/image/image_test_support.h"

namespace {

using namespace std::string_literals;

using imagetest::ReadImage;
using imagetest::ReaderResult;

uint32_t Grey(uint8_t v) { return 0xFF000000u | v << 16 | v << 8 | v; }

TEST(PnmReader, HeaderCommentsAreSkippedAndRowsFollowOneNewline) {
    ReaderResult r = ReadImage(std::string("P6\n# made by hand\n2 1\n255\n") + "\x01\x02\x03\x0a\x0b\x0c");
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.argb, (std::vector<uint32_t>{0xFF010203u, 0xFF0A0B0Cu}));
}

TEST(PnmReader, SamplesScaleToTheirMaximum) {
    ReaderResult p6 = ReadImage(std::string("P6 1 1 15\n") + "\x0f\x07\x00"s);
    ASSERT_EQ(p6.error, 0u);
    EXPECT_EQ(p6.argb[0], 0xFFFF7700u) << "15 maps to 255 and 7 to 119";

    ReaderResult p5 = ReadImage(std::string("P5 2 1 1\n") + "\x00\x01"s);
    ASSERT_EQ(p5.error, 0u);
    EXPECT_EQ(p5.paletteCount, 2u);
    EXPECT_EQ(p5.argb, (std::vector<uint32_t>{Grey(0), Grey(255)}));
}

TEST(PnmReader, BitmapRowsStartAtAByteAndSetBitsAreBlack) {
    ReaderResult r = ReadImage(std::string("P4 10 2\n") + "\x80\x40\xff\xc0");
    ASSERT_EQ(r.error, 0u);
    std::vector<uint32_t> expected(20, Grey(255));
    expected[0] = expected[9] = Grey(0);
    for (int x = 10; x < 20; ++x) expected[x] = Grey(0);
    EXPECT_EQ(r.argb, expected);
}

TEST(PnmReader, RefusesMalformedHeadersAndSamples) {
    const struct {
        const char* what;
        std::string bytes;
        uint32_t error;
    } cases[] = {
        {"carriage return before the rows", std::string("P6 1 1 255\r\n") + "abc", kTextureBadImage},
        {"16-bit samples", std::string("P6 1 1 65535\n") + "abcdef", kTextureUnsupported},
        {"maximum 0", std::string("P5 1 1 0\n") + "\0"s, kTextureBadImage},
        {"grey sample above the maximum", std::string("P5 2 1 3\n") + "\x01\x04", kTextureBadImage},
        {"colour sample above the maximum", std::string("P6 1 1 15\n") + "\x01\x10\x01", kTextureBadImage},
        {"a token longer than any number", "P6 " + std::string(600, '1') + " 1 255\nabc", kTextureBadImage},
        {"a width beyond any texture", std::string("P5 99999999999 1 255\n") + "a", kTextureBadImage},
        {"header cut off", "P6 12 1", kTextureDataEnded},
        {"rows cut off", std::string("P6 2 2 255\n") + "abcdef", kTextureDataEnded},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadImage(c.bytes).error, c.error) << c.what;
}

} // namespace
