// Real files made by netpbm decode to the pixels netpbm's own readers give.
#include <gtest/gtest.h>

#include <string>

#include "tests/image/image_test_support.h"

namespace {

using namespace imagetest;

// A plain PPM of `width` x 3 pixels using `colours` distinct colours.
std::string PlainPpm(uint32_t width, uint32_t colours) {
    std::string text = "P3\n" + std::to_string(width) + " 3\n255\n";
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t i = (x * 7 + y * 3) % colours;
            text += std::to_string(i * 37 % 256) + " " + std::to_string(i * 91 % 256) + " " + std::to_string(i * 53 % 256) + "\n";
        }
    return text;
}

struct Case {
    const char* name;
    uint32_t width, colours;
    const char* pipeline; // netpbm programs from the plain source to the file
    const char* reader;   // netpbm's reader of that file
};

class NetpbmFiles : public ::testing::TestWithParam<Case> {};

TEST_P(NetpbmFiles, DecodeLikeNetpbm) {
    const Case& c = GetParam();
    std::string path = NetpbmMake(PlainPpm(c.width, c.colours), c.pipeline, c.name);
    RgbImage expected = NetpbmDecode(c.reader, path);
    ASSERT_GT(expected.width, 0u) << "netpbm could not make or read " << c.name;
    ReaderResult result = ReadImage(ReadFile(path));
    ASSERT_EQ(result.error, 0u);
    EXPECT_EQ(result.Rgb(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Made, NetpbmFiles,
    ::testing::Values(Case{"p6", 5, 40, "pnmtopnm", "pnmtopnm"},
                      Case{"p5", 6, 40, "ppmtopgm", "pnmtopnm"},
                      Case{"p4", 10, 40, "ppmtopgm | pgmtopbm", "pnmtopnm"},
                      Case{"bmp1", 10, 2, "ppmtobmp -bpp 1", "bmptoppm"},
                      Case{"bmp4", 5, 16, "ppmtobmp -bpp 4", "bmptoppm"},
                      Case{"bmp8", 7, 40, "ppmtobmp -bpp 8", "bmptoppm"},
                      Case{"bmp24", 3, 40, "ppmtobmp -bpp 24", "bmptoppm"},
                      Case{"os2bmp1", 10, 2, "ppmtobmp -os2 -bpp 1", "bmptoppm"},
                      Case{"os2bmp4", 5, 16, "ppmtobmp -os2 -bpp 4", "bmptoppm"},
                      Case{"os2bmp8", 7, 40, "ppmtobmp -os2 -bpp 8", "bmptoppm"},
                      Case{"os2bmp24", 3, 40, "ppmtobmp -os2 -bpp 24", "bmptoppm"},
                      Case{"ilbm", 16, 40, "ppmtoilbm -maxplanes 8", "ilbmtoppm"},
                      Case{"ilbm2", 32, 2, "ppmtoilbm", "ilbmtoppm"},
                      Case{"ilbmplain", 16, 16, "ppmtoilbm -nocompress", "ilbmtoppm"}),
    [](const auto& info) { return std::string(info.param.name); });

// The netpbm makers named by the task: a white-and-black pattern, a grey ramp
// and a flat colour, with their sizes and maximum sample values.
TEST(NetpbmMakers, PbmmakePgmrampAndPpmmakeFilesLoad) {
    const struct {
        const char* name;
        const char* command;
    } makers[] = {{"pbmmake", "pbmmake -g 13 3"}, {"pgmramp", "pgmramp -lr 9 2"}, {"ppmmake", "ppmmake rgb:12/80/ff 3 2"}};
    for (const auto& m : makers) {
        std::string path = TempDir() + "/" + m.name;
        ASSERT_TRUE(imagetest::Run(std::string(m.command) + " > " + path));
        ReaderResult result = ReadImage(ReadFile(path));
        ASSERT_EQ(result.error, 0u) << m.name;
        EXPECT_EQ(result.Rgb(), NetpbmDecode("pnmtopnm", path)) << m.name;
    }
}

} // namespace
