#include "Tv/console/text_draw.h"

#include <climits>
#include <cstring>

#include "Awapi/aw3d/screen_geometry.h"
#include "Tv/console/captions.h"
#include "Tv/console/console_fonts.h"
#include "Tv/console/console_window.h"
#include "core/numeric.h"

namespace {

constexpr float kTextScale = 0.25f; // the depth the console and menu texts are queued at
constexpr int32_t kWhole = INT_MAX;
constexpr int32_t kLongestStatusLine = 256;

// The box every wrapper fills; its bottom edge is TvDrawTextBlock's alone.
AwTextRect sharedBox{0.0f, 0.0f, 1.0f, 1.0f};

int32_t Queue(AwFont& font, float x, float y, float right, const char* text, uint32_t colour, AwCamera* camera,
              int32_t length, uint32_t flags, float scale) {
    sharedBox.left = x;
    sharedBox.top = y;
    sharedBox.right = right;
    return font.QueueText(sharedBox, text, colour, camera, length, flags, scale, nullptr, 0);
}

// A length below the text's own marks a cut text.
uint32_t CutFlags(const char* text, int32_t n, uint32_t cut, uint32_t whole) {
    return n < static_cast<int32_t>(std::strlen(text)) ? cut : whole;
}

AwFont& MenuFont(bool large) { return large ? LargeFont() : SmallFont(); }

} // namespace

int32_t TvTextWidthN(const AwFont& font, const char* text, int32_t n) {
    int32_t width = 0;
    for (int32_t i = 0; i < n && text[i] != '\0'; ++i) {
        if (text[i] == '\n')
            width += FloorToInt(ScreenGeometry.ScreenWidthF * 0.5f);
        else
            width += font.GetCharWidth(static_cast<unsigned char>(text[i]) - AwFont::kFirstCode);
    }
    return width;
}

int32_t TvTextWidth(const AwFont& font, const char* text) { return TvTextWidthN(font, text, kWhole); }

AwTextRect TvTextRect(float x, float y, const char* text) {
    const float width = static_cast<float>(TvTextWidth(SmallFont(), text)) / ScreenGeometry.ScreenWidthF;
    return {x, y, x + width, y + TvSmallLineHeight()};
}

int32_t TvConsoleDrawText(float x, float y, const char* text, uint32_t colour, uint32_t flags) {
    return Queue(SmallFont(), x, ConsoleSlide + y, 0.85f, text, colour, nullptr, kWhole, flags, kTextScale);
}

int32_t TvDrawInfoText(float x, float y, const char* text, uint32_t colour, float scale) {
    return Queue(SmallFont2(), x, y, 1.2f, text, colour, nullptr, kWhole, kTextSingleLine, scale);
}

int32_t TvDrawInfoTextPlain(float x, float y, const char* text, uint32_t colour, float scale) {
    return Queue(SmallFont2(), x, y, 0.95f, text, colour, nullptr, kWhole, 0, scale);
}

int32_t TvDrawSmallText(float x, float y, const char* text, uint32_t colour) {
    return Queue(SmallFont(), x, y, 0.95f, text, colour, nullptr, kWhole, kTextSingleLine, kTextScale);
}

int32_t TvDrawTextClipped(float x, float y, const char* text, int32_t n, bool caret, const uint32_t* colour) {
    const uint32_t flags = caret ? kTextSingleLine | kTextCaret : kTextSingleLine;
    return Queue(SmallFont2(), x, y, 0.95f, text, colour ? *colour : 0xFFFFFFFFu, nullptr, n, flags, kTextScale);
}

int32_t TvDrawTextBox(float x, float y, float right, const char* text, uint32_t colour, float scale, AwCamera* camera,
                      int32_t n) {
    const uint32_t flags =
        CutFlags(text, n, kTextLastInSecond | kTextSingleLine | kTextCentre, kTextSingleLine | kTextCentre);
    return Queue(SmallFont(), x, y, right, text, colour, camera, n, flags, scale);
}

int32_t TvDrawTextBox2(float x, float y, float right, const char* text, uint32_t colour, float scale, AwCamera* camera,
                       int32_t n) {
    const uint32_t flags =
        CutFlags(text, n, kTextLastInSecond | kTextSingleLine | kTextCentre, kTextSingleLine | kTextCentre);
    return Queue(SmallFont2(), x, y, right, text, colour, camera, n, flags, scale);
}

int32_t TvDrawMenuText(bool large, float x, float y, const char* text, uint32_t colour) {
    return Queue(MenuFont(large), x, y, 1.0f, text, colour, nullptr, kWhole, kTextCentre, kTextScale);
}

int32_t TvDrawMenuTextClipped(bool large, float x, float y, const char* text, uint32_t colour, int32_t n) {
    if (n == 0) return 0;
    const uint32_t flags = CutFlags(text, n, kTextLastInSecond | kTextSingleLine, kTextSingleLine);
    return Queue(MenuFont(large), x, y, 1.0f, text, colour, nullptr, n, flags, kTextScale);
}

int32_t TvDrawMenuTextRight(bool large, float x, float y, const char* text, uint32_t colour, int32_t n) {
    const AwTextRect rect = TvTextRect(x, y, text);
    return TvDrawMenuTextClipped(large, x - (rect.right - rect.left), y, text, colour, n);
}

int32_t TvLoadingDrawText(const char* text) {
    return Queue(LargeFont(), 0.0f, 0.8917f, 1.0f, text, kCaptionColour, nullptr, kWhole,
                 kTextOutline | kTextSingleLine | kTextCentre, kTextScale);
}

int32_t TvDrawStatusText(float x, float y, const char* text) {
    return Queue(SmallFont(), x, y, 0.9f, text, kStatusTextColour, nullptr, kWhole, kTextSingleLine, kTextScale);
}

int32_t TvDrawStatusLine(float x, float y, const char* text) {
    const char* newline = std::strchr(text, '\n');
    const int32_t length = newline ? static_cast<int32_t>(newline - text) : static_cast<int32_t>(std::strlen(text));
    if (length > kLongestStatusLine) return 0;
    return Queue(SmallFont(), x, y, 0.9f, text, kStatusTextColour, nullptr, length, kTextSingleLine, kTextScale);
}

int32_t TvDrawStatusText2(float x, float y, const char* text) {
    return Queue(SmallFont2(), x, y, 0.9f, text, kStatusTextColour, nullptr, kWhole, kTextSingleLine, kTextScale);
}

int32_t TvDrawTextBlock(const char* text, uint32_t colour, int32_t n) {
    sharedBox.bottom = 0.9f;
    return Queue(SmallFont(), 0.1f, 0.775f, 0.8f, text, colour, nullptr, n, kTextCutAtBottom, kTextScale);
}
