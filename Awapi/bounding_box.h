#pragma once
// Axis-aligned bounding boxes for culling and picking: centre, the radius of
// the sphere around the box, and eight corners. The corners of up to 150
// boxes lie together in one system-memory vertex buffer of a box batch, so a
// box projects to the screen with one ProcessVertices call. Culling uses the
// sphere only (AwTestSphereInFrustum, against the culling matrix).
//
// Boxes are made and released on the main and the server thread: joining and
// leaving a batch, and the global batch list, are guarded by one lock; each
// batch's own lock guards its vertex buffer.

#include <cstdint>

#include "core/list.h"
#include "core/maths.h"
#include "core/matrix.h"
#include "core/refcounted.h"
#include "platform/d3d/d3d_types.h"
#include "platform/d3d/process_vertices.h"
#include "platform/threads.h"

class AwBoundingBox;
namespace plat {
class VertexBuffer;
}

constexpr uint32_t kBoxBatchCorners = 1200;

class AwBoxBatch : public RefCounted {
public:
    // Joins the global batch list with no boxes (the creator's reference is the first box's).
    AwBoxBatch();
    ~AwBoxBatch() override;

    // Writes the corners of every box, in list order, into a new buffer;
    // each box's first corner becomes 8 x its position.
    void RebuildVertexBuffer();
    void ReleaseVertexBuffer();
    void Restore() { RebuildVertexBuffer(); }

    plat::CriticalSection Lock;
    plat::VertexBuffer* Buffer = nullptr; // null when empty or lost
    List<AwBoundingBox*> Boxes;           // in join order
    uint32_t CornersInUse = 0;
};

// Every batch; read and changed only under AwBoxBatchListLock.
extern List<AwBoxBatch*> AwBoxBatchList;
extern plat::CriticalSection AwBoxBatchListLock;

struct AwScreenRect {
    int32_t left, top, right, bottom;
};

class AwBoundingBox {
public:
    // Fills the corners, joins a batch, then computes centre and radius.
    AwBoundingBox(const Vector3& min, const Vector3& max);
    // Leaves the batch.
    ~AwBoundingBox();
    AwBoundingBox(const AwBoundingBox&) = delete;
    AwBoundingBox& operator=(const AwBoundingBox&) = delete;

    const Vector3& Min() const { return Corners[0]; }
    const Vector3& Max() const { return Corners[5]; }
    // The culling radius: half the length of (max - min), scaled per axis when a scale is given.
    float CullingRadius(const Vector3* scale) const;

    // The pixel bounds of the eight corners under the current device
    // transforms; false (rect untouched) without a device, buffer or scratch buffer.
    bool GetScreenRect(AwScreenRect& rect) const;
    // Projects the corners and tests the six faces against the pick probes.
    void TestPick() const;
    // Fills the pick candidate list for the triangles inside the box.
    void CollectPickCandidates() const;

    Vector3 Centre;
    float Radius;
    Vector3 Corners[8]; // (x0,y0,z0) (x1,y0,z0) (x1,y1,z0) (x0,y1,z0) (x0,y1,z1) (x1,y1,z1) (x1,y0,z1) (x0,y0,z1)
    AwBoxBatch* Batch = nullptr;
    uint32_t FirstCorner = 0;

private:
    bool Project(plat::ScreenVertex out[8]) const;
};

// Object space to view space, for the sphere test; main thread only.
extern plat::Matrix AwCullingMatrix;
// culling matrix = a x b.
bool AwSetCullingMatrix(const plat::Matrix& a, const plat::Matrix& b);
// out = a x b; out may alias an input.
void AwMatrix4Multiply(plat::Matrix& out, const plat::Matrix& a, const plat::Matrix& b);
// The row-vector form of a 3x4 matrix: its translation becomes the last row.
void AwMatrixToD3D(const Matrix34& m, plat::Matrix& out);

// Frustum planes a sphere may lie wholly outside of.
constexpr int32_t kOutsideLeft = 1, kOutsideRight = 2, kOutsideTop = 4, kOutsideBottom = 8;
constexpr int32_t kOutsideFar = 16, kOutsideNear = 32;
// result = 0 when the sphere (centre in culling-matrix object space) may be
// visible under the device's projection, else the first plane it lies outside of.
void AwTestSphereInFrustum(const Vector3& centre, int32_t& result, float radius);
