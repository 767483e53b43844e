#include "chunkfile/shapeanim_record.h"

#include <algorithm>
#include <cmath>

namespace {

// The vertices of a polygon when all of them name a point of the shape.
std::span<const int32_t> ValidVertices(const ChunkPolygon& polygon, size_t pointCount) {
    const int32_t count = std::clamp(polygon.vertexCount, 0, ChunkPolygon::kMaxVertices);
    const std::span<const int32_t> vertices(polygon.vertices, static_cast<size_t>(count));
    for (int32_t v : vertices)
        if (v < 0 || static_cast<size_t>(v) >= pointCount) return {};
    return vertices;
}

} // namespace

ChunkAnimSequence& ChunkAnimSequence::operator=(const ChunkAnimSequence& other) {
    if (this == &other) return *this;
    sequenceWord = other.sequenceWord;
    name = other.name;
    frames.clear();
    for (const auto& frame : other.frames) frames.push_back(std::make_unique<ChunkAnimFrame>(*frame));
    std::copy(std::begin(other.words), std::end(other.words), words);
    boundsMin = other.boundsMin;
    boundsMax = other.boundsMax;
    radius = other.radius;
    vertexNormals = other.vertexNormals;
    return *this;
}

void ChunkAnimSequence::ComputeNormalsAndBounds(const ChunkShapeData& shape,
                                                std::optional<std::span<const int32_t>> leftOut) {
    const size_t pointCount = shape.points.size();
    vertexNormals.assign(pointCount, Vector3(0, 0, 0));
    for (size_t q = 0; q < shape.polygons.size(); ++q) {
        for (int32_t v : ValidVertices(shape.polygons[q], pointCount)) {
            for (const auto& frame : frames) {
                if (q >= frame->polygonNormals.size()) continue;
                const Vector3& n = frame->polygonNormals[q];
                vertexNormals[v] = Vector3(vertexNormals[v].x + n.x, vertexNormals[v].y + n.y, vertexNormals[v].z + n.z);
            }
        }
    }
    for (Vector3& n : vertexNormals) {
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        n = length == 0 ? Vector3(1, 0, 0) : Vector3(n.x / length, n.y / length, n.z / length);
    }

    boundsMax = {-kBoundsLimit, -kBoundsLimit, -kBoundsLimit};
    boundsMin = {kBoundsLimit, kBoundsLimit, kBoundsLimit};
    radius = 0;
    std::vector<bool> counted;
    if (leftOut) {
        counted.assign(pointCount, false);
        for (size_t q = 0; q < shape.polygons.size(); ++q) {
            if (std::ranges::find(*leftOut, static_cast<int32_t>(q)) != leftOut->end()) continue;
            for (int32_t v : ValidVertices(shape.polygons[q], pointCount)) counted[v] = true;
        }
    }
    for (const auto& frame : frames) {
        for (size_t i = 0; i < frame->points.size(); ++i) {
            if (leftOut && (i >= counted.size() || !counted[i])) continue;
            const VectorI& p = frame->points[i];
            boundsMax = {std::max(boundsMax.x, p.x), std::max(boundsMax.y, p.y), std::max(boundsMax.z, p.z)};
            boundsMin = {std::min(boundsMin.x, p.x), std::min(boundsMin.y, p.y), std::min(boundsMin.z, p.z)};
            const double x = p.x, y = p.y, z = p.z;
            radius = std::max(radius, static_cast<float>(std::sqrt(x * x + y * y + z * z)));
        }
    }
}

void ChunkAnimSequence::PurgeDeletedFrames() {
    std::erase_if(frames, [](const auto& frame) { return frame->IsDeleted(); });
}
