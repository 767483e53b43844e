#include "Awapi/font.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/camera.h"
#include "Awapi/current_camera.h"
#include "Awapi/screen_depth.h"
#include "core/numeric.h"

int32_t ConsoleCaretIndex = 0;
uint32_t ConsoleCaretColour = 0;
uint8_t CutsceneCameraMoved = 0;

List<AwFont*> AwFontList;

namespace {

constexpr float kTextureSize = 256.0f;
// Blended, no Z write, no mip-maps.
constexpr int kFontMaterial = 6;
constexpr int32_t kReplacementEnd = 33;
constexpr uint32_t kOutlineColour = 0xFF000000u;
// Bytes of the replaced copy of a queued text, the end byte included.
constexpr size_t kReplacedTextBuffer = 1024;

int32_t ByteCode(char c) { return static_cast<unsigned char>(c); }

// The glyph of an already replaced code; "?" for whatever the font lacks.
int32_t GlyphInRange(int32_t code) {
    const int32_t glyph = code - AwFont::kFirstCode;
    return glyph >= 0 && glyph < AwFont::kGlyphs ? glyph : '?' - AwFont::kFirstCode;
}

// How a character took part in the layout.
enum class Part : uint8_t { Glyph, Break, Space, SpaceNoRoom };

// Text laid out between two edges, the pen starting at the left one.
struct Layout {
    std::vector<Part> part;
    std::vector<int32_t> x, line;           // where each character is drawn
    std::vector<int32_t> afterX, afterLine; // the pen after it, past any break it caused
    std::vector<int32_t> lineStart, lineWidth;
};

// A newline breaks the line; a space breaks it when the next word would pass
// the right edge, and takes no room at the start of a line; any other
// character breaks it after the pen passes the right edge.
Layout LayOut(const AwFont& font, const char* text, int32_t count, int32_t left, int32_t right, bool wrap) {
    Layout out;
    out.part.resize(count);
    out.x.resize(count);
    out.line.resize(count);
    out.afterX.resize(count);
    out.afterLine.resize(count);
    out.lineStart.push_back(0);
    int32_t pen = left;
    auto width = [&](int32_t i) { return font.glyphWidth[GlyphInRange(ByteCode(text[i]))]; };
    auto newLine = [&](int32_t next) {
        out.lineWidth.push_back(pen - left);
        pen = left;
        out.lineStart.push_back(next);
    };
    for (int32_t i = 0; i < count; ++i) {
        out.x[i] = pen;
        out.line[i] = static_cast<int32_t>(out.lineStart.size()) - 1;
        const char c = text[i];
        if (c == '\n') {
            out.part[i] = Part::Break;
            newLine(i + 1);
        } else if (c == ' ') {
            const int32_t space = width(i);
            int32_t word = 0;
            for (int32_t j = i + 1; j < count && text[j] != ' ' && text[j] != '\n'; ++j) word += width(j);
            if (wrap && pen + space + word > right) {
                out.part[i] = Part::SpaceNoRoom;
                newLine(i + 1);
            } else if (pen == left) {
                out.part[i] = Part::SpaceNoRoom;
            } else {
                out.part[i] = Part::Space;
                pen += space;
            }
        } else {
            out.part[i] = Part::Glyph;
            pen += width(i);
            if (wrap && pen > right) newLine(i + 1);
        }
        out.afterX[i] = pen;
        out.afterLine[i] = static_cast<int32_t>(out.lineStart.size()) - 1;
    }
    out.lineWidth.push_back(pen - left);
    return out;
}

} // namespace

void AwFont::Construct(AwTexture* fontTexture, int32_t height, const int32_t (&widths)[kGlyphs],
                       const int32_t (&rows)[kGlyphs + 1]) {
    lineHeight = height;
    scale = 1.0f;
    replacements = nullptr;
    texture = fontTexture;
    TextureManager.AddRef(texture);
    vertexBuffer.Create(AwDevice.Direct3D);
    material = new RenderMaterial;
    if (const RenderMaterial* base = GlobalMaterials[kFontMaterial]) material->CopyFrom(*base);
    material->Stages[0].Texture = texture;
    material->RecordStateBlock();
    vertexBuffer.Material = material;

    int32_t x = 1, top = 1;
    for (int i = 0; i < kGlyphs; ++i) {
        const int32_t w = widths[i];
        glyphWidth[i] = w;
        glyphU[i][0] = static_cast<float>(x) / kTextureSize;
        glyphU[i][1] = static_cast<float>(x + w + 1) / kTextureSize;
        glyphV[i][0] = static_cast<float>(top) / kTextureSize;
        glyphV[i][1] = static_cast<float>(top + lineHeight - 1) / kTextureSize;
        if (rows[i] == rows[i + 1]) {
            x += w + 3;
        } else {
            top += lineHeight;
            x = 1;
        }
    }
    AwFontList.PushBack(this);
}

