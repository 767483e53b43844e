#include "Awapi/bounding_box.h"

#include <cmath>
#include <cstring>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/picking.h"
#include "core/numeric.h"
#include "platform/d3d/d3dmath.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/direct3d.h"
#include "platform/d3d/vertex_buffer.h"

using namespace plat;

List<AwBoxBatch*> AwBoxBatchList;
CriticalSection AwBoxBatchListLock;
Matrix AwCullingMatrix = plat::IdentityMatrix();

AwBoxBatch::AwBoxBatch() { AwBoxBatchList.PushBack(this); }

AwBoxBatch::~AwBoxBatch() {
    ReleaseVertexBuffer();
    AwBoxBatchList.RemoveValue(this);
}

void AwBoxBatch::ReleaseVertexBuffer() {
    CriticalSectionLock hold(Lock);
    if (Buffer) Buffer->Release();
    Buffer = nullptr;
}

void AwBoxBatch::RebuildVertexBuffer() {
    CriticalSectionLock hold(Lock);
    ReleaseVertexBuffer();
    if (CornersInUse == 0 || !AwDevice.Direct3D) return;
    VertexBufferDesc desc;
    desc.caps = kVbCapsWriteOnly | kVbCapsSystemMemory;
    desc.fvf = kFvfXyz;
    desc.numVertices = CornersInUse;
    HResult result = AwDevice.Direct3D->CreateVertexBuffer(desc, &Buffer, 0);
    if (Failed(result)) {
        AwReportError(result);
        Buffer = nullptr;
        return;
    }
    void* data = nullptr;
    result = Buffer->Lock(0x2821, &data, nullptr);
    if (Failed(result)) {
        AwReportError(result);
        ReleaseVertexBuffer();
        return;
    }
    auto* out = static_cast<uint8_t*>(data);
    uint32_t first = 0;
    for (AwBoundingBox* box : Boxes) {
        box->FirstCorner = first;
        std::memcpy(out + first * sizeof(Vector3), box->Corners, sizeof box->Corners);
        first += 8;
    }
    Buffer->Unlock();
}

AwBoundingBox::AwBoundingBox(const Vector3& lo, const Vector3& hi)
    : Corners{{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
              {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}} {
    {
        CriticalSectionLock list(AwBoxBatchListLock);
        // The emptiest batch with room; ties keep the earlier one.
        AwBoxBatch* chosen = nullptr;
        for (AwBoxBatch* batch : AwBoxBatchList)
            if (batch->CornersInUse < kBoxBatchCorners && (!chosen || batch->CornersInUse < chosen->CornersInUse))
                chosen = batch;
        if (chosen)
            chosen->AddRef();
        else
            chosen = new AwBoxBatch;
        CriticalSectionLock hold(chosen->Lock);
        chosen->CornersInUse += 8;
        chosen->Boxes.PushBack(this);
        Batch = chosen;
        chosen->RebuildVertexBuffer();
    }
    Radius = CullingRadius(nullptr);
    Centre = (lo + hi) * 0.5f;
}

AwBoundingBox::~AwBoundingBox() {
    CriticalSectionLock list(AwBoxBatchListLock);
    {
        // The other boxes keep their corner places until the next rebuild.
        CriticalSectionLock hold(Batch->Lock);
        Batch->Boxes.RemoveValue(this);
        Batch->CornersInUse -= 8;
    }
    Batch->Release();
}

float AwBoundingBox::CullingRadius(const Vector3* scale) const {
    Vector3 d = Max() - Min();
    if (scale) d = Vector3(d.x * scale->x, d.y * scale->y, d.z * scale->z);
    return FastSqrt(Dot(d, d)) * 0.5f;
}

bool AwBoundingBox::Project(ScreenVertex out[8]) const {
    CriticalSectionLock hold(Batch->Lock);
    return AwProjectBoxCorners(Batch->Buffer, FirstCorner, out);
}

bool AwBoundingBox::GetScreenRect(AwScreenRect& rect) const {
    ScreenVertex v[8];
    if (!Project(v)) return false;
    rect = {0x7FFFFFFF, 0x7FFFFFFF, INT32_MIN + 1, INT32_MIN + 1};
    for (const ScreenVertex& p : v) {
        const int32_t x = FloorToInt(p.x), y = FloorToInt(p.y);
        if (x < rect.left) rect.left = x;
        if (y < rect.top) rect.top = y;
        if (x > rect.right) rect.right = x;
        if (y > rect.bottom) rect.bottom = y;
    }
    return true;
}

void AwBoundingBox::TestPick() const {
    ScreenVertex v[8];
    if (Project(v)) AwPickTestBoxFaces(v);
}

void AwBoundingBox::CollectPickCandidates() const {
    ScreenVertex v[8];
    if (Project(v))
        AwCollectPickCandidates(v);
    else
        AwPickCandidates.Clear();
}

void AwMatrix4Multiply(Matrix& out, const Matrix& a, const Matrix& b) { out = MatrixMultiply(a, b); }

bool AwSetCullingMatrix(const Matrix& a, const Matrix& b) {
    AwMatrix4Multiply(AwCullingMatrix, a, b);
    return true;
}

void AwMatrixToD3D(const Matrix34& m, Matrix& out) {
    for (int r = 0; r < 4; ++r) {
        out.m[r][0] = m.m[r];
        out.m[r][1] = m.m[4 + r];
        out.m[r][2] = m.m[8 + r];
        out.m[r][3] = 0.0f;
    }
    out.m[3][3] = 1.0f;
}

void AwTestSphereInFrustum(const Vector3& centre, int32_t& result, float r) {
    result = 0;
    const D3dVector p = Vec3TransformCoord(D3dVector{centre.x, centre.y, centre.z}, AwCullingMatrix);
    const float z = p.z < 0.0f ? 0.0f : p.z;
    Matrix projection = plat::IdentityMatrix();
    if (AwDevice.Direct3DDevice) AwDevice.Direct3DDevice->GetTransform(kTransformProjection, &projection);
    const float a = std::fabs(projection.m[0][0]), b = std::fabs(projection.m[1][1]);
    if (p.x > 0.0f) {
        if (z < (p.x - r) * a) result = kOutsideRight;
    } else if (-z > (p.x + r) * a) {
        result = kOutsideLeft;
    }
    if (result) return;
    if (p.y > 0.0f) {
        if (z < (p.y - r) * b) result = kOutsideTop;
    } else if (-z > (p.y + r) * b) {
        result = kOutsideBottom;
    }
    if (result) return;
    const float p33 = projection.m[2][2], p43 = projection.m[3][2];
    if ((p.z + r) * p33 < -p43)
        result = kOutsideNear;
    else if ((p.z - r) * (p33 - 1.0f) > -p43)
        result = kOutsideFar;
}
