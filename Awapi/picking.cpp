#include "Awapi/picking.h"

#include <cmath>
#include <cstring>

#include "Awapi/VertBuff/shared_buffers.h"
#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/camera.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/vertex_buffer.h"

using namespace plat;

List<AwPickProbe*> AwPickProbes;
List<AwPickProbe*> AwPickCandidates;
bool AwPickingEnabled = true;
AwPickProbe AwItemPickProbe;

namespace {

// The six faces of a box in the corner order of the bounding box, all wound alike.
constexpr int kFaces[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 7, 6, 1}, {3, 2, 5, 4}, {0, 3, 4, 7}, {1, 6, 5, 2}};

// The depth of the plane through a, b, c at (px, py); NaN or infinite for an edge-on triangle.
float DepthAt(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, float px, float py) {
    const float e1x = b.x - a.x, e1y = b.y - a.y, e1z = b.z - a.z;
    const float e2x = c.x - a.x, e2y = c.y - a.y, e2z = c.z - a.z;
    const float nx = e1y * e2z - e1z * e2y;
    const float ny = e1z * e2x - e1x * e2z;
    const float nz = e1x * e2y - e1y * e2x;
    return a.z - (nx * (px - a.x) + ny * (py - a.y)) / nz;
}

float SmallestDepthAboveMin(const ScreenVertex* v, int count) {
    Viewport7 port;
    if (AwDevice.Direct3DDevice) port = AwDevice.Direct3DDevice->State().viewport;
    float d = port.maxZ;
    bool found = false;
    for (int i = 0; i < count; ++i) {
        if (v[i].z > port.minZ && (!found || v[i].z < d)) {
            d = v[i].z;
            found = true;
        }
    }
    return d;
}

void Quad(const ScreenVertex corners[8], const int face[4], ScreenVertex out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = corners[face[i]];
}

} // namespace

void AwPickProbe::UpdatePixelPosition() {
    pixelX = ScreenGeometry.ScreenWidthF * fractionX;
    pixelY = ScreenGeometry.ScreenHeightF * fractionY;
}

bool AwPickProbe::TestPolygon(const ScreenVertex* v, int count, float d, const Vector3* worldCentre) {
    const float px = pixelX, py = pixelY;
    for (int i = 0; i < count; ++i) {
        const ScreenVertex& a = v[i == 0 ? count - 1 : i - 1];
        const ScreenVertex& b = v[i];
        if (!((py - a.y) * (b.x - a.x) >= (px - a.x) * (b.y - a.y))) return false;
    }
    if (!precise) {
        // A face a little behind the nearest hit is still tested (the 1.1 of
        // the quad test), but it must not push the nearest hit back.
        if (d < nearestDepth) {
            if (callback) callback->OnPick();
            nearestDepth = d;
        }
        return true;
    }
    for (int k = 1; k + 1 < count; ++k) {
        const float depth = DepthAt(v[0], v[k], v[k + 1], px, py);
        if (!std::isfinite(depth) || !(depth < nearestDepth)) continue;
        nearestDepth = depth;
        if (worldCentre) hitPosition = *worldCentre;
        hitThisFrame = true;
        if (callback) callback->OnPick();
        break;
    }
    return true;
}

bool AwPickProbe::TestBox(const ScreenVertex corners[8]) const {
    AwPickProbe probe = *this; // the inside test only: a quick copy without a callback
    probe.precise = false;
    probe.callback = nullptr;
    for (const auto& face : kFaces) {
        ScreenVertex quad[4];
        Quad(corners, face, quad);
        if (probe.TestPolygon(quad, 4, 0.0f)) return true;
    }
    return false;
}

bool AwPickProbe::IsInFrontOfHit(const Vector3& p) const {
    const AwCamera* camera = AwCurrentCamera;
    if (!camera) return false;
    const Matrix& m = camera->viewProjection;
    const float z = m.m[0][2] * p.x + m.m[1][2] * p.y + m.m[2][2] * p.z + m.m[3][2];
    return (z - camera->depthOffset) * camera->invDepthScale < nearestDepth;
}

void AwPickProbeList::PushBack(AwPickProbe* probe) {
    AwPickProbes.PushBack(probe);
    probe->inList = true;
}

void AwPickProbeList::Remove(AwPickProbe* probe) {
    AwPickProbes.RemoveValue(probe);
    AwPickCandidates.RemoveValue(probe);
    probe->inList = false;
}

void AwSetUpItemPickProbe() {
    AwItemPickProbe = AwPickProbe();
    AwPickProbeList::PushBack(&AwItemPickProbe);
    AwItemPickProbe.UpdatePixelPosition();
}

void AwShutDownItemPickProbe() {
    AwPickProbeList::Remove(&AwItemPickProbe);
    AwPickProbes.Clear();
    AwPickCandidates.Clear();
}

void AwResetItemPickProbe() {
    AwItemPickProbe.hitThisFrame = false;
    AwItemPickProbe.nearestDepth = kNoPickDepth;
}

void AwUpdatePickProbePositions() {
    for (AwPickProbe* probe : AwPickProbes) probe->UpdatePixelPosition();
}

bool AwProjectBoxCorners(VertexBuffer* source, uint32_t first, ScreenVertex out[8]) {
    Device3D* device = AwDevice.Direct3DDevice;
    VertexBuffer* scratch = AwSharedBuffers.BoxScratch;
    if (!device || !scratch || !source) return false;
    HResult result = scratch->ProcessVertices(kVopTransform, 0, 8, source, first, device, 0);
    if (Failed(result)) {
        AwReportError(result);
        return false;
    }
    result = scratch->UseVertices(0, 8, [out](const uint8_t* data) {
        for (int i = 0; i < 8; ++i) std::memcpy(&out[i], data + i * sizeof(ScreenVertex), sizeof(ScreenVertex));
    });
    if (Failed(result)) AwReportError(result);
    return Succeeded(result);
}

void AwPickTestBoxFaces(const ScreenVertex corners[8]) {
    if (!AwPickingEnabled || AwPickProbes.IsEmpty()) return;
    for (const auto& face : kFaces) {
        ScreenVertex quad[4];
        Quad(corners, face, quad);
        AwPickTestQuad(quad);
    }
}

void AwCollectPickCandidates(const ScreenVertex corners[8]) {
    AwPickCandidates.Clear();
    if (!AwPickingEnabled) return;
    float nearPlane = 1.0f;
    if (AwCurrentCamera) AwCurrentCamera->GetNear(nearPlane);
    bool inFront = true;
    for (int i = 0; i < 8; ++i) inFront &= corners[i].rhw <= 1.0f / nearPlane;
    for (AwPickProbe* probe : AwPickProbes)
        if (!inFront || probe->TestBox(corners)) AwPickCandidates.PushBack(probe);
}

void AwPickTestQuad(const ScreenVertex v[4]) {
    const float d = SmallestDepthAboveMin(v, 4);
    for (AwPickProbe* probe : AwPickProbes)
        if (probe->nearestDepth * 1.1f > d) probe->TestPolygon(v, 4, d);
}

void AwPickTestTriangle(const ScreenVertex v[3], const Vector3& worldCentre) {
    const float d = SmallestDepthAboveMin(v, 3);
    for (AwPickProbe* probe : AwPickCandidates)
        if (d < probe->nearestDepth) probe->TestPolygon(v, 3, d, &worldCentre);
}
