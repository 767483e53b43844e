#pragma once
// The level-geometry cache (".cut"): the level object's shape-instance tree
// and its collision geometry, stamped with the level model's last-write time,
// so that later loads skip converting the level shape.
//
// Layout (little-endian):
//   0   u64  the stamp (a FILETIME)
//   8   3 x f32  the marker of a packed body (0x7F7FFFFF each), or the origin of an unpacked one
//   20  packed: a QORCQIF1 container holding the body; unpacked: the body without its origin
// Body: the origin (3 x f32), the tree (AwShapeInstance::WriteCached), u32 V,
// V vertices (3 x f32), u32 T, u32 Q, T triangles (3 x u32 vertex index,
// 3 x f32 normal, u32 flags), Q quads (4 x u32 vertex index, normal, flags).

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "Awapi/level_geometry.h"
#include "Awapi/shape_instance.h"
#include "core/maths.h"

struct LevelCache {
    Vector3 origin{0, 0, 0};
    std::unique_ptr<AwShapeInstance> root;
    LevelGeometry geometry; // corners point into its own Points
};

// The cache at `name` when its stamp is `stamp` (0 takes any stamp). False,
// with `out` left empty, when the file cannot be read or carries another
// stamp, and when its body does not parse to its very end: a block that does
// not decode, a count beyond what is left, a vertex index out of range.
bool ReadLevelCache(std::string_view name, uint64_t stamp, LevelCache& out);
// The same over a whole file's bytes.
bool ParseLevelCache(std::span<const uint8_t> bytes, uint64_t stamp, LevelCache& out);

// Writes the packed cache to a temporary file renamed over `name`; false,
// the target untouched, when any step fails (a node of the tree without a
// box, a part without a texture, a corner outside the geometry's points).
bool WriteLevelCache(std::string_view name, uint64_t stamp, const Vector3& origin, const AwShapeInstance& root,
                     const LevelGeometry& geometry);
