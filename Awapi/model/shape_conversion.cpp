// AwModelFile::ConvertShape: a shape record becomes welded mesh parts per
// texture (at most kMaxMeshVertices vertices each), bounds and the shape's
// collision geometry. File indices are checked here: a polygon whose corners
// name no point, or whose texture number the file's table lacks, is not
// drawn; a missing normal, uv list or tint gives zero normals, zero texture
// coordinates or white.

#include <algorithm>
#include <cstdint>
#include <bit>
#include <cstring>
#include <vector>

#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/level_geometry.h"
#include "Awapi/mesh_part.h"
#include "Awapi/model/model_file.h"
#include "Awapi/model/weld_vertex.h"
#include "Awapi/shape.h"
#include "chunkfile/light_chunks.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shape_merge.h"
#include "chunkfile/shapeext_chunks.h"

namespace {

constexpr uint32_t kGeometryFlagMask = 0x3FFFC1;
constexpr uint32_t kPolygonHidden = 0x1;

struct TextureSlot {
    AwTexture* texture = nullptr;
    bool used = false;
};

// Chained buckets over indices into a vertex array.
class WeldTable {
public:
    explicit WeldTable(uint32_t bits) : mask_((1u << bits) - 1), heads_(size_t{1} << bits, -1) {}
    int32_t Find(const std::vector<WeldVertex>& vertices, const WeldVertex& v) const {
        for (int32_t i = heads_[VertexWeldHash(v) & mask_]; i >= 0; i = next_[static_cast<size_t>(i)].link)
            if (VertexWeldEqual(vertices[static_cast<size_t>(next_[static_cast<size_t>(i)].vertex)], v))
                return next_[static_cast<size_t>(i)].vertex;
        return -1;
    }
    void Insert(const WeldVertex& v, int32_t vertexIndex) {
        int32_t& head = heads_[VertexWeldHash(v) & mask_];
        next_.push_back({vertexIndex, head});
        head = static_cast<int32_t>(next_.size() - 1);
    }
private:
    struct Entry {
        int32_t vertex;
        int32_t link;
    };
    uint32_t mask_;
    std::vector<int32_t> heads_;
    std::vector<Entry> next_;
};

struct MeshBuild {
    uint32_t base = 0; // first vertex of the part's array that belongs to this mesh
    uint32_t vertexCount = 0;
    std::vector<uint16_t> indices;
};

// A part's weld table is sized once its triangles are counted: parts that
// draw nothing keep a single bucket.
struct TexturePart {
    uint32_t bits = 0;
    uint32_t triangles = 0;
    AwTexture* texture = nullptr;
    std::vector<WeldVertex> vertices;
    std::vector<MeshBuild> meshes;
    WeldTable weld{0};
};

// The triangles of a polygon as corner positions, winding reversed from the file's order.
int32_t PolygonTriangles(const ChunkPolygon& p, int32_t (&corners)[6]) {
    if (p.vertexCount == 3) {
        const int32_t c[] = {2, 1, 0};
        std::copy(std::begin(c), std::end(c), corners);
        return 1;
    }
    const int32_t c[] = {3, 2, 0, 2, 1, 0};
    std::copy(std::begin(c), std::end(c), corners);
    return 2;
}

bool CornersValid(const ChunkPolygon& p, const ChunkShapeData& d) {
    if (p.vertexCount < 3 || p.vertexCount > ChunkPolygon::kMaxVertices) return false;
    for (int32_t i = 0; i < p.vertexCount; ++i)
        if (p.vertices[i] < 0 || static_cast<size_t>(p.vertices[i]) >= d.points.size()) return false;
    return true;
}

// The weld and point tables are sized by the points the file holds, not by
// the count its header claims: a lying count would ask for gigabytes.
int32_t PointsPresent(const ChunkShapeData& d) {
    return static_cast<int32_t>(std::min<size_t>(d.points.size(), INT32_MAX));
}

Vector3 Scaled(const VectorI& v, float scale) {
    return Vector3(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)) * scale;
}

class ShapeConverter {
public:
    ShapeConverter(const AwModelFile& file, ChunkShapeData& data, const VertexTintChunk* tints)
        : file_(file), data_(data), tints_(tints), points_(PointsPresent(data)) {}

    AwShape* Run(ShapeChunk& chunk, uint32_t options) {
        MakeSlots();
        shape_ = new AwShape();
        shape_->Geometry = new LevelGeometry();
        SetBounds();
        parts_.resize(slots_.size() + (file_.Textures().empty() ? 0 : 1));
        CountTriangles();
        for (size_t i = data_.polygons.size(); i-- > 0;)
            if (int32_t part = DrawnPart(data_.polygons[i]); part >= 0) AddPolygon(i, parts_[static_cast<size_t>(part)]);
        MakeMeshParts();
        if (options & kConvertMergeQuads) MergeQuads(chunk);
        BuildGeometry();
        EnterTextures();
        for (AwMeshPart* part : shape_->Parts) part->AssignVertexBuffer(true);
        return shape_;
    }

private:
    void MakeSlots() {
        const auto& table = file_.Textures();
        if (table.empty()) {
            slots_.push_back({NullTexture, false});
            if (NullTexture) TextureManager.AddRef(NullTexture);
            return;
        }
        for (const AwTextureEntry& entry : table) {
            TextureSlot slot;
            if (entry.Name) {
                slot.texture = TextureManager.Get(entry.Name->c_str(), 0);
                slot.texture->Width = entry.Width;
                slot.texture->Height = entry.Height;
            } else {
                slot.texture = NullTexture;
                if (NullTexture) TextureManager.AddRef(NullTexture);
            }
            slots_.push_back(slot);
        }
    }

