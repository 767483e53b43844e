// The console's fonts: their images match their width tables, their scales
// follow the screen width, and keys type the characters of the language
// library.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tv/app/input_event.h"
#include "Tv/console/console_fonts.h"
#include "Tv/console/font_glyphs.h"
#include "Tv/console/key_text.h"
#include "Tv/console/text_draw.h"
#include "Tv/console/text_trim.h"
#include "tests/tv/console_fixture.h"

namespace {

using ConsoleFontsTest = ConsoleTest;

TEST(ConsoleFontImages, EveryGlyphIsInkedInsideItsOwnCellOfTheImage) {
    static uint8_t pixels[kFontImageSide][kFontImageSide];
    for (int32_t k = 0; k < kFontImageCount; ++k) {
        SCOPED_TRACE(k);
        const auto kind = static_cast<FontImageKind>(k);
        const FontImageLayout& layout = FontLayout(kind);
        RenderFontImage(kind, pixels);
        // Walk the cells as AwFont::Construct lays them out and erase each
        // one's ink: nothing may be left, and no cell may leave the image.
        int32_t x = 1, top = 1, inked = 0;
        for (int32_t i = 0; i < AwFont::kGlyphs; ++i) {
            ASSERT_LE(x + layout.widths[i] + 1, kFontImageSide) << "glyph " << i;
            ASSERT_LE(top + kFontGlyphSize, kFontImageSide) << "glyph " << i;
            int32_t ink = 0;
            for (int32_t y = top; y < top + kFontGlyphSize; ++y)
                for (int32_t c = x; c < x + layout.widths[i]; ++c) {
                    ink += pixels[y][c] != 0;
                    pixels[y][c] = 0;
                }
            if (i > 0 && i < 95) EXPECT_GT(ink, 0) << "glyph " << i; // every printable but the blank
            inked += ink;
            if (layout.rows[i] == layout.rows[i + 1]) {
                x += layout.widths[i] + 3;
            } else {
                top += kFontGlyphSize;
                x = 1;
            }
        }
        for (const auto& row : pixels)
            for (uint8_t p : row) ASSERT_EQ(p, 0);
        EXPECT_GT(inked, 0);
    }
}

TEST_F(ConsoleFontsTest, ScalesFollowTheScreenWidth) {
    const struct {
        int32_t width;
        float small, large, small2, big;
    } cases[] = {
        {640, 0.7f, 0.88f, 0.65f, 2.0f},   {749, 0.7f, 0.88f, 0.65f, 2.0f},   {750, 0.88f, 0.88f, 0.65f, 2.0f},
        {1024, 0.88f, 0.88f, 0.65f, 2.5f}, {1200, 0.88f, 0.88f, 0.65f, 2.5f}, {1280, 1.0f, 1.0f, 0.8f, 3.0f},
        {1600, 1.0f, 1.0f, 1.0f, 3.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        TvScaleFonts(c.width);
        EXPECT_FLOAT_EQ(SmallFont().scale, c.small);
        EXPECT_FLOAT_EQ(LargeFont().scale, c.large);
        EXPECT_FLOAT_EQ(SmallFont2().scale, c.small2);
        EXPECT_FLOAT_EQ(BigFont().scale, c.big);
    }
    // Glyph widths follow: full size at full scale, narrower below.
    const int32_t full = FontLayout(kSmallFontImage).widths['W' - 32];
    EXPECT_EQ(SmallFont().GetCharWidth('W' - 32), full);
    TvScaleFonts(1024);
    EXPECT_LT(SmallFont().GetCharWidth('W' - 32), full);
}

TEST_F(ConsoleFontsTest, CharactersAboveTheAsciiRangeMeasureAsTheirPlainLetters) {
    EXPECT_EQ(SmallFont().GetCharWidth(233 - 32), SmallFont().GetCharWidth('e' - 32)); // é
    EXPECT_EQ(SmallFont().GetCharWidth(164 - 32), SmallFont().GetCharWidth('?' - 32)); // ¤
}

TEST_F(ConsoleFontsTest, KeysTypeAndAreNamedByTheLanguageLibrarysTexts) {
    const struct {
        uint32_t key, modifiers;
        const char* text;
    } cases[] = {
        {30, 0, "a"},
        {30, kModifierShift, "A"},
        {44, 0, "z"},
        {2, 0, "1"},
        {2, kModifierShift, "!"},
        {11, 0, "0"},
        {40, kModifierShift, "\""},
        {40, 0, "'"},
        {43, 0, "\\"},
        {86, kModifierShift, "\\"},
        {26, kModifierShift, "["},
        {57, 0, " "},
        {53, kModifierShift, "?"},
        {79, kModifierShift, "1"},
        {82, 0, "0"},
        {59, 0, ""},
        {28, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_STREQ(TvKeyToChar(c.key, c.modifiers), c.text);
    }
    const struct {
        uint32_t key;
        const char* name;
    } names[] = {{1, "Escape"}, {2, "1"}, {11, "0"}, {30, "A"}, {59, "F1"}, {86, "Backslash"}, {211, "Delete"},
                 {29, ""},      {300, ""}};
    for (const auto& n : names) EXPECT_STREQ(TvKeyName(n.key), n.name) << n.key;
}

TEST_F(ConsoleFontsTest, TextWrappersQueueInTheirFontsWithTheirFlags) {
    const std::string longLine(300, 'x');
    TvDrawStatusLine(0.1f, 0.1f, "first line\nsecond line");
    TvDrawStatusLine(0.1f, 0.1f, (longLine + "\nshort").c_str()); // a first line past 256 draws nothing
    TvDrawMenuTextClipped(false, 0.1f, 0.1f, "menu", 0xFFFFFFFF, 2);
    TvDrawMenuTextClipped(false, 0.1f, 0.1f, "menu", 0xFFFFFFFF, 0); // nothing for no characters
    TvDrawTextBox(0.1f, 0.1f, 0.5f, "box", 0xFFFFFFFF, 0.25f, nullptr, 3);
    EXPECT_EQ(TakeQueued(SmallFont()), (std::vector<QueuedText>{{"first line\nsecond line", 10, kTextSingleLine},
                                                                {"menu", 2, kTextLastInSecond | kTextSingleLine},
                                                                {"box", 3, kTextSingleLine | kTextCentre}}));
    TvLoadingDrawText("Loading");
    EXPECT_EQ(TakeQueued(LargeFont()),
              (std::vector<QueuedText>{{"Loading", 7, kTextOutline | kTextSingleLine | kTextCentre}}));
    TvDrawTextClipped(0.1f, 0.1f, "name", 3, true, nullptr);
    EXPECT_EQ(TakeQueued(SmallFont2()), (std::vector<QueuedText>{{"name", 3, kTextSingleLine | kTextCaret}}));
}

TEST_F(ConsoleFontsTest, TextWidthsAddGlyphsAndCountANewlineAsHalfTheScreen) {
    const int32_t ab = SmallFont().GetCharWidth('a' - 32) + SmallFont().GetCharWidth('b' - 32);
    EXPECT_EQ(TvTextWidth(SmallFont(), "ab"), ab);
    EXPECT_EQ(TvTextWidth(SmallFont(), "a\nb"), ab + 320);
    EXPECT_EQ(TvTextWidthN(SmallFont(), "abc", 2), ab);
    const AwTextRect rect = TvTextRect(0.25f, 0.5f, "ab");
    EXPECT_FLOAT_EQ(rect.right, 0.25f + static_cast<float>(ab) / 640.0f);
    EXPECT_FLOAT_EQ(rect.bottom, 0.5f + TvSmallLineHeight());
}

TEST(ConsoleTextTrim, TrimsAsciiBlanksOnlyAndAnswersNullForNothing) {
    char plain[] = "  \tline \r\n";
    EXPECT_STREQ(TvTrimBlanks(plain), "line");
    char multibyte[] = " \xC3\xA9t\xC3\xA9 ";
    EXPECT_STREQ(TvTrimBlanks(multibyte), "\xC3\xA9t\xC3\xA9");
    char blank[] = " \t ";
    EXPECT_EQ(TvTrimBlanks(blank), nullptr);
    EXPECT_EQ(TvTrimBlanks(nullptr), nullptr);
}

} // namespace
