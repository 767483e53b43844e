#include "Awapi/shape_subdivision.h"

#include <algorithm>
#include <cfloat>
#include <vector>

#include "Awapi/bounding_box.h"
#include "Awapi/level_geometry.h"
#include "Awapi/mesh_part.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"

namespace {

float& Axis(Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
float Axis(const Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// A destination part while triangles are added: parts are sized once, at the end.
struct PartBuilder {
    AwTexture* texture;
    uint32_t format;
    uint32_t stride;
    std::vector<uint8_t> vertices;
    std::vector<uint16_t> indices;

    uint32_t VertexCount() const { return static_cast<uint32_t>(vertices.size() / stride); }
};

PartBuilder BuilderOf(const AwMeshPart& part) {
    return {part.Texture, part.VertexFormat, part.Stride(), part.Vertices, part.Indices};
}

uint32_t VertexTotal(const AwShape& shape) {
    uint32_t total = 0;
    for (const AwMeshPart* part : shape.Parts) total += part->VertexCount;
    return total;
}

// The mean of every vertex of the shape on one axis.
float MeanOnAxis(const AwShape& shape, int axis) {
    double sum = 0;
    uint32_t count = 0;
    for (const AwMeshPart* part : shape.Parts) {
        for (uint32_t i = 0; i < part->VertexCount; ++i) sum += part->Position(i)[axis];
        count += part->VertexCount;
    }
    return static_cast<float>(sum / count);
}

// The node of a piece, or the piece released when it received nothing.
void PlacePiece(AwShape* piece, AwShapeInstance* node, uint32_t vertexLimit, int kind, bool otherHasParts) {
    if (piece->Parts.IsEmpty()) {
        piece->ReleaseUse();
        return;
    }
    auto* child = new AwShapeInstance(piece, true);
    piece->ReleaseUse();
    node->Children.PushBack(child);
    piece->Box = new AwBoundingBox(piece->Min, piece->Max);
    if (otherHasParts)
        AwSubdivideShape(piece, child, vertexLimit, 0);
    else if (kind + 1 < kSplitKinds)
        AwSubdivideShape(piece, child, vertexLimit, kind + 1);
}

} // namespace

void AwShape::AddTrianglesInBox(const AwShape& source, const Vector3& low, const Vector3& high) {
    std::vector<PartBuilder> builders;
    for (const AwMeshPart* part : Parts) builders.push_back(BuilderOf(*part));
    for (const AwMeshPart* from : source.Parts) {
        const uint32_t stride = from->Stride();
        auto fits = [&](const PartBuilder& b) {
            return b.texture == from->Texture && b.format == from->VertexFormat &&
                   b.VertexCount() + from->VertexCount <= kMaxMeshVertices;
        };
        auto found = std::find_if(builders.begin(), builders.end(), fits);
        size_t target = found == builders.end() ? SIZE_MAX : static_cast<size_t>(found - builders.begin());
        // 1 + the vertex's index in the target part; 0 while not copied.
        std::vector<uint16_t> remap(from->VertexCount, 0);
        for (uint32_t t = 0; t + 2 < from->IndexCount; t += 3) {
            const uint16_t* corners = &from->Indices[t];
            Vector3 centre{0, 0, 0};
            for (int c = 0; c < 3; ++c) {
                const float* p = from->Position(corners[c]);
                centre = centre + Vector3(p[0], p[1], p[2]);
            }
            centre = Vector3(centre.x / 3.0f, centre.y / 3.0f, centre.z / 3.0f);
            bool inside = true;
            for (int axis = 0; axis < 3; ++axis)
                inside = inside && Axis(low, axis) < Axis(centre, axis) && Axis(centre, axis) <= Axis(high, axis);
            if (!inside) continue;
            if (target == SIZE_MAX) {
                target = builders.size();
                builders.push_back({from->Texture, from->VertexFormat, stride, {}, {}});
                if (from->Texture) AddTexture(from->Texture);
            }
            PartBuilder& to = builders[target];
            for (int c = 0; c < 3; ++c) {
                uint16_t& entry = remap[corners[c]];
                if (entry == 0) {
                    const uint8_t* vertex = &from->Vertices[static_cast<size_t>(corners[c]) * stride];
                    entry = static_cast<uint16_t>(to.VertexCount() + 1);
                    to.vertices.insert(to.vertices.end(), vertex, vertex + stride);
                    const float* p = from->Position(corners[c]);
                    Min = Vector3(std::min(Min.x, p[0]), std::min(Min.y, p[1]), std::min(Min.z, p[2]));
                    Max = Vector3(std::max(Max.x, p[0]), std::max(Max.y, p[1]), std::max(Max.z, p[2]));
                }
                to.indices.push_back(static_cast<uint16_t>(entry - 1));
            }
        }
    }
    for (AwMeshPart* part : Parts) delete part;
    Parts.Clear();
    for (PartBuilder& b : builders) {
        auto* part = new AwMeshPart(b.VertexCount(), static_cast<uint32_t>(b.indices.size()), b.format);
        std::copy(b.vertices.begin(), b.vertices.end(), part->Vertices.begin());
        part->Indices = std::move(b.indices);
        part->Texture = b.texture;
        Parts.PushBack(part);
        part->AssignVertexBuffer(true);
    }
}

void AwSubdivideShape(AwShape* shape, AwShapeInstance* node, uint32_t vertexLimit, int kind) {
    if (shape->Geometry) {
        shape->Geometry->Free();
        delete shape->Geometry;
        shape->Geometry = nullptr;
    }
    if (VertexTotal(*shape) <= vertexLimit) return;

    // Axes from the largest extent to the smallest; ties keep x, y, z order.
    int axes[3] = {0, 1, 2};
    const Vector3 extent = shape->Max - shape->Min;
    std::stable_sort(axes, axes + 3, [&](int a, int b) { return Axis(extent, a) > Axis(extent, b); });
    const int axis = kind < 3 ? axes[kind] : axes[0];
    const float split = kind < 3 ? (Axis(shape->Min, axis) + Axis(shape->Max, axis)) / 2 : MeanOnAxis(*shape, axis);

    Vector3 low1(-FLT_MAX, -FLT_MAX, -FLT_MAX), high1(FLT_MAX, FLT_MAX, FLT_MAX);
    Vector3 low2 = low1, high2 = high1;
    Axis(high1, axis) = split;
    Axis(low2, axis) = split;
    // Inverted bounds, so that each piece ends with the bounds of what it receives.
    AwShape* pieces[2] = {new AwShape, new AwShape};
    for (AwShape* piece : pieces) {
        piece->Min = shape->Max;
        piece->Max = shape->Min;
    }
    pieces[0]->AddTrianglesInBox(*shape, low1, high1);
    pieces[1]->AddTrianglesInBox(*shape, low2, high2);
    // The node's use of the source goes; the source lives on only if something else uses or holds it.
    node->SetSlot(0, nullptr);

    const bool firstHasParts = !pieces[0]->Parts.IsEmpty();
    const bool secondHasParts = !pieces[1]->Parts.IsEmpty();
    PlacePiece(pieces[0], node, vertexLimit, kind, secondHasParts);
    PlacePiece(pieces[1], node, vertexLimit, kind, firstHasParts);
}

void AwShapeInstance::BuildBounds(uint32_t vertexLimit) {
    AwShape* shape = Slots[0];
    if (!shape) return;
    delete shape->Box;
    shape->Box = new AwBoundingBox(shape->Min, shape->Max);
    AwSubdivideShape(shape, this, vertexLimit, 0);
}
