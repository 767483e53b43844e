#include "platform/d3d/palette.h"

#include <algorithm>

namespace plat {

Palette* Palette::Create(uint32_t caps, const PaletteEntry* entries) {
    uint32_t bits = 0;
    int depths = 0;
    if (caps & kDdpCaps1Bit) bits = 1, ++depths;
    if (caps & kDdpCaps2Bit) bits = 2, ++depths;
    if (caps & kDdpCaps4Bit) bits = 4, ++depths;
    if (caps & kDdpCaps8Bit) bits = 8, ++depths;
    if (depths != 1 || !entries) return nullptr;
    return new Palette(bits, entries);
}

Palette::Palette(uint32_t bits, const PaletteEntry* entries)
    : bits_(bits), entries_(entries, entries + (size_t{1} << bits)) {}

HResult Palette::GetEntries(uint32_t base, uint32_t count, PaletteEntry* out) const {
    if (!out || base > entries_.size() || count > entries_.size() - base) return kDdErrInvalidParams;
    std::copy_n(entries_.begin() + base, count, out);
    return kDdOk;
}

} // namespace plat
