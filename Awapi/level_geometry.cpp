#include "Awapi/level_geometry.h"

void LevelGeometry::Free() {
    Triangles = {};
    Quads = {};
    Points = {};
}
