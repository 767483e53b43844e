#include "Tv/defs/levelcache.h"

#include <bit>
#include <string>
#include <vector>

#include "Awapi/compress_file_tail.h"
#include "chunkfile/chunkfileimage.h"
#include "chunkfile/container.h"
#include "core/bytes.h"
#include "core/vector_bytes.h"
#include "platform/files.h"

namespace {

constexpr uint32_t kMarkerWord = 0x7F7FFFFF; // the largest float
constexpr uint32_t kHeaderSize = 20;
constexpr size_t kVertexSize = 12, kTriangleSize = 28, kQuadSize = 32;

// One polygon of N corners; false when a corner index lies beyond the points.
template <class Polygon, int N>
bool ReadPolygon(ByteReader& in, const std::vector<Vector3>& points, Polygon& polygon) {
    for (int i = 0; i < N; ++i) {
        const uint32_t index = in.U32();
        if (index >= points.size()) return false;
        polygon.Points[i] = &points[index];
    }
    polygon.Normal = ReadVector3(in);
    polygon.Flags = in.U32();
    return in.ok();
}

template <class Polygon, int N>
bool WritePolygon(ByteWriter& out, const std::vector<Vector3>& points, const Polygon& polygon) {
    for (int i = 0; i < N; ++i) {
        const Vector3* corner = polygon.Points[i];
        if (corner < points.data() || corner >= points.data() + points.size()) return false;
        out.U32(static_cast<uint32_t>(corner - points.data()));
    }
    WriteVector3(out, polygon.Normal);
    out.U32(polygon.Flags);
    return true;
}

// The body after the origin.
bool ParseBody(ByteReader& in, LevelCache& out) {
    out.root.reset(AwShapeInstance::ReadCached(in));
    if (!out.root) return false;
    LevelGeometry& g = out.geometry;
    const uint32_t vertexCount = in.U32();
    if (!in.ok() || vertexCount > in.remaining() / kVertexSize) return false;
    g.Points.resize(vertexCount, Vector3(0, 0, 0));
    for (Vector3& p : g.Points) p = ReadVector3(in);
    const uint32_t triangleCount = in.U32();
    const uint32_t quadCount = in.U32();
    if (!in.ok() || uint64_t{triangleCount} * kTriangleSize + uint64_t{quadCount} * kQuadSize != in.remaining())
        return false;
    g.Triangles.resize(triangleCount);
    for (GeometryTriangle& t : g.Triangles)
        if (!ReadPolygon<GeometryTriangle, 3>(in, g.Points, t)) return false;
    g.Quads.resize(quadCount);
    for (GeometryQuad& q : g.Quads)
        if (!ReadPolygon<GeometryQuad, 4>(in, g.Points, q)) return false;
    return in.ok() && in.remaining() == 0;
}

bool Parse(std::span<const uint8_t> bytes, uint64_t stamp, LevelCache& out) {
    ByteReader in(bytes.data(), bytes.size());
    uint64_t fileStamp = 0;
    if (!in.U64(fileStamp) || (stamp != 0 && fileStamp != stamp)) return false;
    uint32_t head[3];
    for (uint32_t& word : head) word = in.U32();
    if (!in.ok()) return false;
    if (head[0] != kMarkerWord || head[1] != kMarkerWord || head[2] != kMarkerWord) {
        out.origin =
            Vector3(std::bit_cast<float>(head[0]), std::bit_cast<float>(head[1]), std::bit_cast<float>(head[2]));
        return ParseBody(in, out);
    }
    std::vector<uint8_t> body;
    if (!DecompressChunkImage(std::span(in.cursor(), in.remaining()), body)) return false;
    ByteReader unpacked(body.data(), body.size());
    out.origin = ReadVector3(unpacked);
    return unpacked.ok() && ParseBody(unpacked, out);
}

bool WriteUnpacked(plat::File& file, uint64_t stamp, const Vector3& origin, const AwShapeInstance& root,
                   const LevelGeometry& g) {
    ByteWriter head;
    head.U64(stamp);
    for (int i = 0; i < 3; ++i) head.U32(kMarkerWord);
    WriteVector3(head, origin);
    if (!file.Write(head.bytes().data(), static_cast<uint32_t>(head.size())) || !root.WriteCached(file)) return false;
    ByteWriter tail;
    tail.U32(static_cast<uint32_t>(g.Points.size()));
    for (const Vector3& p : g.Points) WriteVector3(tail, p);
    tail.U32(static_cast<uint32_t>(g.Triangles.size()));
    tail.U32(static_cast<uint32_t>(g.Quads.size()));
    for (const GeometryTriangle& t : g.Triangles)
        if (!WritePolygon<GeometryTriangle, 3>(tail, g.Points, t)) return false;
    for (const GeometryQuad& q : g.Quads)
        if (!WritePolygon<GeometryQuad, 4>(tail, g.Points, q)) return false;
    return tail.size() <= UINT32_MAX && file.Write(tail.bytes().data(), static_cast<uint32_t>(tail.size()));
}

} // namespace

bool ParseLevelCache(std::span<const uint8_t> bytes, uint64_t stamp, LevelCache& out) {
    if (Parse(bytes, stamp, out)) return true;
    out = LevelCache();
    return false;
}

bool ReadLevelCache(std::string_view name, uint64_t stamp, LevelCache& out) {
    std::string bytes;
    if (!plat::ReadWholeFile(name, bytes)) return false;
    return ParseLevelCache(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), stamp, out);
}

bool WriteLevelCache(std::string_view name, uint64_t stamp, const Vector3& origin, const AwShapeInstance& root,
                     const LevelGeometry& geometry) {
    const std::string temp = TemporarySaveName(name);
    if (temp.empty()) return false;
    bool written = false;
    {
        plat::File file = plat::File::Open(temp, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        written = file.IsOpen() && WriteUnpacked(file, stamp, origin, root, geometry);
    }
    if (written && AwCompressFileTail(temp, kHeaderSize) && plat::RenameFile(temp, name)) return true;
    plat::DeleteFile(temp);
    return false;
}
