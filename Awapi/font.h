#pragma once
// Bitmap fonts: one 256 x 256 texture holding 140 glyphs for the character
// codes 32 to 171, an advance per glyph and one line height. Callers queue
// strings into a rectangle given as fractions of the screen; the end of the
// frame draws every font's queue after the 3D scene as textured quads in the
// font's own pre-transformed vertex buffer. Main thread only.

#include <cstdint>
#include <string>

#include "Awapi/VertBuff/tl_vertex_buffer.h"
#include "core/list.h"

class AwCamera;
class RenderMaterial;
struct AwTexture;

// The console's caret (its edit position and colour) and the game camera's
// cutscene bit: written by the console and the shell, only read here.
extern int32_t ConsoleCaretIndex;
extern uint32_t ConsoleCaretColour;
extern uint8_t CutsceneCameraMoved;

// Text flags.
constexpr uint32_t kTextMeasureOnly = 0x1;   // count lines, queue nothing
constexpr uint32_t kTextCentre = 0x2;        // centre each line between the edges
constexpr uint32_t kTextCaret = 0x4;         // draw the console caret
constexpr uint32_t kTextSingleLine = 0x8;    // no wrapping
constexpr uint32_t kTextLastInSecond = 0x10; // the last character in the second colour
constexpr uint32_t kTextOutline = 0x20;      // black outline under each glyph
constexpr uint32_t kTextGrowUp = 0x40;       // each extra line moves the start up a line
constexpr uint32_t kTextCutAtBottom = 0x80;  // without kTextGrowUp: drop the lines past the bottom
constexpr uint32_t kTextRightAlign = 0x100;  // without kTextCentre

// (from, to) character codes; the table ends with a pair whose from is 33.
struct AwCharReplacement {
    int32_t from, to;
};

// Edges as fractions of the screen.
struct AwTextRect {
    float left, top, right, bottom;
};

struct AwQueuedText {
    int32_t left, right, startY;
    std::string text;
    int32_t length;
    uint32_t colour;
    AwCamera* camera;
    uint32_t flags;
    float depth; // 0 to 1 of the camera's depth range
    uint32_t secondColour;
};

class AwFont {
public:
    static constexpr int kGlyphs = 140;
    static constexpr int kFirstCode = 32;
    static constexpr int kCaretGlyph = 64;

    // Lays the glyphs out in the texture: a glyph follows the previous one on
    // its row (2 pixels apart) while rows[i] equals rows[i + 1], else the next
    // starts a new row one line lower. Counts a use of the texture and joins the font list.
    void Construct(AwTexture* texture, int32_t lineHeight, const int32_t (&widths)[kGlyphs],
                   const int32_t (&rows)[kGlyphs + 1]);
    void Destroy();
    // glyphWidth[i] = floor(source[i] x factor + 0.5).
    void ScaleWidths(const int32_t (&source)[kGlyphs], float factor);
    // The advance of glyph g (character g + 32, negative glyphs wrap round a
    // byte); characters the font cannot draw measure as "?".
    int32_t GetCharWidth(int32_t glyph) const;
    // lineHeight x scale as a fraction of the screen height.
    void GetLineHeight(float& out) const;
    // Queues the first maxLength characters of text laid out in the
    // rectangle, its first line at line firstLine. Returns the line count; 0
    // when the text starts above the screen or has fewer lines than firstLine.
    // The second colour may be null (the colour is used). With a replacement
    // table only the first 1,023 characters are kept.
    int32_t QueueText(const AwTextRect& rect, const char* text, uint32_t colour, AwCamera* camera,
                      int32_t maxLength, uint32_t flags, float depth, const uint32_t* secondColour,
                      int32_t firstLine);
    // Draws and frees every queued string, then what is left in the buffer;
    // true when every draw succeeded.
    bool DrawQueued();

    // The glyph that draws a character code (0-255): replaced through the
    // table from 128 on, "?" for whatever the font lacks.
    int32_t GlyphOf(int32_t code) const;

    float glyphU[kGlyphs][2] = {};
    float glyphV[kGlyphs][2] = {};
    int32_t glyphWidth[kGlyphs] = {};
    int32_t lineHeight = 0;
    float scale = 1.0f;
    const AwCharReplacement* replacements = nullptr;
    AwTLVertexBuffer vertexBuffer;
    RenderMaterial* material = nullptr;
    AwCamera* lastCamera = nullptr;
    List<AwQueuedText*> queue;
    AwTexture* texture = nullptr;

private:
    void DrawString(const AwQueuedText& text);
    void DrawGlyph(int32_t glyph, const AwCamera* camera, float depth, uint32_t colour, int32_t x, int32_t y);
    bool Flush();
    void EnsureLocked();

    bool drawFailed_ = false;
};

// Every constructed font, drawn by the end of the frame.
extern List<AwFont*> AwFontList;