    void SetBounds() {
        const float scale = file_.GetWorldScale();
        shape_->Min = Scaled(data_.cornerA, scale);
        shape_->Max = Scaled(data_.cornerB, scale);
        if (data_.radius > 0) {
            shape_->SphereCentre = Scaled(data_.centre, scale);
            shape_->SphereRadius = data_.radius * scale;
        } else {
            shape_->SphereCentre = (shape_->Min + shape_->Max) * 0.5f;
            const Vector3 d = shape_->Min - shape_->Max;
            shape_->SphereRadius = 0.5f * FastSqrt(Dot(d, d));
        }
        shape_->Flags |= kShapeBoundsSet;
    }

    // The texture part a polygon is drawn in; -1 when it is not drawn.
    int32_t DrawnPart(const ChunkPolygon& p) const {
        if ((p.flags & kPolygonHidden) || !CornersValid(p, data_)) return -1;
        if (!p.IsTextured()) return static_cast<int32_t>(parts_.size() - 1);
        const uint32_t t = p.GetTextureIndex();
        return t < slots_.size() ? static_cast<int32_t>(t) : -1;
    }

    AwTexture* PartTexture(const ChunkPolygon& p) const {
        return p.IsTextured() ? slots_[p.GetTextureIndex()].texture : NullTexture;
    }

    void CountTriangles() {
        for (size_t i = data_.polygons.size(); i-- > 0;) {
            const ChunkPolygon& p = data_.polygons[i];
            const int32_t part = DrawnPart(p);
            if (part < 0) continue;
            parts_[static_cast<size_t>(part)].triangles += static_cast<uint32_t>(p.vertexCount - 2);
            parts_[static_cast<size_t>(part)].texture = PartTexture(p);
        }
        for (TexturePart& part : parts_)
            if (part.triangles) {
                const uint32_t vertices = 3 * part.triangles;
                part.bits = WeldTableBits(points_, vertices);
                part.weld = WeldTable(part.bits);
                part.vertices.reserve(vertices);
                part.meshes.emplace_back();
            }
    }

    WeldVertex MakeVertex(const ChunkPolygon& p, int32_t corner) const {
        const auto v = static_cast<size_t>(p.vertices[corner]);
        const Vector3 position = Scaled(data_.points[v], file_.GetWorldScale());
        const Vector3 normal = v < data_.vertexNormals.size() ? data_.vertexNormals[v] : Vector3(0, 0, 0);
        WeldVertex w{position.x, position.y, position.z, normal.x, normal.y, normal.z, 0xFFFFFFFFu, 0, 0};
        if (tints_) {
            const auto& colours = tints_->Data().colours;
            if (v < colours.size()) w.diffuse = colours[v] | 0xFF000000u;
        }
        if (p.IsTextured()) {
            const uint32_t uvList = p.GetUvIndex();
            const AwTexture* texture = slots_[p.GetTextureIndex()].texture;
            if (uvList < data_.uvLists.size() && texture) {
                const UvPair& uv = data_.uvLists[uvList].pairs[corner];
                w.u = texture->Width ? uv.u / static_cast<float>(texture->Width) : 0.0f;
                w.v = texture->Height ? uv.v / static_cast<float>(texture->Height) : 0.0f;
            }
        }
        return w;
    }

    void AddPolygon(size_t index, TexturePart& part) {
        const ChunkPolygon& p = data_.polygons[index];
        int32_t corners[6];
        const int32_t triangles = PolygonTriangles(p, corners);
        for (int32_t t = 0; t < triangles; ++t) {
            MeshBuild& mesh = part.meshes.back();
            const size_t indicesBefore = mesh.indices.size();
            const size_t verticesBefore = part.vertices.size();
            bool overflow = false;
            for (int32_t c = 0; c < 3 && !overflow; ++c) {
                const WeldVertex w = MakeVertex(p, corners[3 * t + c]);
                const int32_t found = part.weld.Find(part.vertices, w);
                if (found >= 0) {
                    mesh.indices.push_back(static_cast<uint16_t>(static_cast<uint32_t>(found) - mesh.base));
                    continue;
                }
                if (mesh.vertexCount == kMaxMeshVertices) {
                    overflow = true;
                    break;
                }
                mesh.indices.push_back(static_cast<uint16_t>(mesh.vertexCount));
                part.weld.Insert(w, static_cast<int32_t>(part.vertices.size()));
                part.vertices.push_back(w);
                ++mesh.vertexCount;
            }
            if (!overflow) continue;
            // The mesh is full: withdraw this triangle and convert the whole
            // polygon again into a fresh mesh.
            mesh.indices.resize(indicesBefore);
            mesh.vertexCount -= static_cast<uint32_t>(part.vertices.size() - verticesBefore);
            part.vertices.resize(verticesBefore);
            MeshBuild next;
            next.base = static_cast<uint32_t>(part.vertices.size());
            part.meshes.push_back(std::move(next));
            part.weld = WeldTable(part.bits);
            t = -1;
        }
    }

