#include "Tv/console/console_fonts.h"

#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Tv/console/font_glyphs.h"

namespace {
AwFont& ConsoleFont(int32_t index) {
    static AwFont fonts[4];
    return fonts[index];
}
} // namespace

AwFont& SmallFont() { return ConsoleFont(0); }
AwFont& LargeFont() { return ConsoleFont(1); }
AwFont& BigFont() { return ConsoleFont(2); }
AwFont& SmallFont2() { return ConsoleFont(3); }

// Ends with the pair whose from is 33, as the engine expects.
const AwCharReplacement ConsoleCharReplacements[] = {
    {192, 'A'}, {193, 'A'}, {194, 'A'}, {195, 'A'}, {196, 'A'}, {197, 'A'}, {199, 'C'}, {200, 'E'}, {201, 'E'},
    {202, 'E'}, {203, 'E'}, {204, 'I'}, {205, 'I'}, {206, 'I'}, {207, 'I'}, {209, 'N'}, {210, 'O'}, {211, 'O'},
    {212, 'O'}, {213, 'O'}, {214, 'O'}, {216, 'O'}, {217, 'U'}, {218, 'U'}, {219, 'U'}, {220, 'U'}, {221, 'Y'},
    {223, 's'}, {224, 'a'}, {225, 'a'}, {226, 'a'}, {227, 'a'}, {228, 'a'}, {229, 'a'}, {231, 'c'}, {232, 'e'},
    {233, 'e'}, {234, 'e'}, {235, 'e'}, {236, 'i'}, {237, 'i'}, {238, 'i'}, {239, 'i'}, {241, 'n'}, {242, 'o'},
    {243, 'o'}, {244, 'o'}, {245, 'o'}, {246, 'o'}, {248, 'o'}, {249, 'u'}, {250, 'u'}, {251, 'u'}, {252, 'u'},
    {253, 'y'}, {255, 'y'}, {33, 33},
};

namespace {

bool fontsMade = false;

struct FontSource {
    AwFont& (*font)();
    FontImageKind image;
};
constexpr FontSource kFonts[] = {
    {SmallFont, kSmallFontImage},
    {LargeFont, kLargeFontImage},
    {BigFont, kLargeFontImage},
    {SmallFont2, kSmallFont2Image},
};

void SetScale(AwFont& font, FontImageKind image, float scale) {
    font.scale = scale;
    font.ScaleWidths(FontLayout(image).widths, scale);
}

} // namespace

void TvCreateConsoleFonts(AwTexture* small, AwTexture* large, AwTexture* small2, int32_t screenWidth) {
    TvReleaseConsoleFonts();
    AwTexture* const textures[kFontImageCount] = {small, large, small2};
    for (const FontSource& source : kFonts) {
        const FontImageLayout& layout = FontLayout(source.image);
        source.font().Construct(textures[source.image], kFontGlyphSize, layout.widths, layout.rows);
        source.font().replacements = ConsoleCharReplacements;
    }
    fontsMade = true;
    TvScaleFonts(screenWidth);
}

void TvReleaseConsoleFonts() {
    if (!fontsMade) return;
    for (const FontSource& source : kFonts) source.font().Destroy();
    fontsMade = false;
}

void TvScaleFonts(int32_t w) {
    SetScale(SmallFont(), kSmallFontImage, w < 750 ? 0.7f : w <= 1200 ? 0.88f : 1.0f);
    SetScale(LargeFont(), kLargeFontImage, w <= 1200 ? 0.88f : 1.0f);
    SetScale(SmallFont2(), kSmallFont2Image, w <= 1200 ? 0.65f : w <= 1500 ? 0.8f : 1.0f);
    SetScale(BigFont(), kLargeFontImage, w <= 1000 ? 2.0f : w <= 1200 ? 2.5f : 3.0f);
}

float TvSmallLineHeight() {
    if (ScreenGeometry.ScreenHeightF <= 0.0f) return 0.0f; // no display yet
    float height = 0.0f;
    SmallFont().GetLineHeight(height);
    return height;
}
