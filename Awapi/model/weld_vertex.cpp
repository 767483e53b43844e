#include "Awapi/model/weld_vertex.h"

#include <algorithm>
#include <bit>
#include <initializer_list>

uint32_t VertexWeldHash(const WeldVertex& w) {
    uint32_t h = 0;
    for (float f : {w.x, w.y, w.z, w.nx, w.ny, w.nz, w.u, w.v}) h ^= std::bit_cast<uint32_t>(f);
    return ((((((h >> 7) ^ h) >> 6) ^ h) >> 5 ^ h) >> 4) ^ h;
}

bool VertexWeldEqual(const WeldVertex& a, const WeldVertex& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.nx == b.nx && a.ny == b.ny && a.nz == b.nz && a.u == b.u &&
           a.v == b.v;
}

uint32_t WeldTableBits(int32_t pointCount, uint32_t entries) {
    const uint32_t b = pointCount > 0 ? static_cast<uint32_t>(std::bit_width(static_cast<uint32_t>(pointCount))) : 0;
    const uint32_t bits = b > 4 ? b - 3 : 1;
    return std::max(1u, std::min(bits, static_cast<uint32_t>(std::bit_width(entries))));
}
