// The BMP reader on hand-made headers: row layouts, palettes, refused
// variants and hostile values.
#include <gtest/gtest.h>

#include <string>

#include "core/bytes.h"
#include "image/bmp_reader.h"
#include "image/image_reader.h"
#include "image/memory_stream.h"
#include "image/texture_error.h"
#include "tests/image/image_test_support.h"

namespace {

using imagetest::ReadImage;
using imagetest::ReaderResult;

struct BmpSpec {
    int32_t width = 2, height = 1;
    uint16_t planes = 1, bits = 8;
    uint32_t compression = 0, coloursUsed = 0;
    uint32_t headerSize = 40;
    uint32_t paletteEntries = 256; // entries actually written
    int32_t offsetAdjust = 0;      // added to the true pixel data offset
    std::string rows;              // pixel bytes, bottom row first
};

std::string Bmp(const BmpSpec& s) {
    ByteWriter w;
    bool small = s.headerSize == 12;
    uint32_t entryBytes = small ? 3 : 4;
    uint32_t offset = 14 + s.headerSize + s.paletteEntries * entryBytes + s.offsetAdjust;
    w.Bytes("BM", 2);
    w.U32(0);
    w.U32(0);
    w.U32(offset);
    w.U32(s.headerSize);
    if (small) {
        w.U16(static_cast<uint16_t>(s.width));
        w.U16(static_cast<uint16_t>(s.height));
    } else {
        w.I32(s.width);
        w.I32(s.height);
    }
    w.U16(s.planes);
    w.U16(s.bits);
    if (!small) {
        w.U32(s.compression);
        w.Zeros(12);
        w.U32(s.coloursUsed);
        if (s.headerSize >= 36) w.Zeros(s.headerSize - 36);
    }
    for (uint32_t i = 0; i < s.paletteEntries; ++i) {
        w.U8(static_cast<uint8_t>(i));      // blue
        w.U8(static_cast<uint8_t>(i * 2));  // green
        w.U8(static_cast<uint8_t>(i * 3));  // red
        if (!small) w.U8(0);
    }
    if (s.offsetAdjust > 0) w.Zeros(static_cast<size_t>(s.offsetAdjust));
    w.Bytes(s.rows.data(), s.rows.size());
    return std::string(w.bytes().begin(), w.bytes().end());
}

uint32_t Argb(uint8_t r, uint8_t g, uint8_t b) { return 0xFF000000u | r << 16 | g << 8 | b; }
uint32_t Entry(uint8_t i) { return Argb(static_cast<uint8_t>(i * 3), static_cast<uint8_t>(i * 2), i); }

TEST(BmpReader, ReadsPackedIndicesFromTheHighBitsAndSkipsRowPadding) {
    BmpSpec s;
    s.bits = 4;
    s.width = 4;
    s.height = 2;
    s.coloursUsed = 16;
    s.paletteEntries = 16;
    s.rows = std::string("\x12\x34\0\0\x56\x78\0\0", 8); // bottom row, then top row
    ReaderResult r = ReadImage(Bmp(s));
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.argb, (std::vector<uint32_t>{Entry(5), Entry(6), Entry(7), Entry(8), Entry(1), Entry(2), Entry(3), Entry(4)}));
}

TEST(BmpReader, UsesColoursUsedAndSkipsTheGapBeforeThePixels) {
    BmpSpec s;
    s.coloursUsed = 16;
    s.paletteEntries = 16;
    s.offsetAdjust = 6; // a gap between the palette and the rows
    s.rows = std::string("\x0f\x02\0\0", 4);
    ReaderResult r = ReadImage(Bmp(s));
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.paletteCount, 16u);
    EXPECT_EQ(r.argb, (std::vector<uint32_t>{Entry(15), Entry(2)}));
}

TEST(BmpReader, TwentyFourBitRowsAreBgrWithTheirTableAndGapSkipped) {
    BmpSpec s;
    s.bits = 24;
    s.width = 1;
    s.coloursUsed = 2; // a colour table beside RGB pixels is only a hint
    s.paletteEntries = 2;
    s.offsetAdjust = 2;
    s.rows = std::string("\x10\x20\x30\0", 4);
    ReaderResult r = ReadImage(Bmp(s));
    ASSERT_EQ(r.error, 0u);
    EXPECT_EQ(r.paletteCount, 0u);
    EXPECT_EQ(r.argb, std::vector<uint32_t>{Argb(0x30, 0x20, 0x10)});
}

