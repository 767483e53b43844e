#pragma once
// Device pixel formats as the texture loader sees them, the candidate list the
// device layer fills, and the choice of a format for each image.

#include <cstdint>
#include <vector>

#include "platform/d3d/ddraw_types.h"

class ImageSource;
struct TextureLoadParams;

struct PixelFormat {
    static constexpr uint8_t kPalettized = 0x1;
    static constexpr uint8_t kHasAlpha = 0x2; // or a four-character-code format
    static constexpr uint8_t kValid = 0x4;
    static constexpr uint8_t kKeyFound = 0x8; // a compressed image brought a transparent colour

    enum Channel { kRed, kGreen, kBlue, kAlpha };

    uint8_t flags = 0;
    uint32_t bits = 0;
    // Per channel: zero bits below the mask, and 8 minus the mask's width; an
    // 8-bit value is shifted right by the loss, then left by the shift.
    uint32_t shift[4] = {0, 0, 0, 0};
    uint32_t loss[4] = {8, 8, 8, 8};
    plat::PixelFormat ddpf; // its alpha mask is cleared when the format has no alpha

    bool Valid() const { return flags & kValid; }
    bool Palettized() const { return flags & kPalettized; }
    bool HasAlpha() const { return flags & kHasAlpha; }
    uint32_t FourCc() const { return ddpf.flags & plat::kDdpfFourCc ? ddpf.fourCc : 0; }
    // Colours a palettized format offers (2 to the power of its bits), else 0.
    uint32_t PaletteEntries() const { return Palettized() ? 1u << bits : 0; }
};

// Fills `out` from a device format; 2 (and `out` invalid) for formats the
// loader does not use: alpha-only, palette-to-8, Z, YUV, mixed palette bits,
// palettized with alpha, odd RGB depths, alpha flagged without a mask. Else 0.
int PixelFormatFromDDPF(PixelFormat& out, const plat::PixelFormat* ddpf);

// One entry of the device's texture formats.
struct FormatCandidate {
    PixelFormat format;
    bool colourKeyCapable = false; // may carry images with a transparent colour
    bool restricted = false;       // four-character codes only for compressed images, others only for uncompressed ones
    uint32_t paletteEntries = 0;
    uint32_t alphaBits = 0;
};

// Chooses the formats for one image: the candidate (the list's choice) and the
// current format (what the builder writes; a staging format when the candidate
// compresses an uncompressed image). Both stay invalid without a choice.
void TextureChooseFormat(ImageSource& image, const TextureLoadParams& params);
