// mkfonts DIRECTORY: writes the three font images (24-bit bitmaps, white
// glyphs on black) under DIRECTORY with the names the console loads them by.
#include <cstdio>
#include <filesystem>
#include <string>

#include "Tv/console/font_glyphs.h"
#include "core/bytes.h"
#include "platform/files.h"

namespace {

bool WriteImage(const std::string& path, const uint8_t (&pixels)[kFontImageSide][kFontImageSide]) {
    constexpr uint32_t kHeaderBytes = 14 + 40;
    constexpr uint32_t kRowBytes = kFontImageSide * 3;
    ByteWriter bmp;
    bmp.U8('B');
    bmp.U8('M');
    bmp.U32(kHeaderBytes + kRowBytes * kFontImageSide);
    bmp.U32(0);
    bmp.U32(kHeaderBytes);
    bmp.U32(40);
    bmp.I32(kFontImageSide);
    bmp.I32(kFontImageSide);
    bmp.U16(1);
    bmp.U16(24);
    bmp.Zeros(24);
    for (int32_t y = kFontImageSide - 1; y >= 0; --y) // bottom row first
        for (int32_t x = 0; x < kFontImageSide; ++x)
            for (int c = 0; c < 3; ++c) bmp.U8(pixels[y][x]);
    plat::File out = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
    return out.IsOpen() && out.Write(bmp.bytes().data(), static_cast<uint32_t>(bmp.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkfonts DIRECTORY\n");
        return 2;
    }
    static uint8_t pixels[kFontImageSide][kFontImageSide];
    for (int32_t k = 0; k < kFontImageCount; ++k) {
        const auto kind = static_cast<FontImageKind>(k);
        const std::filesystem::path path = std::filesystem::path(argv[1]) / FontImageName(kind);
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        RenderFontImage(kind, pixels);
        if (!WriteImage(path.string(), pixels)) {
            std::fprintf(stderr, "mkfonts: cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
