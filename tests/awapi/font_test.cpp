#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/camera.h"
#include "Awapi/font.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/vertex_buffer.h"
#include "tests/awapi/engine_fixture.h"

namespace {

constexpr int32_t kLine = 16;
constexpr int32_t kQuestionWidth = 5;
constexpr int32_t kAWidth = 9;

// Glyphs 8 pixels wide, 16 to a texture row; "?" and "A" stand out.
class FontTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        texture = TextureManager.Get("fonttest.bmp", 0);
        for (int i = 0; i < AwFont::kGlyphs; ++i) widths[i] = 8;
        widths['?' - 32] = kQuestionWidth;
        widths['A' - 32] = kAWidth;
        for (int i = 0; i <= AwFont::kGlyphs; ++i) rows[i] = i / 16;
        font.Construct(texture, kLine, widths, rows);
        CutsceneCameraMoved = 0;
        ConsoleCaretIndex = 0;
    }
    void TearDown() override {
        font.Destroy();
        ReleaseUseCount(texture);
        EngineTest::TearDown();
    }
    // Queues text at the top left of a rectangle 100 pixels wide and returns the queued record.
    const AwQueuedText& Queue(const char* text, uint32_t flags = 0, float top = 0.5f, float bottom = 1.0f) {
        font.QueueText({0.0f, top, 100.0f / 640.0f, bottom}, text, 0xFFFFFFFFu, nullptr, 1000, flags, 0.0f,
                       nullptr, 0);
        return *font.queue.Back();
    }
    int32_t Lines(const char* text, uint32_t flags = 0) {
        return font.QueueText({0.0f, 0.5f, 100.0f / 640.0f, 1.0f}, text, 0, nullptr, 1000, flags | kTextMeasureOnly,
                              0.0f, nullptr, 0);
    }
    // Draws the queue inside a scene and returns the recorded draws.
    std::vector<plat::RecordedDraw> DrawAll() {
        backend->ResetRecords();
        AwDevice.Direct3DDevice->BeginScene();
        EXPECT_TRUE(font.DrawQueued());
        AwDevice.Direct3DDevice->EndScene();
        return backend->Draws();
    }
    std::vector<AwTLVertex> BufferVertices(uint32_t count) {
        std::vector<AwTLVertex> out(count);
        font.vertexBuffer.Buffer->UseVertices(0, count, [&](const uint8_t* data) {
            std::memcpy(out.data(), data, count * sizeof(AwTLVertex));
        });
        return out;
    }

    AwTexture* texture = nullptr;
    int32_t widths[AwFont::kGlyphs];
    int32_t rows[AwFont::kGlyphs + 1];
    AwFont font;
};

TEST_F(FontTest, GlyphsAreLaidOutRowByRow) {
    EXPECT_FLOAT_EQ(font.glyphU[0][0], 1.0f / 256);
    EXPECT_FLOAT_EQ(font.glyphU[0][1], 10.0f / 256);
    EXPECT_FLOAT_EQ(font.glyphU[1][0], 12.0f / 256); // two free pixels between glyphs
    EXPECT_FLOAT_EQ(font.glyphV[15][0], 1.0f / 256);
    EXPECT_FLOAT_EQ(font.glyphU[16][0], 1.0f / 256); // rows[15] != rows[16]
    EXPECT_FLOAT_EQ(font.glyphV[16][0], 17.0f / 256);
    EXPECT_FLOAT_EQ(font.glyphV[16][1], 32.0f / 256);
    EXPECT_GE(texture->RefCount, 2); // the fixture's use and the font's
    EXPECT_EQ(AwFontList.Count(), 1);
    float height = 0;
    font.GetLineHeight(height);
    EXPECT_FLOAT_EQ(height, 16.0f / 480.0f);
}

TEST_F(FontTest, CharactersTheFontLacksAreQuestionMarks) {
    EXPECT_EQ(font.GetCharWidth('A' - 32), kAWidth);
    EXPECT_EQ(font.GetCharWidth(200 - 32), kQuestionWidth) << "beyond the glyphs, no table";
    EXPECT_EQ(font.GetCharWidth(200 - 32 - 256), kQuestionWidth) << "negative glyphs wrap round a byte";
    EXPECT_EQ(font.GetCharWidth(150 - 32), 8) << "a glyph of its own without a table";
    const AwCharReplacement table[] = {{200, 'A'}, {201, 250}, {33, 0}};
    font.replacements = table;
    EXPECT_EQ(font.GetCharWidth(200 - 32), kAWidth);
    EXPECT_EQ(font.GetCharWidth(150 - 32), kQuestionWidth) << "missing from the table";
    EXPECT_EQ(font.GetCharWidth(201 - 32), kQuestionWidth) << "replaced by a code beyond the glyphs";

    const AwQueuedText& queued = Queue("\xC8\x96z");
    EXPECT_EQ(queued.text, "A?z");

}

