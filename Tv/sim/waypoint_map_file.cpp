#include "Tv/sim/waypoint_map_file.h"

#include <utility>

#include "Tv/world/collision_world.h"
#include "core/bytes.h"

namespace {

bool ReadStamp(ByteReader& in, uint64_t& stamp) {
    uint32_t low = 0, high = 0;
    if (!in.U32(low) || !in.U32(high)) return false;
    stamp = uint64_t{high} << 32 | low;
    return true;
}

// Walks the records, checking each against the world; with `apply` it also
// sets each polygon's flags and appends its links (run only on an image whose
// check passed).
bool CheckRecords(CollisionWorld& world, ByteReader in, bool apply) {
    for (uint32_t i = 0; i < world.polygonCount; ++i) {
        uint32_t count = 0, flags = 0;
        if (!in.U32(count) || !in.U32(flags) || !in.Has(size_t{count} * 4)) return false;
        CollisionPolygon* polygon = world.polygonTable[i];
        if (!polygon && count > 0) return false;
        if (apply && polygon) polygon->flags = flags;
        for (uint32_t k = 0; k < count; ++k) {
            const uint32_t index = in.U32();
            if (index >= world.polygonCount || !world.polygonTable[index]) return false;
            if (apply) polygon->AddNeighbour(world.polygonTable[index]);
        }
    }
    return in.remaining() == 0;
}

} // namespace

std::vector<uint8_t> WaypointMapImage(const CollisionWorld& world, uint64_t stamp) {
    ByteWriter out;
    out.U32(static_cast<uint32_t>(stamp));
    out.U32(static_cast<uint32_t>(stamp >> 32));
    for (uint32_t i = 0; i < world.polygonCount; ++i) {
        const CollisionPolygon* polygon = world.polygonTable[i];
        out.U32(polygon ? polygon->neighbourCount : 0);
        out.U32(polygon ? polygon->flags : 0);
        for (uint32_t k = 0; polygon && k < polygon->neighbourCount; ++k) out.U32(polygon->neighbours[k]->polygonIndex);
    }
    return std::move(out.bytes());
}

bool ApplyWaypointMap(CollisionWorld& world, std::string_view image, uint64_t stamp) {
    ByteReader in(image);
    uint64_t stored = 0;
    if (!ReadStamp(in, stored) || (stamp != 0 && stored != stamp)) return false;
    if (!CheckRecords(world, in, false)) return false;
    CheckRecords(world, in, true);
    return true;
}
