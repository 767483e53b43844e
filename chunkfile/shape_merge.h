#pragma once
// Merging pairs of triangles into quads, as a shape's merge table lists them.

#include <cstdint>
#include <span>

#include "chunkfile/shape_record.h"

// Rebuilds the record's polygons and polygon normals from `table`, one entry
// per polygon: -1 leaves the polygon alone, j pairs it with polygon j. Each
// pair is written once, at its lower index, as the merged quad (with the
// lower polygon's normal) or, when the two do not merge, as both polygons;
// normal indices are renumbered to the polygons' new positions.
//
// The table is used only when it has one entry per polygon, every pair lies
// in range and is mutual (table[table[i]] == i, no polygon paired with
// itself), and the polygon normals, when present, cover every polygon.
// Otherwise nothing changes and the result is false.
bool MergeTrianglePairs(ChunkShapeData& record, std::span<const int32_t> table);

// Merge two triangles into `result` (a copy of `first` with four vertices);
// true when the result is a proper quad. Both need three vertices and equal
// type and flags; a plain pair also needs the same texture word. A textured
// pair needs the same texture number, uv lists that exist, and equal uv
// pairs at each shared vertex; on success the merged uv list (four pairs)
// replaces `first`'s uv list in `record`.
bool MergePlainPair(const ChunkPolygon& first, const ChunkPolygon& second, ChunkPolygon& result);
bool MergeTexturedPair(const ChunkPolygon& first, const ChunkPolygon& second, ChunkPolygon& result,
                       ChunkShapeData& record);
