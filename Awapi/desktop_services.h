#pragma once
// Text drawn by the desktop's own font renderer, the desktop's dialogs and
// the bracket that shows the desktop-drawable surface around them. This
// platform has neither desktop text nor common dialogs: the text calls and
// the dialogs report failure, and the bracket has no buffer to flip to, since
// the window always shows the primary. Main thread only.

#include <cstdint>
#include <string_view>

#include "platform/d3d/ddraw_types.h"

namespace plat {
class Surface;
}

// A background colour that draws no background behind the text.
constexpr uint32_t kGdiTransparent = 0x1000000;

struct AwGdiTextStyleRecord {
    const void* Font = nullptr;    // none: the system font
    uint32_t TextColour = 0x000001; // 0x00BBGGRR
    uint32_t BackgroundColour = 0;  // or kGdiTransparent
};
extern AwGdiTextStyleRecord AwGdiTextStyle;

void AwSetGdiTextStyle(const void* font, uint32_t textColour, uint32_t backgroundColour);
// False: no desktop text on this platform.
bool AwGdiTextOut(std::string_view text, plat::Surface* surface, int32_t x, int32_t y, const plat::Rect* clip);
bool AwGdiTextExtent(std::string_view text, int32_t& width, int32_t& height);

// The buffer of the flip chain the desktop draws on: the primary.
plat::Surface* AwGetGdiSurface();
// False when a dialog bracket is already open.
bool AwBeginGdiDialog();
bool AwEndGdiDialog();

// False: no common dialogs on this platform; the caller's data stays as it was.
bool AwChooseFontDialog(void* logFont);
bool AwFileDialog(void* owner, char* fileName, uint32_t size, std::string_view kind, bool save);
