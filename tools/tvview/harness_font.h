#pragma once
// The harness's own font texture: 3 x 5 pixel capitals, digits and a little
// punctuation drawn twice their size, white on black, written as a PPM image
// in the layout AwFont expects for the widths and rows below.

#include <cstdint>
#include <string>

#include "Awapi/font.h"

constexpr int32_t kHarnessLineHeight = 12;

struct HarnessFontLayout {
    int32_t widths[AwFont::kGlyphs];
    int32_t rows[AwFont::kGlyphs + 1];
};

HarnessFontLayout HarnessFontLayoutOf();
// Writes the texture image; false when the file cannot be written.
bool WriteHarnessFontImage(const std::string& path);
