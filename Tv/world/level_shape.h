#pragma once
// The level object of a model file, as a level world is built from it: its
// shape in a tree subdivided for culling, and the collision geometry the
// conversion kept, taken away from the shape. Main thread only.

#include <cstdint>
#include <memory>

#include "Awapi/level_geometry.h"
#include "core/maths.h"

class AwModelFile;
class AwShapeInstance;

struct LevelShape {
    AwShapeInstance* root = nullptr; // the caller's
    std::unique_ptr<LevelGeometry> geometry;
    Vector3 origin{0, 0, 0}; // the object's position in the file, in metres
};

// The first object of that name with a shape, converted with its quads
// merged, its tree's bounds built with at most `vertexLimit` vertices per
// section. False when the file has no such object.
bool LoadLevelShape(AwModelFile& file, const char* name, uint32_t vertexLimit, LevelShape& out);
