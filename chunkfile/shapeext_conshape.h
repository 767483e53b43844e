#pragma once
// Shape variants. A CONSHAPE under a shape shares the shape's points and
// normals and has polygons of its own attributes (type, flags, texture word;
// its SHPPOLYS) and uv lists (its SHPUVCRD), identified by the type in its
// CONSTYPE. No factory serves CONSHAPE: one met in a file is kept as raw
// bytes; variants are built by code.

#include <span>

#include "chunkfile/shape_chunk.h"

class ConShapeChunk final : public ShapeChunk {
public:
    // An empty variant with a CONSTYPE child holding `type`.
    ConShapeChunk(ParentChunk* parent, uint32_t type);
    // A variant whose children are made from `data` (child chunks only).
    ConShapeChunk(ParentChunk* parent, std::span<const uint8_t> data);

    // Takes a copy of the parent shape's record, with the polygons of its
    // SHPPOLYS (each taking the vertices of the parent's polygon at its
    // place) and the uv lists of its SHPUVCRD. A variant that cannot follow
    // its parent (the parent is no QORSHAPE or SUBSHAPE, or the SHPPOLYS
    // count differs from the parent's polygons) deletes itself and returns
    // false; the caller must not use it afterwards.
    bool Refresh();
    // Copies `record` and makes new SHPPOLYS and SHPUVCRD children over its
    // polygons and uv lists (each when present).
    void SetData(const ChunkShapeData& record);
};

// The first CONSHAPE child of `shape` whose first CONSTYPE holds `type`.
ConShapeChunk* FindConShape(const ShapeChunk& shape, uint32_t type);