TEST(BmpReader, RefusesVariantsAndHostileHeaders) {
    struct Bad {
        const char* what;
        BmpSpec spec;
        uint32_t error;
    };
    auto spec = [](auto change) {
        BmpSpec s;
        s.rows = std::string("\x01\x02\0\0", 4);
        change(s);
        return s;
    };
    const Bad cases[] = {
        {"run-length compressed", spec([](BmpSpec& s) { s.compression = 1; }), kTextureUnsupported},
        {"header size 20", spec([](BmpSpec& s) { s.headerSize = 20; }), kTextureUnsupported},
        {"two planes", spec([](BmpSpec& s) { s.planes = 2; }), kTextureBadImage},
        {"16 bits", spec([](BmpSpec& s) { s.bits = 16; }), kTextureBadImage},
        {"32 bits", spec([](BmpSpec& s) { s.bits = 32; }), kTextureBadImage},
        {"top-down (negative height)", spec([](BmpSpec& s) { s.height = -1; }), kTextureBadImage},
        {"negative width", spec([](BmpSpec& s) { s.width = -2; }), kTextureBadImage},
        {"huge width", spec([](BmpSpec& s) { s.width = 0x7FFFFFFF; }), kTextureBadImage},
        {"pixel offset inside the palette", spec([](BmpSpec& s) { s.offsetAdjust = -8; }), kTextureBadImage},
        {"palette above 256", spec([](BmpSpec& s) { s.coloursUsed = 300; s.paletteEntries = 300; }), kTextureBadImage},
        {"pixel beyond the colours used", spec([](BmpSpec& s) { s.coloursUsed = 2; s.paletteEntries = 2; }), kTextureBadImage},
        {"rows cut short", spec([](BmpSpec& s) { s.height = 3; }), kTextureDataEnded},
    };
    for (const Bad& c : cases) EXPECT_EQ(ReadImage(Bmp(c.spec)).error, c.error) << c.what;
}

// A build asks for the palette for each level and again for each palette it
// attaches; the file holds it once, before the rows.
TEST(BmpReader, ThePaletteIsReadOnceAndKeptForEveryRequest) {
    BmpSpec s;
    s.coloursUsed = 4;
    s.paletteEntries = 4;
    s.rows = std::string("\x01\x03\0\0", 4);
    const std::string bmp = Bmp(s) + std::string(64, '\x7f'); // bytes after the rows must not become colours
    auto* stream = new MemoryStream(bmp.data(), static_cast<uint32_t>(bmp.size()));
    ImageReader* reader = BmpReaderCreate();
    TextureLoadError = kTextureOk;
    reader->ReadHeader(*stream);
    reader->AllocateBuffers(false, 0);
    ASSERT_EQ(reader->PaletteCount(), 4u);
    const auto colours = [reader] {
        const uint8_t* p = reader->Palette();
        std::vector<uint32_t> argb;
        for (uint32_t i = 0; i < 4; ++i) argb.push_back(Argb(p[i * 3], p[i * 3 + 1], p[i * 3 + 2]));
        return argb;
    };
    const std::vector<uint32_t> expected = {Entry(0), Entry(1), Entry(2), Entry(3)};
    EXPECT_EQ(colours(), expected);
    EXPECT_EQ(colours(), expected) << "asked again before the rows";
    auto* row = static_cast<uint8_t*>(reader->RowBuffer(0));
    reader->ReadRow(row);
    EXPECT_EQ(row[0], 1);
    EXPECT_EQ(row[1], 3);
    EXPECT_EQ(colours(), expected) << "asked again after the rows";
    EXPECT_FALSE(TextureFailFromStream(*stream));
    reader->Release();
    stream->Release();
}

TEST(BmpReader, MagicBytesChooseTheReader) {
    EXPECT_EQ(ReadImage("BA" + std::string(60, '\0')).error, kTextureUnsupported);
    EXPECT_EQ(ReadImage("BM").error, kTextureDataEnded) << "two bytes still reach the reader, which finds no header";
}

} // namespace
