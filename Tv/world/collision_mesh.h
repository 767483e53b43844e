#pragma once
// The collision faces of one shape-instance tree, copied into world space:
// the points of every node's kept level geometry, transformed once by the
// placement times the root's own matrix, and the triangles and quads over
// them. Corners that one source point array shares are one vertex of the
// mesh; polygons of different meshes never share a vertex.

#include <cstdint>
#include <memory>

#include "Tv/world/collision_polygon.h"
#include "core/matrix.h"
#include "core/mem.h"

class AwShapeInstance;

class CollisionMesh : public MemObject {
public:
    // Builds the mesh of the tree's shapes that keep level geometry (nodes in
    // post-order, children in list order); the child nodes' own matrices are not used.
    CollisionMesh(AwShapeInstance* root, const Matrix34& placement);
    CollisionMesh(const CollisionMesh&) = delete;
    CollisionMesh& operator=(const CollisionMesh&) = delete;

    AwShapeInstance* owner;
    uint32_t vertexCount = 0;
    std::unique_ptr<Vector3[]> vertices;
    uint32_t triangleCount = 0;
    std::unique_ptr<CollisionTriangle[]> triangles;
    uint32_t quadCount = 0;
    std::unique_ptr<CollisionQuad[]> quads;
    // The box of all vertices; inverted (+max float / -max float) without vertices.
    Vector3 boundsMin{3.4028235e38f, 3.4028235e38f, 3.4028235e38f};
    Vector3 boundsMax{-3.4028235e38f, -3.4028235e38f, -3.4028235e38f};

    uint32_t PolygonCount() const { return triangleCount + quadCount; }
    // Polygon i of the mesh: the triangles first, then the quads.
    CollisionPolygon& Polygon(uint32_t i) const {
        return i < triangleCount ? static_cast<CollisionPolygon&>(triangles[i]) : quads[i - triangleCount];
    }
};

// Calls visit(polygon) for every polygon of the mesh, triangles first.
template <class Visit>
void ForEachPolygon(const CollisionMesh& mesh, Visit&& visit) {
    for (uint32_t i = 0; i < mesh.triangleCount; ++i) visit(static_cast<CollisionPolygon&>(mesh.triangles[i]));
    for (uint32_t i = 0; i < mesh.quadCount; ++i) visit(static_cast<CollisionPolygon&>(mesh.quads[i]));
}
