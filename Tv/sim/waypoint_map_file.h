#pragma once
// The ".map" cache of a level's waypoint graph, little-endian: the level
// model's FILETIME stamp (low word, high word), then for every polygon index
// of the world's table in order its link count n, its flags word and the n
// indices of its linked polygons in link order. No count, no version.

#include <cstdint>
#include <string_view>
#include <vector>

class CollisionWorld;

// The cache image of the world's links and flags (a free table slot writes
// no links and no flags).
std::vector<uint8_t> WaypointMapImage(const CollisionWorld& world, uint64_t stamp);

// Applies a cache image to a world without links: every polygon's flags are
// replaced and its links appended. The image is applied only when its stamp
// is `stamp` (0 accepts any) and it parses in full for this world: exactly one
// record per polygon index, every link naming a polygon, no link on a free
// slot, nothing after the last record. False, and the world untouched, otherwise.
bool ApplyWaypointMap(CollisionWorld& world, std::string_view image, uint64_t stamp);