void AwFont::Destroy() {
    if (texture) ReleaseUseCount(texture);
    texture = nullptr;
    AwFontList.RemoveValue(this);
    vertexBuffer.ReleaseBuffer();
    vertexBuffer.Material = nullptr;
    if (material) material->Release();
    material = nullptr;
    while (!queue.IsEmpty()) {
        delete queue.Front();
        queue.PopFront();
    }
}

void AwFont::ScaleWidths(const int32_t (&source)[kGlyphs], float factor) {
    for (int i = 0; i < kGlyphs; ++i)
        glyphWidth[i] = FloorToInt(static_cast<double>(static_cast<float>(source[i]) * factor + 0.5f));
}

int32_t AwFont::GlyphOf(int32_t code) const {
    if (replacements && code >= 128) {
        const AwCharReplacement* pair = replacements;
        while (pair->from != kReplacementEnd && pair->from != code) ++pair;
        code = pair->from == kReplacementEnd ? '?' : pair->to;
    }
    return GlyphInRange(code);
}

int32_t AwFont::GetCharWidth(int32_t glyph) const {
    int32_t code = glyph + kFirstCode;
    if (code < 0) code += 256;
    return glyphWidth[GlyphOf(code)];
}

void AwFont::GetLineHeight(float& out) const {
    out = static_cast<float>(lineHeight) * scale / ScreenGeometry.ScreenHeightF;
}

int32_t AwFont::QueueText(const AwTextRect& rect, const char* text, uint32_t colour, AwCamera* camera,
                          int32_t maxLength, uint32_t flags, float depth, const uint32_t* secondColour,
                          int32_t firstLine) {
    if (!text) return 0;
    // Replaced characters go into a copy that keeps the fixed size of the
    // buffer callers size their texts for: longer text is cut, never overrun.
    std::string copy = replacements ? std::string(text, strnlen(text, kReplacedTextBuffer - 1)) : std::string(text);
    if (replacements) {
        for (char& c : copy)
            if (ByteCode(c) >= 128) c = static_cast<char>(GlyphOf(ByteCode(c)) + kFirstCode);
    }
    const float width = ScreenGeometry.ScreenWidthF, height = ScreenGeometry.ScreenHeightF;
    const int32_t left = FloorToInt(width * rect.left);
    const int32_t right = FloorToInt(width * rect.right);
    const int32_t bottom = FloorToInt(height * rect.bottom);
    int32_t startY = FloorToInt(height * rect.top + 0.5f) - firstLine * lineHeight;
    const int32_t count = std::min(static_cast<int32_t>(copy.size()), std::max(maxLength, 0));

    int32_t lines = 1, offset = 0, cut = count;
    if ((flags & kTextSingleLine) == 0) {
        const Layout layout = LayOut(*this, copy.c_str(), count, left, right, true);
        lines = static_cast<int32_t>(layout.lineStart.size());
        if ((flags & kTextGrowUp) != 0 && CutsceneCameraMoved == 0) startY -= (lines - 1) * lineHeight;
        for (int32_t k = 0; k < lines; ++k) {
            if (startY + (k + 1) * lineHeight > bottom) {
                cut = layout.lineStart[k];
                break;
            }
        }
        if (firstLine > 1 && firstLine <= lines) offset = layout.lineStart[firstLine - 1];
    }
    if (lines < firstLine) return 0;
    if ((flags & kTextMeasureOnly) == 0) {
        int32_t limit = count;
        if ((flags & kTextCutAtBottom) != 0 && (flags & kTextGrowUp) == 0) limit = std::min(limit, cut);
        auto* queued = new AwQueuedText{left,   right, startY, copy.substr(offset), std::max(limit - offset, 0),
                                        colour, camera, flags, depth, secondColour ? *secondColour : colour};
        queue.PushBack(queued);
    }
    return startY < 0 ? 0 : lines;
}

void AwFont::EnsureLocked() {
    if (vertexBuffer.State != AwTLVertexBuffer::kLocked && vertexBuffer.Buffer) vertexBuffer.Lock();
}

bool AwFont::Flush() {
    if (vertexBuffer.State != AwTLVertexBuffer::kLocked) return true;
    AwSetCurrentCamera(lastCamera);
    const bool drawn = vertexBuffer.Unlock() && vertexBuffer.Draw(plat::kPtTriangleList, true);
    if (!drawn) drawFailed_ = true;
    return drawn;
}

