#include "tests/tv/world_fixtures.h"

#include <algorithm>
#include <cmath>

#include "Awapi/level_geometry.h"
#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "platform/d3d/d3d_types.h"

AwShape* MakeMeshShape(const std::vector<std::vector<Vector3>>& triangleParts) {
    auto* shape = new AwShape();
    bool first = true;
    for (const std::vector<Vector3>& positions : triangleParts) {
        const auto count = static_cast<uint32_t>(positions.size());
        uint16_t* indices = shape->AddMeshPart(count, count, plat::kFvfXyz, false);
        AwMeshPart* part = shape->Parts.Back();
        for (uint32_t i = 0; i < count; ++i) {
            indices[i] = static_cast<uint16_t>(i);
            auto* p = reinterpret_cast<float*>(&part->Vertices[i * part->Stride()]);
            p[0] = positions[i].x, p[1] = positions[i].y, p[2] = positions[i].z;
            const Vector3& v = positions[i];
            if (first) shape->Min = shape->Max = v, first = false;
            shape->Min = Vector3(std::min(shape->Min.x, v.x), std::min(shape->Min.y, v.y), std::min(shape->Min.z, v.z));
            shape->Max = Vector3(std::max(shape->Max.x, v.x), std::max(shape->Max.y, v.y), std::max(shape->Max.z, v.z));
        }
    }
    return shape;
}

int GeometryLayout::Point(Real x, Real y, Real z) {
    points.emplace_back(x, y, z);
    return static_cast<int>(points.size() - 1);
}

GeometryLayout::Polygon& GeometryLayout::Add(std::vector<int> corners, uint32_t flags) {
    polygons.push_back(Polygon{std::move(corners), flags, std::nullopt});
    return polygons.back();
}

GeometryLayout::Polygon& GeometryLayout::FloorQuad(Real x0, Real z0, Real x1, Real z1, Real y) {
    return Add({Point(x0, y, z0), Point(x1, y, z0), Point(x1, y, z1), Point(x0, y, z1)});
}

void GeometryLayout::FloorGrid(int nx, int nz, Real x0, Real z0, Real size, Real y) {
    const int first = static_cast<int>(points.size());
    for (int i = 0; i <= nx; ++i)
        for (int j = 0; j <= nz; ++j) Point(x0 + static_cast<Real>(i) * size, y, z0 + static_cast<Real>(j) * size);
    auto at = [&](int i, int j) { return first + i * (nz + 1) + j; };
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < nz; ++j) Add({at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
}

GeometryLayout FloorWithWallAndCeiling(int n, Real size) {
    GeometryLayout layout;
    layout.FloorGrid(n, n, 0, 0, size, 0);
    const Real far = static_cast<Real>(n) * size;
    const int a = n * (n + 1), b = n * (n + 1) + n; // the corners (far, 0, 0) and (far, 0, far)
    layout.Add({a, layout.Point(far, -2, 0), layout.Point(far, -2, far), b});
    layout.Add({layout.Point(0, -3, 0), layout.Point(0, -3, far), layout.Point(far, -3, far), layout.Point(far, -3, 0)});
    return layout;
}

ShapeTree MakeTree(AwShape* shape, bool box) {
    ShapeTree tree(new AwShapeInstance(shape, box));
    shape->ReleaseUse();
    return tree;
}

ShapeTree MakeGeometryTree(const GeometryLayout& layout) {
    auto* shape = new AwShape();
    auto* g = new LevelGeometry();
    g->Points = layout.points;
    for (const GeometryLayout::Polygon& p : layout.polygons) {
        auto at = [&](size_t i) { return &g->Points[static_cast<size_t>(p.corners[i])]; };
        Vector3 n = p.normal.value_or(Vector3(0, 0, 0));
        if (!p.normal) {
            n = Cross(*at(1) - *at(0), *at(2) - *at(0));
            n = n * (1.0f / std::sqrt(Dot(n, n)));
        }
        if (p.corners.size() == 3)
            g->Triangles.push_back({{at(0), at(1), at(2)}, n, p.flags});
        else
            g->Quads.push_back({{at(0), at(1), at(2), at(3)}, n, p.flags});
    }
    shape->Geometry = g;
    return MakeTree(shape, false);
}

void LinkBothWays(CollisionPolygon& a, CollisionPolygon& b) {
    a.AddNeighbour(&b);
    b.AddNeighbour(&a);
}
