#pragma once
// The collision geometry a converted shape keeps for the level world:
// triangles and quads whose corners point into the record's own point array.

#include <cstdint>
#include <vector>

#include "core/maths.h"

struct GeometryTriangle {
    const Vector3* Points[3];
    Vector3 Normal;
    uint32_t Flags;
};

struct GeometryQuad {
    const Vector3* Points[4];
    Vector3 Normal;
    uint32_t Flags;
};

struct LevelGeometry {
    std::vector<GeometryTriangle> Triangles;
    std::vector<GeometryQuad> Quads;
    std::vector<Vector3> Points; // never resized while triangles or quads point into it

    // Releases the three arrays.
    void Free();
};
