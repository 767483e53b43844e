#pragma once
// A palette of 2, 4, 16 or 256 entries for palettized surfaces.

#include <cstdint>
#include <vector>

#include "platform/d3d/com_object.h"
#include "platform/d3d/ddraw_types.h"
#include "platform/d3d/results.h"

namespace plat {

class Palette final : public ComObject {
public:
    // Copies count entries starting at base (base + count must not exceed the size).
    HResult GetEntries(uint32_t base, uint32_t count, PaletteEntry* out) const;
    // Bits per index: 1, 2, 4 or 8.
    uint32_t Bits() const { return bits_; }

    // DirectDraw::CreatePalette: caps name exactly one of the bit depths;
    // entries holds 2 to the power of that many records. Null for bad caps.
    static Palette* Create(uint32_t caps, const PaletteEntry* entries);

private:
    ~Palette() override = default;
    Palette(uint32_t bits, const PaletteEntry* entries);

    const uint32_t bits_;
    const std::vector<PaletteEntry> entries_;
};

} // namespace plat
