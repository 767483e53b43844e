#pragma once
// The thin text routines of the interface on the console's fonts: widths,
// rectangles and the drawing wrappers. Each wrapper fills one shared text box
// {x, y, right edge, bottom edge} (screen fractions; text wraps at the right
// edge; only TvDrawTextBlock sets the bottom edge) and queues the text with
// its font. Flags are the engine's kText* flags. Main thread only.

#include <cstdint>

#include "Awapi/font.h"

class AwCamera;

// The sum of the glyph widths in pixels; a newline counts half the screen width.
int32_t TvTextWidth(const AwFont& font, const char* text);
// The same for the first n characters.
int32_t TvTextWidthN(const AwFont& font, const char* text, int32_t n);
// {x, y, x + width / screen width, y + line height} of a SmallFont text.
AwTextRect TvTextRect(float x, float y, const char* text);

// SmallFont at (x, ConsoleSlide + y), right edge 0.85, the caller's flags;
// the row count, 0 when the text would not fit.
int32_t TvConsoleDrawText(float x, float y, const char* text, uint32_t colour, uint32_t flags);
// SmallFont2, right edge 1.2, single line.
int32_t TvDrawInfoText(float x, float y, const char* text, uint32_t colour, float scale);
// SmallFont2, right edge 0.95, wrapped.
int32_t TvDrawInfoTextPlain(float x, float y, const char* text, uint32_t colour, float scale);
// SmallFont, right edge 0.95, single line.
int32_t TvDrawSmallText(float x, float y, const char* text, uint32_t colour);
// SmallFont2, right edge 0.95, at most n characters, single line, with the
// text cursor when `caret`; white when no colour is given.
int32_t TvDrawTextClipped(float x, float y, const char* text, int32_t n, bool caret, const uint32_t* colour);
// SmallFont (TvDrawTextBox) or SmallFont2 (TvDrawTextBox2) in a box with the
// caller's right edge, at most n characters (a shorter n marks a cut text).
int32_t TvDrawTextBox(float x, float y, float right, const char* text, uint32_t colour, float scale, AwCamera* camera,
                      int32_t n);
int32_t TvDrawTextBox2(float x, float y, float right, const char* text, uint32_t colour, float scale, AwCamera* camera,
                       int32_t n);
// Menu texts in SmallFont or LargeFont, right edge 1.0: centred layout;
// clipped to n characters (nothing for n 0); right-aligned at x.
int32_t TvDrawMenuText(bool large, float x, float y, const char* text, uint32_t colour);
int32_t TvDrawMenuTextClipped(bool large, float x, float y, const char* text, uint32_t colour, int32_t n);
int32_t TvDrawMenuTextRight(bool large, float x, float y, const char* text, uint32_t colour, int32_t n);
// The loading caption: LargeFont at (0.0, 0.8917), centred, outlined, caption colour.
int32_t TvLoadingDrawText(const char* text);
// Status texts at right edge 0.9 in the status colour: SmallFont, its first
// line only (nothing when that line is longer than 256 characters), SmallFont2.
int32_t TvDrawStatusText(float x, float y, const char* text);
int32_t TvDrawStatusLine(float x, float y, const char* text);
int32_t TvDrawStatusText2(float x, float y, const char* text);
// A boxed block of n characters in the box x 0.1, y 0.775, right 0.8, bottom 0.9.
int32_t TvDrawTextBlock(const char* text, uint32_t colour, int32_t n);