TEST_F(FontTest, CharactersTheFontLacksAreDrawnAsQuestionMarks) {
    const AwCharReplacement table[] = {{200, 'A'}, {201, 250}, {33, 0}};
    const struct {
        const char* text;
        const AwCharReplacement* replacements;
    } cases[] = {
        {"\xC8", nullptr}, // beyond the glyphs, no table
        {"\t", nullptr},   // below them
        {"\x96", table},   // missing from the table
        {"\xC9", table},   // replaced by a code beyond the glyphs
    };
    const int32_t question = '?' - 32;
    for (const auto& c : cases) {
        font.replacements = c.replacements;
        Queue(c.text, kTextSingleLine);
        ASSERT_EQ(DrawAll().size(), 1u);
        const std::vector<AwTLVertex> quad = BufferVertices(4);
        EXPECT_FLOAT_EQ(quad[0].u, font.glyphU[question][0]) << static_cast<int>(c.text[0]);
        EXPECT_FLOAT_EQ(quad[1].u, font.glyphU[question][1]) << static_cast<int>(c.text[0]);
        EXPECT_FLOAT_EQ(quad[1].x, -1.0f + kQuestionWidth) << static_cast<int>(c.text[0]);
    }
}

TEST_F(FontTest, ReplacedTextIsBoundedAndNullTextQueuesNothing) {
    const std::string longText(5000, '\xC8');
    const AwTextRect rect{0, 0.5f, 1, 1};
    font.QueueText(rect, longText.c_str(), 0, nullptr, 5000, kTextSingleLine, 0, nullptr, 0);
    EXPECT_EQ(font.queue.Back()->text, longText) << "without a table nothing is replaced or cut";

    const AwCharReplacement table[] = {{200, 'A'}, {33, 0}};
    font.replacements = table;
    font.QueueText(rect, longText.c_str(), 0, nullptr, 5000, kTextSingleLine, 0, nullptr, 0);
    EXPECT_EQ(font.queue.Back()->text, std::string(1023, 'A'));
    EXPECT_EQ(font.queue.Back()->length, 1023);
    EXPECT_EQ(DrawAll().size(), 12u) << "all 6,023 glyphs, 512 to a buffer";

    EXPECT_EQ(font.QueueText(rect, nullptr, 0, nullptr, 10, 0, 0, nullptr, 0), 0);
    EXPECT_TRUE(font.queue.IsEmpty());
}

TEST_F(FontTest, WordsWrapAtTheRightEdge) {
    EXPECT_EQ(Lines("aaaa aaaa"), 1);                // 32 + 8 + 32 fits in 100
    EXPECT_EQ(Lines("aaaa aaaa aaaa"), 2);
    EXPECT_EQ(Lines("a\nb\nc"), 3);
    EXPECT_EQ(Lines("a aaaaaaaaaaaaaaaa"), 3) << "a long word starts a new line and then breaks";
    EXPECT_EQ(Lines("aaaa aaaa aaaa", kTextSingleLine), 1);
    EXPECT_TRUE(font.queue.IsEmpty()) << "measuring queues nothing";
}

TEST_F(FontTest, GrowingUpwardEndsAtTheTopUnlessTheCutsceneMovedTheCamera) {
    const int32_t top = 240;
    EXPECT_EQ(Queue("a\nb\nc", kTextGrowUp).startY, top - 2 * kLine);
    CutsceneCameraMoved = 1;
    EXPECT_EQ(Queue("a\nb\nc", kTextGrowUp).startY, top);
    EXPECT_EQ(Queue("a\nb\nc").startY, top);
}

TEST_F(FontTest, CutAtBottomDropsTheLinesBelow) {
    // Bottom at 240 + 20: only the first line fits.
    const AwQueuedText& cut = Queue("ab\ncd\nef", kTextCutAtBottom, 0.5f, 260.0f / 480.0f);
    EXPECT_EQ(cut.length, 3);
    const AwQueuedText& whole = Queue("ab\ncd\nef", 0, 0.5f, 260.0f / 480.0f);
    EXPECT_EQ(whole.length, 8);
    EXPECT_EQ(font.QueueText({0, 0.5f, 1, 1}, "one line", 0, nullptr, 100, 0, 0, nullptr, 2), 0)
        << "fewer lines than the first line asked for";
}

