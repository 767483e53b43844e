#include "tools/tvview/harness_font.h"

#include <cctype>
#include <vector>

#include "platform/files.h"

namespace {

constexpr int kTextureSize = 256;
constexpr int kGlyphWidth = 8;
constexpr int kGlyphsPerRow = 20;

struct Pattern {
    char code;
    const char* rows[5]; // '#' lit
};

// clang-format off
constexpr Pattern kPatterns[] = {
    {'A', {".#.", "#.#", "###", "#.#", "#.#"}}, {'B', {"##.", "#.#", "##.", "#.#", "##."}},
    {'C', {".##", "#..", "#..", "#..", ".##"}}, {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'E', {"###", "#..", "##.", "#..", "###"}}, {'F', {"###", "#..", "##.", "#..", "#.."}},
    {'G', {".##", "#..", "#.#", "#.#", ".##"}}, {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
    {'I', {"###", ".#.", ".#.", ".#.", "###"}}, {'J', {"..#", "..#", "..#", "#.#", ".#."}},
    {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}}, {'L', {"#..", "#..", "#..", "#..", "###"}},
    {'M', {"#.#", "###", "###", "#.#", "#.#"}}, {'N', {"##.", "#.#", "#.#", "#.#", "#.#"}},
    {'O', {".#.", "#.#", "#.#", "#.#", ".#."}}, {'P', {"##.", "#.#", "##.", "#..", "#.."}},
    {'Q', {".#.", "#.#", "#.#", "##.", ".##"}}, {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
    {'S', {".##", "#..", ".#.", "..#", "##."}}, {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
    {'U', {"#.#", "#.#", "#.#", "#.#", "###"}}, {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
    {'W', {"#.#", "#.#", "###", "###", "#.#"}}, {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}}, {'Z', {"###", "..#", ".#.", "#..", "###"}},
    {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
    {'2', {"##.", "..#", ".#.", "#..", "###"}}, {'3', {"##.", "..#", ".#.", "..#", "##."}},
    {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "##.", "..#", "##."}},
    {'6', {".##", "#..", "##.", "#.#", ".#."}}, {'7', {"###", "..#", ".#.", ".#.", ".#."}},
    {'8', {".#.", "#.#", ".#.", "#.#", ".#."}}, {'9', {".#.", "#.#", ".##", "..#", "##."}},
    {'.', {"...", "...", "...", "...", ".#."}}, {'-', {"...", "...", "###", "...", "..."}},
    {':', {"...", ".#.", "...", ".#.", "..."}}, {'?', {"##.", "..#", ".#.", "...", ".#."}},
};
// clang-format on

const Pattern* PatternOf(int code) {
    const int upper = std::toupper(code);
    for (const Pattern& p : kPatterns)
        if (p.code == upper) return &p;
    return nullptr;
}

} // namespace

HarnessFontLayout HarnessFontLayoutOf() {
    HarnessFontLayout layout;
    for (int i = 0; i < AwFont::kGlyphs; ++i) layout.widths[i] = kGlyphWidth;
    for (int i = 0; i <= AwFont::kGlyphs; ++i) layout.rows[i] = i / kGlyphsPerRow;
    return layout;
}

bool WriteHarnessFontImage(const std::string& path) {
    const HarnessFontLayout layout = HarnessFontLayoutOf();
    std::vector<uint8_t> pixels(kTextureSize * kTextureSize * 3, 0);
    int x = 1, top = 1;
    for (int glyph = 0; glyph < AwFont::kGlyphs; ++glyph) {
        if (const Pattern* pattern = PatternOf(glyph + AwFont::kFirstCode)) {
            for (int row = 0; row < 5; ++row)
                for (int column = 0; column < 3; ++column) {
                    if (pattern->rows[row][column] != '#') continue;
                    for (int d = 0; d < 4; ++d) {
                        const int px = x + 1 + column * 2 + d % 2, py = top + 1 + row * 2 + d / 2;
                        uint8_t* p = &pixels[(py * kTextureSize + px) * 3];
                        p[0] = p[1] = p[2] = 0xFF;
                    }
                }
        }
        if (layout.rows[glyph] == layout.rows[glyph + 1]) {
            x += layout.widths[glyph] + 3;
        } else {
            top += kHarnessLineHeight;
            x = 1;
        }
    }
    const std::string header = "P6\n256 256\n255\n";
    plat::File file = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
    return file.IsOpen() && file.Write(header.data(), static_cast<uint32_t>(header.size())) &&
           file.Write(pixels.data(), static_cast<uint32_t>(pixels.size()));
}