    void MakeMeshParts() {
        for (size_t i = parts_.size(); i-- > 0;) {
            TexturePart& part = parts_[i];
            for (const MeshBuild& mesh : part.meshes) {
                if (mesh.vertexCount == 0) continue;
                auto* out = new AwMeshPart(mesh.vertexCount, static_cast<uint32_t>(mesh.indices.size()), kWeldVertexFormat);
                std::memcpy(out->Vertices.data(), &part.vertices[mesh.base], size_t{mesh.vertexCount} * sizeof(WeldVertex));
                std::copy(mesh.indices.begin(), mesh.indices.end(), out->Indices.begin());
                out->Texture = part.texture;
                shape_->Parts.PushBack(out);
            }
        }
        parts_.clear();
    }

    void MergeQuads(ShapeChunk& chunk) {
        auto* merge = FindChildAs<MergeDataChunk>(chunk, "SHPMRGDT");
        if (!merge) return;
        const std::vector<int32_t> table(merge->Table().begin(), merge->Table().end());
        MergeTrianglePairs(data_, table);
        // Gone from the tree, so converting the chunk again merges nothing.
        delete merge;
    }

    void BuildGeometry() {
        LevelGeometry& g = *shape_->Geometry;
        const float scale = file_.GetWorldScale();
        const uint32_t mask = (1u << WeldTableBits(points_, static_cast<uint32_t>(points_))) - 1;
        std::vector<std::vector<uint32_t>> buckets(size_t{mask} + 1);
        std::vector<uint32_t> pointOf(data_.points.size());
        g.Points.reserve(data_.points.size());
        for (size_t i = data_.points.size(); i-- > 0;) {
            const Vector3 p = Scaled(data_.points[i], scale);
            auto& bucket = buckets[PointHash(p) & mask];
            auto same = std::find_if(bucket.begin(), bucket.end(), [&](uint32_t k) {
                return g.Points[k].x == p.x && g.Points[k].y == p.y && g.Points[k].z == p.z;
            });
            if (same != bucket.end()) {
                pointOf[i] = *same;
            } else {
                pointOf[i] = static_cast<uint32_t>(g.Points.size());
                bucket.push_back(pointOf[i]);
                g.Points.push_back(p);
            }
        }
        for (size_t i = data_.polygons.size(); i-- > 0;) {
            const ChunkPolygon& p = data_.polygons[i];
            if (!CornersValid(p, data_)) continue;
            const Vector3 normal = i < data_.polygonNormals.size() ? data_.polygonNormals[i] : Vector3(0, 0, 0);
            const uint32_t flags = p.flags & kGeometryFlagMask;
            auto point = [&](int32_t c) { return &g.Points[pointOf[static_cast<size_t>(p.vertices[c])]]; };
            if (p.vertexCount == 3)
                g.Triangles.push_back({{point(0), point(1), point(2)}, normal, flags});
            else
                g.Quads.push_back({{point(0), point(1), point(2), point(3)}, normal, flags});
            if (p.IsTextured() && p.GetTextureIndex() < slots_.size() && slots_[p.GetTextureIndex()].texture)
                slots_[p.GetTextureIndex()].used = true;
            else
                needsNullTexture_ = true;
        }
    }

    static uint32_t PointHash(const Vector3& p) {
        auto bits = [](float f) {
            const uint32_t b = std::bit_cast<uint32_t>(f);
            const uint32_t exponent = b & 0x7F800000u;
            return exponent == 0 || exponent == 0x7F800000u ? 0u : b;
        };
        return bits(p.x) ^ bits(p.y) ^ bits(p.z);
    }

    void Keep(AwTexture* texture) {
        shape_->TexturesInUse.PushBack(texture);
        shape_->TexturesKept.PushBack(texture);
        ++texture->KeepCount;
    }

    void EnterTextures() {
        for (TextureSlot& slot : slots_) {
            if (!slot.texture) continue;
            if (slot.used)
                Keep(slot.texture);
            else
                ReleaseUseCount(slot.texture);
        }
        if (needsNullTexture_ && NullTexture) {
            TextureManager.AddRef(NullTexture);
            Keep(NullTexture);
        }
    }

    const AwModelFile& file_;
    ChunkShapeData& data_;
    const VertexTintChunk* tints_;
    const int32_t points_;
    std::vector<TextureSlot> slots_;
    std::vector<TexturePart> parts_;
    AwShape* shape_ = nullptr;
    bool needsNullTexture_ = false;
};

} // namespace

AwShape* AwModelFile::ConvertShape(ShapeChunk& shape, const VertexTintChunk* tints, uint32_t options) {
    return ShapeConverter(*this, shape.Data(), tints).Run(shape, options);
}