TEST_F(FontTest, EachLineIsCentredOrRightAligned) {
    // "abc" is 24 pixels and "a" 8 in a rectangle 100 wide; glyph quads start a pixel left of the pen.
    const struct {
        uint32_t flags;
        float firstLineX, secondLineX;
    } cases[] = {
        {0, -1, -1},
        {kTextCentre, 37, 45},
        {kTextRightAlign, 75, 91},
        {kTextCentre | kTextRightAlign, 37, 45},
    };
    for (const auto& c : cases) {
        Queue("abc\na", c.flags);
        ASSERT_EQ(DrawAll().size(), 1u);
        const std::vector<AwTLVertex> quads = BufferVertices(16);
        EXPECT_FLOAT_EQ(quads[0].x, c.firstLineX) << c.flags;
        EXPECT_FLOAT_EQ(quads[12].x, c.secondLineX) << c.flags;
        EXPECT_FLOAT_EQ(quads[12].y, 240.0f + kLine) << c.flags;
    }
}

TEST_F(FontTest, TheFiveHundredThirteenthQuadFlushesFirst) {
    const std::string text(513, 'a');
    Queue(text.c_str(), kTextSingleLine);
    const std::vector<plat::RecordedDraw> draws = DrawAll();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].indexCount, 3072u);
    EXPECT_EQ(draws[0].vertexCount, 2048u);
    EXPECT_EQ(draws[1].indexCount, 6u);
    EXPECT_TRUE(font.queue.IsEmpty());
}

TEST_F(FontTest, OutlineAndCaretAddQuads) {
    struct Case {
        const char* text;
        uint32_t flags;
        int32_t caret;
        uint32_t quads;
    };
    const Case cases[] = {
        {"abc", 0, 0, 3},
        {"abc", kTextOutline, 0, 12},
        {"abc", kTextCaret, 0, 4},
        {"abc", kTextCaret, 2, 4},
        {"a\nb", kTextCaret, 2, 2},  // after a newline: no caret
        {" ab", kTextCaret, 1, 2},   // after a space that takes no room: no caret
        {"a b", kTextCaret, 2, 3},
    };
    for (const Case& c : cases) {
        ConsoleCaretIndex = c.caret;
        Queue(c.text, c.flags);
        const std::vector<plat::RecordedDraw> draws = DrawAll();
        ASSERT_EQ(draws.size(), 1u) << c.text;
        EXPECT_EQ(draws[0].indexCount, c.quads * 6) << c.text << " flags " << c.flags << " caret " << c.caret;
    }
}

TEST_F(FontTest, GlyphsAboveTheTopAreCutAndDepthZeroStaysFinite) {
    AwCamera camera;
    camera.perspective = true;
    camera.viewport.minZ = 0.0f;
    font.QueueText({0, -8.0f / 480.0f, 1, 1}, "a", 0xFF123456u, &camera, 10, 0, 0.0f, nullptr, 0);
    font.QueueText({0, -40.0f / 480.0f, 1, 1}, "b", 0xFF123456u, &camera, 10, 0, 0.0f, nullptr, 0);
    ASSERT_EQ(DrawAll().size(), 1u);
    const std::vector<AwTLVertex> quad = BufferVertices(4);
    EXPECT_FLOAT_EQ(quad[0].y, 0.0f);
    EXPECT_FLOAT_EQ(quad[2].y, 8.0f);
    const float v0 = font.glyphV['a' - 32][0], v1 = font.glyphV['a' - 32][1];
    EXPECT_FLOAT_EQ(quad[0].v, v0 + (v1 - v0) * 0.5f);
    EXPECT_FLOAT_EQ(quad[0].x, -1.0f);
    EXPECT_EQ(quad[0].diffuse, 0xFF123456u);
    EXPECT_TRUE(std::isfinite(quad[0].rhw));
    EXPECT_GT(quad[0].rhw, 1.0f);
}

TEST_F(FontTest, DestroyLeavesTheListAndDropsTheTexture) {
    Queue("queued and never drawn");
    const int32_t uses = texture->RefCount;
    font.Destroy();
    EXPECT_EQ(AwFontList.Count(), 0);
    EXPECT_EQ(texture->RefCount, uses - 1);
    EXPECT_TRUE(font.queue.IsEmpty());
    font.Construct(texture, kLine, widths, rows); // for the tear-down
}

} // namespace
