#pragma once
// A shape: the renderer's unit of static geometry, a list of mesh parts with
// the shape's bounds, an optional culling box, optional pick data for
// screen-point picking, and two counts that decide its life.
//
// The use count counts users that draw the shape (instance slots, caches,
// the creator); the hold count loaded model nodes that keep it ready without
// drawing it. Textures are referenced only while the shape is used. Both
// counts are atomic: shapes are shared by objects made on the server thread.

#include <atomic>
#include <cstdint>
#include <vector>

#include "Awapi/render_item.h"
#include "core/list.h"
#include "core/maths.h"
#include "core/matrix.h"
#include "platform/d3d/d3d_types.h"

class AwBoundingBox;
class AwMeshPart;
struct AwTexture;
struct LevelGeometry;
namespace plat {
class VertexBuffer;
}

// Shape flags. Instances of a never-culled shape skip the sphere test;
// converted shapes mark their bounds as set from the file and are culled.
constexpr uint32_t kShapeNeverCull = 0x2;
constexpr uint32_t kShapeBoundsSet = 0x4;
// Vertices of one mesh part made by conversion or subdivision.
constexpr uint32_t kMaxMeshVertices = 30000;

// The description a primitive shape is built from (the meaning of a, b, c, d depends on the type).
struct AwPrimitiveDesc {
    int32_t type = 0;
    int32_t a = 0, b = 0, c = 0;
    AwTexture* texture = nullptr;
    int32_t d = 0;
};

// The pick positions of one mesh part: its triangles index only its own vertices.
struct AwPickPart {
    plat::VertexBuffer* Positions = nullptr; // D3DFVF_XYZ, system memory
    uint32_t VertexCount = 0;
    uint32_t FirstTriangle = 0, TriangleCount = 0;
};

class AwShape : public MemObject {
public:
    // An empty shape: one use, no hold.
    AwShape();
    // A quad, sprite, grid, tube, sphere ... built from a description.
    static AwShape* ConstructPrimitive(const AwPrimitiveDesc& desc);
    virtual ~AwShape();
    AwShape(const AwShape&) = delete;
    AwShape& operator=(const AwShape&) = delete;

    // Appends a part (counts taken modulo 65536); with `fan` the indices are
    // filled as a fan: triangles (j, j+1, V-1) written from the end backwards.
    uint16_t* AddMeshPart(uint32_t vertexCount, uint32_t indexCount, uint32_t vertexFormat, bool fan);

    // A use of a shape whose use count was 0 references its kept textures again.
    int32_t AddUse();
    // At 0 uses the shape is deleted when nothing holds it, else it drops its
    // texture references. Returns the uses left (0 when deleted).
    int32_t ReleaseUse();
    int32_t AddHold() { return ++HoldCount; }
    // Returns uses + holds left (0 when deleted).
    int32_t ReleaseHold();
    // Takes a texture reference and lists the texture in use.
    void AddTexture(AwTexture* texture);
    void ReleaseTextures();
    // Frees the kept collision geometry; the shape keeps none afterwards.
    void FreeGeometry();

    // Builds the pick positions, indices and triangle centres (and the box when missing).
    void BuildTriangleData();
    // Draws the parts under the world matrix; with a filter only the parts of that texture.
    void Draw(const plat::Matrix& world, AwTexture* filter, AwDrawFlags flags);
    // Optimises every part's shared buffer.
    void OptimizeVertexBuffers();
    // Appends the source's triangles whose centre c lies in low < c <= high on
    // every axis, into parts of the source part's texture and format of at most
    // kMaxMeshVertices vertices; shared corners are copied once per part. The
    // bounds widen by every vertex copied; each part gets a shared buffer.
    void AddTrianglesInBox(const AwShape& source, const Vector3& low, const Vector3& high);

    List<AwTexture*> TexturesInUse; // one reference each
    List<AwTexture*> TexturesKept;  // each counted once in the texture's KeepCount
    List<AwMeshPart*> Parts;        // owned, in drawing order
    Vector3 Min{0, 0, 0}, Max{0, 0, 0};
    AwBoundingBox* Box = nullptr;
    uint32_t Flags = 0;
    Vector3 SphereCentre{0, 0, 0};
    float SphereRadius = 0;
    uint32_t PickVertexCount = 0, PickTriangleCount = 0;
    std::vector<AwPickPart> PickParts;
    std::vector<uint16_t> PickIndices; // three per triangle, local to the triangle's part
    std::vector<Vector3> PickCentres;  // object-space centre of each triangle
    LevelGeometry* Geometry = nullptr; // owned
    Quaternion Orientation{0, 0, 0, 1}; // of the object the shape was loaded from
    std::atomic<int32_t> UseCount{1};
    std::atomic<int32_t> HoldCount{0};

private:
    void DrawPart(const AwMeshPart& part, AwDrawFlags flags);
    void DrawPickTriangles(const plat::Matrix& world);
    void ReleasePickData();
};
