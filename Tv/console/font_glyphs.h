#pragma once
// The glyphs of the interface's three font images, drawn by us: one 5 x 7
// pixel shape per character, magnified per image. The images are generated
// at build time from these shapes and the game builds its fonts' width and
// row tables from the same shapes, so the tables always match the images.
//
// An image is 256 x 256; glyph i covers columns [x, x + width + 1) of its
// texture row, laid out as AwFont::Construct walks it (x from 1, 3 pixels
// between glyphs, a new row of kFontGlyphSize pixels where rows[i] changes).

#include <cstdint>

#include "Awapi/font.h"

constexpr int32_t kFontGlyphSize = 25; // the fonts' line height in the images
constexpr int32_t kFontImageSide = 256;

enum FontImageKind : int32_t { kSmallFontImage = 0, kLargeFontImage, kSmallFont2Image, kFontImageCount };

struct FontImageLayout {
    int32_t widths[AwFont::kGlyphs];
    int32_t rows[AwFont::kGlyphs + 1];
};

// The glyph advances and texture rows of an image.
const FontImageLayout& FontLayout(FontImageKind kind);

// The image's file name in the graphics directory.
const char* FontImageName(FontImageKind kind);

// Draws the image: 255 where a glyph is inked, 0 elsewhere, rows top first.
void RenderFontImage(FontImageKind kind, uint8_t (&pixels)[kFontImageSide][kFontImageSide]);
