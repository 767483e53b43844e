#include <gtest/gtest.h>

#include "core/bytes.h"
#include "core/numeric.h"

TEST(ByteReader, ReadsLittleEndianFieldsAndStopsAtTheEnd) {
    const uint8_t data[] = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F, 'a', 'b', 0, 0x99};
    ByteReader r(data, sizeof data);
    EXPECT_EQ(r.U32(), 0x04030201u);
    EXPECT_EQ(r.I16(), int16_t{-2});
    uint16_t pad;
    r.U16(pad);
    EXPECT_EQ(r.F32(), 1.0f);
    std::string s;
    EXPECT_TRUE(r.CString(s));
    EXPECT_EQ(s, "ab");
    EXPECT_TRUE(r.ok());
    uint32_t v = 123;
    EXPECT_FALSE(r.U32(v)); // one byte left
    EXPECT_EQ(v, 0u);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.remaining(), 1u); // a failed read consumes nothing
}

TEST(ByteReader, StringsAndSubReadersAreBounded) {
    const uint8_t unterminated[] = {'a', 'b', 'c'};
    ByteReader r(unterminated, 3);
    std::string s;
    EXPECT_FALSE(r.CString(s));

    const uint8_t longer[] = {'a', 'b', 'c', 0};
    ByteReader limited(longer, 4);
    EXPECT_FALSE(limited.CString(s, 2)); // terminator beyond the limit

    ByteReader outer(longer, 4);
    ByteReader inner = outer.Sub(2);
    EXPECT_EQ(inner.size(), 2u);
    EXPECT_EQ(outer.pos(), 2u);
    EXPECT_FALSE(outer.Sub(3).ok());
    EXPECT_FALSE(outer.ok());
}

TEST(ByteWriter, WritesFieldsAndPatchesSizes) {
    ByteWriter w;
    w.U32(0);
    w.I16(-2);
    w.F32(1.0f);
    w.PatchU32(0, static_cast<uint32_t>(w.size()));
    const std::vector<uint8_t> expect = {10, 0, 0, 0, 0xFE, 0xFF, 0, 0, 0x80, 0x3F};
    EXPECT_EQ(w.bytes(), expect);
}

TEST(FloorToInt, FloorsAndFlagsOutOfRange) {
    struct Case { double in; int32_t out; } cases[] = {
        {2.5, 2}, {-2.5, -3}, {-0.0, 0}, {1023.9, 1023}, {-1e-9, -1},
        {2147483648.0, INT32_MIN}, {-2147483649.0, INT32_MIN}, {NAN, INT32_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(FloorToInt(c.in), c.out) << c.in;
}

TEST(MulDiv, RoundsHalvesAwayFromZeroAndFlagsFailures) {
    struct Case { int32_t a, b, c, out; } cases[] = {
        {7, 1, 2, 4}, {-7, 1, 2, -4}, {10, 1000, 3, 3333}, {2000000, 3000, 1000, 6000000},
        {1, 1, 0, -1}, {INT32_MAX, 2, 1, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.out) << c.a << "*" << c.b << "/" << c.c;
}
