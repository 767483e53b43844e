#include "tests/tv/flat_level.h"

#include <memory>

#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "Tv/world/level_shape.h"
#include "Tv/world/level_world.h"
#include "tests/tv/world_fixtures.h"

void MakeFlatLevelWorld(int n, Real size) {
    GeometryLayout layout;
    layout.FloorGrid(n, n, 0, 0, size, 0);
    // The shape's geometry lends the world its polygons; the tree becomes the level object's.
    ShapeTree tree = MakeGeometryTree(layout);
    std::unique_ptr<LevelGeometry> geometry(tree->Slots[0]->Geometry);
    tree->Slots[0]->Geometry = nullptr;
    TvReleaseLevelWorld();
    LevelWorldInstance = new LevelWorld(tree.release(), Vector3(0, 0, 0), geometry.get());
    LevelWorldInstance->BuildGrid(static_cast<uint32_t>(n), 1, static_cast<uint32_t>(n)); // one cell per quad
}
