#include "chunkfile/shape_merge.h"

#include <utility>
#include <vector>

namespace {

// Where `vertex` stands among a triangle's three vertices; -1 when absent.
int FindVertex(const ChunkPolygon& triangle, int32_t vertex) {
    for (int i = 0; i < 3; ++i)
        if (triangle.vertices[i] == vertex) return i;
    return -1;
}

// Walks round the two triangles from the first's first vertex, crossing to
// the other triangle along their shared edge, and writes the four vertices
// met into `result`. With uv lists, the pairs of the vertices met go to
// `uvOut`, and every shared vertex must carry equal pairs in both lists.
bool WalkQuad(const ChunkPolygon& first, const ChunkPolygon& second, ChunkPolygon& result, const ChunkUvList* uvFirst,
              const ChunkUvList* uvSecond, ChunkUvList* uvOut) {
    result = first;
    result.vertexCount = 4;
    const ChunkPolygon* current = &first;
    const ChunkPolygon* other = &second;
    const ChunkUvList* uvCurrent = uvFirst;
    const ChunkUvList* uvOther = uvSecond;
    const bool textured = uvOut != nullptr;
    // A vertex of the current triangle found at position `at` of the other.
    auto samePair = [&](int here, int at) { return !textured || uvCurrent->pairs[here] == uvOther->pairs[at]; };
    int e = 0;
    for (int step = 0; step < 4; ++step) {
        const int32_t v = current->vertices[e];
        result.vertices[step] = v;
        if (textured) uvOut->pairs[step] = uvCurrent->pairs[e];
        const int jv = FindVertex(*other, v);
        if (jv < 0) {
            e = (e + 1) % 3;
            continue;
        }
        if (!samePair(e, jv)) return false;
        const int n = (e + 1) % 3;
        const int jn = FindVertex(*other, current->vertices[n]);
        if (jn < 0) {
            e = n;
            continue;
        }
        if (!samePair(n, jn)) return false;
        std::swap(current, other);
        std::swap(uvCurrent, uvOther);
        e = (jv + 1) % 3;
    }
    return result.vertices[3] != result.vertices[0];
}

bool BothTriangles(const ChunkPolygon& a, const ChunkPolygon& b) { return a.vertexCount == 3 && b.vertexCount == 3; }

// One entry per polygon, every pair in range and mutual.
bool UsableTable(const ChunkShapeData& record, std::span<const int32_t> table) {
    const size_t n = record.polygons.size();
    if (table.size() != n) return false;
    if (!record.polygonNormals.empty() && record.polygonNormals.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        const int32_t j = table[i];
        if (j == -1) continue;
        if (j < 0 || static_cast<size_t>(j) >= n || static_cast<size_t>(j) == i) return false;
        if (table[static_cast<size_t>(j)] != static_cast<int32_t>(i)) return false;
    }
    return true;
}

} // namespace

bool MergePlainPair(const ChunkPolygon& first, const ChunkPolygon& second, ChunkPolygon& result) {
    if (!BothTriangles(first, second) || first.type != second.type || first.texture != second.texture ||
        first.flags != second.flags)
        return false;
    return WalkQuad(first, second, result, nullptr, nullptr, nullptr);
}

bool MergeTexturedPair(const ChunkPolygon& first, const ChunkPolygon& second, ChunkPolygon& result,
                       ChunkShapeData& record) {
    if (!BothTriangles(first, second) || first.type != second.type ||
        first.GetTextureIndex() != second.GetTextureIndex() || first.flags != second.flags)
        return false;
    const uint32_t uvFirst = first.GetUvIndex();
    const uint32_t uvSecond = second.GetUvIndex();
    if (uvFirst >= record.uvLists.size() || uvSecond >= record.uvLists.size()) return false;
    ChunkUvList merged;
    merged.count = 4;
    if (!WalkQuad(first, second, result, &record.uvLists[uvFirst], &record.uvLists[uvSecond], &merged)) return false;
    record.uvLists[uvFirst] = merged;
    return true;
}

bool MergeTrianglePairs(ChunkShapeData& record, std::span<const int32_t> table) {
    if (!UsableTable(record, table)) return false;
    const size_t n = record.polygons.size();
    const bool withNormals = !record.polygonNormals.empty();
    std::vector<ChunkPolygon> polygons;
    std::vector<Vector3> normals;
    polygons.reserve(n);
    normals.reserve(withNormals ? n : 0);
    auto write = [&](const ChunkPolygon& polygon, size_t normalFrom) {
        polygons.push_back(polygon);
        polygons.back().normalIndex = static_cast<int32_t>(polygons.size() - 1);
        if (withNormals) normals.push_back(record.polygonNormals[normalFrom]);
    };
    for (size_t i = 0; i < n; ++i) {
        const int32_t partner = table[i];
        if (partner == -1) {
            write(record.polygons[i], i);
            continue;
        }
        const auto j = static_cast<size_t>(partner);
        if (j < i) continue; // written with its partner
        const ChunkPolygon& first = record.polygons[i];
        const ChunkPolygon& second = record.polygons[j];
        ChunkPolygon quad;
        const bool merged = first.IsTextured() ? MergeTexturedPair(first, second, quad, record)
                                               : MergePlainPair(first, second, quad);
        if (merged) {
            write(quad, i);
        } else {
            write(first, i);
            write(second, j);
        }
    }
    record.polygons = std::move(polygons);
    record.polygonNormals = std::move(normals);
    record.polygonCount = static_cast<int32_t>(record.polygons.size());
    return true;
}
