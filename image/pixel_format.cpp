#include "image/pixel_format.h"

#include <bit>

#include "image/image_source.h"
#include "image/texture_loader_state.h"
#include "image/texture_params.h"

namespace {

void SetChannel(PixelFormat& f, PixelFormat::Channel c, uint32_t mask) {
    if (mask == 0) {
        f.shift[c] = 0;
        f.loss[c] = 8;
        return;
    }
    uint32_t shift = static_cast<uint32_t>(std::countr_zero(mask));
    uint32_t width = 32 - static_cast<uint32_t>(std::countl_zero(mask)) - shift;
    f.shift[c] = shift;
    f.loss[c] = width >= 8 ? 0 : 8 - width;
}

} // namespace

int PixelFormatFromDDPF(PixelFormat& out, const plat::PixelFormat* ddpf) {
    out.flags = 0;
    if (!ddpf) return 2;
    uint32_t flags = ddpf->flags;
    if (flags & (plat::kDdpfAlpha | plat::kDdpfPaletteIndexedTo8 | plat::kDdpfZBuffer | plat::kDdpfZPixels | plat::kDdpfYuv))
        return 2;
    struct PaletteKind {
        uint32_t flag, bits;
    };
    const PaletteKind kinds[] = {{plat::kDdpfPaletteIndexed1, 1}, {plat::kDdpfPaletteIndexed2, 2},
                                 {plat::kDdpfPaletteIndexed4, 4}, {plat::kDdpfPaletteIndexed8, 8}};
    uint32_t paletteBits = 0;
    for (const PaletteKind& kind : kinds) {
        if (!(flags & kind.flag)) continue;
        if (paletteBits) return 2;
        paletteBits = kind.bits;
    }
    bool alpha = flags & plat::kDdpfAlphaPixels;
    PixelFormat f;
    if (paletteBits) {
        if (alpha) return 2;
        f.flags = PixelFormat::kPalettized;
        f.bits = paletteBits;
    } else if (flags & plat::kDdpfFourCc) {
        f.flags = PixelFormat::kHasAlpha;
        f.bits = 16;
    } else {
        uint32_t bits = ddpf->rgbBitCount;
        if (bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return 2;
        if (alpha && ddpf->alphaBitMask == 0) return 2;
        f.bits = bits;
        if (alpha) f.flags = PixelFormat::kHasAlpha;
        SetChannel(f, PixelFormat::kRed, ddpf->rBitMask);
        SetChannel(f, PixelFormat::kGreen, ddpf->gBitMask);
        SetChannel(f, PixelFormat::kBlue, ddpf->bBitMask);
        SetChannel(f, PixelFormat::kAlpha, alpha ? ddpf->alphaBitMask : 0);
    }
    f.ddpf = *ddpf;
    if (!alpha) f.ddpf.alphaBitMask = 0;
    f.flags |= PixelFormat::kValid;
    out = f;
    return 0;
}

namespace {

uint32_t EffectiveFlags(const ImageSource& image, uint32_t options) {
    if (options & kTexFlagsFromImage) return image.flags;
    if (options & kTexKeyFromImage) return (options & ~kTexColourKey) | (image.flags & kTexColourKey);
    return options;
}

bool Matches(const FormatCandidate& entry, ImageSource& image, uint32_t paletteColours, uint32_t rangeColours,
             uint32_t alphaBits) {
    const PixelFormat& f = entry.format;
    bool compressed = image.Compressed();
    if (uint32_t code = f.FourCc()) {
        if (entry.restricted && !compressed) return false;
        return code == (alphaBits > 1 ? plat::kFourCcDxt3 : plat::kFourCcDxt1);
    }
    if (f.Palettized() && (rangeColours == 0 || rangeColours > f.PaletteEntries())) return false;
    if (entry.paletteEntries && (paletteColours == 0 || paletteColours > entry.paletteEntries)) return false;
    if (!entry.colourKeyCapable && image.colourKey) return false;
    if (alphaBits > entry.alphaBits) return false;
    return !(entry.restricted && compressed);
}

} // namespace

void TextureChooseFormat(ImageSource& image, const TextureLoadParams& params) {
    TextureLoaderState& s = TextureLoader;
    s.candidate.flags &= static_cast<uint8_t>(~PixelFormat::kValid);
    uint32_t flags = EffectiveFlags(image, params.flags);
    image.colourKey = image.ColourKeyRequest(flags & kTexColourKey);

    uint32_t paletteColours = image.ColoursForPalette();
    uint32_t rangeColours = image.ColoursForIndexRange();
    uint32_t alphaBits = image.AlphaBits();
    const PixelFormat* choice = &s.defaultFormat;
    for (const FormatCandidate& entry : s.candidates)
        if (Matches(entry, image, paletteColours, rangeColours, alphaBits)) choice = &entry.format;
    s.candidate = *choice;

    bool compressed = image.Compressed();
    bool candidateCompresses = s.candidate.FourCc() != 0;
    if (compressed && !candidateCompresses) {
        plat::PixelFormat bare;
        bare.flags = plat::kDdpfFourCc;
        bare.fourCc = image.FourCC();
        PixelFormatFromDDPF(s.current, &bare);
    } else if (compressed) {
        s.candidate.ddpf.fourCc = image.FourCC();
        s.current = s.candidate;
    } else if (!candidateCompresses) {
        s.current = s.candidate;
    } else {
        s.current = alphaBits ? s.stagingArgb : s.stagingRgb;
    }
}
