#include "chunkfile/shape_record.h"

bool ChunkPolygon::IsTextured() const { return (type >= 5 && type <= 7) || (type >= 20 && type <= 24); }

uint32_t ChunkPolygon::GetUvIndex() const { return (texture >> 16) | ((texture >> 12 & 0xF) << 16); }

void ChunkPolygon::SetUvIndex(uint32_t u) {
    texture = (texture & kMaxTextureIndex) | (u & 0xFFFF) << 16 | (u >> 16 & 0xF) << 12;
}

void ChunkShapeData::Clear() {
    radius = 0;
    pointCount = 0;
    points.clear();
    vertexNormals.clear();
    polygonCount = 0;
    polygons.clear();
    polygonNormals.clear();
    uvLists.clear();
    textureNames.clear();
    pointFlags.clear();
    shapeFlags = 0;
}

void ChunkShapeData::Rescale(double factor) {
    for (VectorI& p : points) p = p * factor;
    cornerA = cornerA * factor;
    cornerB = cornerB * factor;
    centre = centre * factor;
    storedRadius = static_cast<float>(storedRadius * factor);
    radius = static_cast<float>(radius * factor);
}
