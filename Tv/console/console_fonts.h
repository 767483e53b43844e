#pragma once
// The four bitmap fonts the interface draws text with: SmallFont (console,
// captions, most of the interface), LargeFont (menus, loading caption),
// BigFont (briefing pages, from the large image) and SmallFont2 (HUD
// information panels). They share one replacement table that sends the
// characters above 127 to ones the fonts have. Main thread only.

#include <cstdint>

#include "Awapi/font.h"

struct AwTexture;

// Made on first use (their vertex buffers join the engine's lists, which
// must exist first); drawable once TvCreateConsoleFonts has run.
AwFont& SmallFont();
AwFont& LargeFont();
AwFont& BigFont();
AwFont& SmallFont2();

// Latin-1 letters to their plain letters, the rest of the upper half to '?'.
extern const AwCharReplacement ConsoleCharReplacements[];

// Makes the four fonts from the three images (the large image serves
// LargeFont and BigFont), gives them the replacement table and scales them to
// the screen width.
void TvCreateConsoleFonts(AwTexture* small, AwTexture* large, AwTexture* small2, int32_t screenWidth);
// Releases the four fonts (nothing for fonts never made).
void TvReleaseConsoleFonts();
// Font scales from the screen width in pixels: SmallFont 0.7 below 750, 0.88
// up to 1,200, else 1.0; LargeFont 0.88 up to 1,200, else 1.0; SmallFont2
// 0.65 up to 1,200, 0.8 up to 1,500, else 1.0; BigFont 2.0 up to 1,000, 2.5 up
// to 1,200, else 3.0. Glyph widths and line heights follow the scale.
void TvScaleFonts(int32_t screenWidth);

// SmallFont's line height as a fraction of the screen height.
float TvSmallLineHeight();