void AwFont::DrawGlyph(int32_t glyph, const AwCamera* camera, float depth, uint32_t colour, int32_t x, int32_t y) {
    const float quadHeight = static_cast<float>(lineHeight) * scale;
    float top = static_cast<float>(y);
    const float bottom = top + quadHeight;
    if (bottom <= 0.0f || top >= ScreenGeometry.ScreenHeightF) return;
    float v0 = glyphV[glyph][0];
    const float v1 = glyphV[glyph][1];
    if (top < 0.0f) {
        v0 += (v1 - v0) * (-top / quadHeight);
        top = 0.0f;
    }
    if (vertexBuffer.State == AwTLVertexBuffer::kLocked &&
        (vertexBuffer.VertexCount + 4 > static_cast<int32_t>(AwTLVertexBuffer::kVertices) ||
         vertexBuffer.IndexCount + 6 > static_cast<int32_t>(AwTLVertexBuffer::kIndices)))
        Flush();
    EnsureLocked();
    if (vertexBuffer.State != AwTLVertexBuffer::kLocked) return;

    float z = 0.0f, rhw = 1.0f;
    if (camera && camera->perspective) {
        z = camera->viewport.minZ + (camera->viewport.maxZ - camera->viewport.minZ) * depth;
        rhw = AwRhwForDepth(z);
    }
    const float left = static_cast<float>(x - 1);
    const float right = static_cast<float>(x - 1 + glyphWidth[glyph]);
    const float u0 = glyphU[glyph][0], u1 = glyphU[glyph][1];
    const auto base = static_cast<uint16_t>(vertexBuffer.VertexCount);
    AwTLVertex* v = vertexBuffer.Next;
    v[0] = {left, top, z, rhw, colour, 0, u0, v0};
    v[1] = {right, top, z, rhw, colour, 0, u1, v0};
    v[2] = {right, bottom, z, rhw, colour, 0, u1, v1};
    v[3] = {left, bottom, z, rhw, colour, 0, u0, v1};
    vertexBuffer.Next += 4;
    vertexBuffer.VertexCount += 4;
    uint16_t* index = vertexBuffer.Indices + vertexBuffer.IndexCount;
    const uint16_t quad[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) index[i] = static_cast<uint16_t>(base + quad[i]);
    vertexBuffer.IndexCount += 6;
}

void AwFont::DrawString(const AwQueuedText& text) {
    if (text.camera != lastCamera && vertexBuffer.VertexCount > 0) Flush();
    lastCamera = text.camera;
    EnsureLocked();

    const bool wrap = (text.flags & kTextSingleLine) == 0;
    const int32_t count = std::min(text.length, static_cast<int32_t>(text.text.size()));
    const Layout layout = LayOut(*this, text.text.c_str(), count, text.left, text.right, wrap);
    auto shift = [&](int32_t line) {
        const int32_t room = text.right - layout.lineWidth[line] - text.left;
        if ((text.flags & kTextCentre) != 0) return room / 2;
        if ((text.flags & kTextRightAlign) != 0) return room;
        return 0;
    };
    auto lineY = [&](int32_t line) { return text.startY + line * lineHeight; };
    const bool caret = (text.flags & kTextCaret) != 0;
    const int32_t caretGlyph = GlyphInRange(kCaretGlyph + kFirstCode);
    if (caret && ConsoleCaretIndex == 0)
        DrawGlyph(caretGlyph, text.camera, text.depth, ConsoleCaretColour, text.left + shift(0), lineY(0));

    for (int32_t i = 0; i < count; ++i) {
        const Part part = layout.part[i];
        if (part == Part::Glyph) {
            const int32_t glyph = GlyphInRange(ByteCode(text.text[i]));
            const int32_t x = layout.x[i] + shift(layout.line[i]);
            const int32_t y = lineY(layout.line[i]);
            if ((text.flags & kTextOutline) != 0) {
                DrawGlyph(glyph, text.camera, text.depth, kOutlineColour, x + 1, y - 1);
                DrawGlyph(glyph, text.camera, text.depth, kOutlineColour, x - 1, y + 1);
                DrawGlyph(glyph, text.camera, text.depth, kOutlineColour, x + 1, y + 1);
            }
            const bool last = (text.flags & kTextLastInSecond) != 0 && i == count - 1;
            DrawGlyph(glyph, text.camera, text.depth, last ? text.secondColour : text.colour, x, y);
        }
        if (caret && ConsoleCaretIndex == i + 1 && (part == Part::Glyph || part == Part::Space)) {
            const int32_t line = layout.afterLine[i];
            DrawGlyph(caretGlyph, text.camera, text.depth, ConsoleCaretColour, layout.afterX[i] + shift(line),
                      lineY(line));
        }
    }
}

bool AwFont::DrawQueued() {
    drawFailed_ = false;
    while (!queue.IsEmpty()) {
        AwQueuedText* text = queue.Front();
        queue.PopFront();
        DrawString(*text);
        delete text;
    }
    Flush();
    return !drawFailed_;
}
