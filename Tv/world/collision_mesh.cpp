#include "Tv/world/collision_mesh.h"

#include <vector>

#include "Awapi/level_geometry.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"

namespace {

// The tree's nodes whose shape keeps level geometry, children before their parent.
void CollectPostOrder(AwShapeInstance* node, std::vector<const LevelGeometry*>& out) {
    for (AwShapeInstance* child : node->Children) CollectPostOrder(child, out);
    if (node->Slots[0] && node->Slots[0]->Geometry) out.push_back(node->Slots[0]->Geometry);
}

constexpr Real kFlatNormalY = -0.00001f;

// Fills one polygon from a source triangle or quad whose corners point into `points`.
template <class Source, int N>
void FillPolygon(CollisionPolygonOf<N>& polygon, const Source& source, const LevelGeometry& geometry,
                 Vector3* vertexBase, const Matrix34& transform, AwShapeInstance* owner) {
    polygon.owner = owner;
    Vector3 n;
    transform.TransformVector(n, source.Normal);
    polygon.flags = source.Flags & kPolygonSourceFlagMask;
    if (n.x * n.x + n.z * n.z > n.y * n.y + 0.00001f) polygon.flags |= kPolygonSteep;
    if (n.y == 0.0f) n.y = kFlatNormalY;
    polygon.normal = n;
    for (int i = 0; i < N; ++i) polygon.corners[i] = vertexBase + (source.Points[i] - geometry.Points.data());
    Vector3 sum = *polygon.corners[0];
    for (int i = 1; i < N; ++i) sum = sum + *polygon.corners[i];
    const Real count = static_cast<Real>(N);
    polygon.SetReferencePoint(sum.x / count, sum.y / count, sum.z / count);
}

} // namespace

CollisionMesh::CollisionMesh(AwShapeInstance* root, const Matrix34& placement) : owner(root) {
    Matrix34 transform;
    placement.Multiply(transform, *root->GetMatrix());
    std::vector<const LevelGeometry*> sources;
    CollectPostOrder(root, sources);
    for (const LevelGeometry* g : sources) {
        vertexCount += static_cast<uint32_t>(g->Points.size());
        triangleCount += static_cast<uint32_t>(g->Triangles.size());
        quadCount += static_cast<uint32_t>(g->Quads.size());
    }
    vertices = std::make_unique<Vector3[]>(vertexCount);
    triangles = std::make_unique<CollisionTriangle[]>(triangleCount);
    quads = std::make_unique<CollisionQuad[]>(quadCount);

    uint32_t vertexBase = 0, triangle = 0, quad = 0;
    for (const LevelGeometry* g : sources) {
        Vector3* base = &vertices[vertexBase];
        for (size_t i = 0; i < g->Points.size(); ++i) {
            Vector3& v = base[i];
            transform.TransformPoint(v, g->Points[i]);
            if (v.x > boundsMax.x) boundsMax.x = v.x;
            if (v.x < boundsMin.x) boundsMin.x = v.x;
            if (v.y > boundsMax.y) boundsMax.y = v.y;
            if (v.y < boundsMin.y) boundsMin.y = v.y;
            if (v.z > boundsMax.z) boundsMax.z = v.z;
            if (v.z < boundsMin.z) boundsMin.z = v.z;
        }
        for (const GeometryTriangle& t : g->Triangles) FillPolygon(triangles[triangle++], t, *g, base, transform, root);
        for (const GeometryQuad& q : g->Quads) FillPolygon(quads[quad++], q, *g, base, transform, root);
        vertexBase += static_cast<uint32_t>(g->Points.size());
    }
}
