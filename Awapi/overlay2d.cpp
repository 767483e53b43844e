#include "Awapi/overlay2d.h"

#include <algorithm>
#include <array>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/camera.h"
#include "Awapi/screen_depth.h"
#include "platform/d3d/device3d.h"

namespace {

constexpr int kUntexturedMaterial = 9;
constexpr int kBlendedMaterial = 4;

struct Batch {
    std::array<AwTLVertex, 3000> vertices;
    uint32_t count = 0;
};
Batch LineBatch;
Batch TriangleBatch;
float PrimitiveZ = 0.0f;
float PrimitiveRhw = 1.0f;
AwTexture* PrimitiveTexture = nullptr; // null stands for NullTexture

struct DepthLimits {
    float minZ, maxZ;
};
DepthLimits CurrentDepthLimits() {
    if (const AwCamera* camera = AwCurrentCamera) return {camera->viewport.minZ, camera->viewport.maxZ};
    return {0.0f, 1.0f};
}

AwTLVertex PixelVertex(int x, int y, const Colour& colour) {
    return {static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, PrimitiveZ, PrimitiveRhw,
            colour.GetPacked(), 0, 0.0f, 0.0f};
}

void DrawBatch(Batch& batch, plat::PrimitiveType type) {
    plat::Device3D* device = AwDevice.Direct3DDevice;
    if (device && batch.count > 0) {
        AwTimedSection timed(RenderTimings.Primitives);
        const plat::HResult result = device->DrawPrimitive(type, kTLVertexFvf, batch.vertices.data(), batch.count, 0);
        if (plat::Failed(result)) AwReportError(result);
    }
    batch.count = 0;
}

void ApplyMaterial(int index) {
    if (RenderMaterial* material = GlobalMaterials[index]) material->Apply();
}

void Append(Batch& batch, const AwTLVertex& vertex) { batch.vertices[batch.count++] = vertex; }

// Moves an endpoint beyond one screen edge onto it along the segment; rhw and
// colour stay. Returns whether it was beyond.
bool ClipEndpoint(AwTLVertex& point, const AwTLVertex& other, bool useX, float edge, bool below) {
    const float coordinate = useX ? point.x : point.y;
    if (below ? !(coordinate < edge) : !(coordinate > edge)) return false;
    const float otherCoordinate = useX ? other.x : other.y;
    const float t = otherCoordinate == coordinate ? 0.0f : (edge - coordinate) / (otherCoordinate - coordinate);
    point.x += (other.x - point.x) * t;
    point.y += (other.y - point.y) * t;
    point.z += (other.z - point.z) * t;
    return true;
}

uint32_t LineOutcode(AwTLVertex& point, const AwTLVertex& other, const DepthLimits& depth) {
    uint32_t code = 0;
    if (ClipEndpoint(point, other, true, 0.0f, true)) code |= 1;
    if (ClipEndpoint(point, other, true, ScreenGeometry.ScreenWidthF, false)) code |= 2;
    if (ClipEndpoint(point, other, false, 0.0f, true)) code |= 4;
    if (ClipEndpoint(point, other, false, ScreenGeometry.ScreenHeightF, false)) code |= 8;
    if (point.z < depth.minZ) code |= 0x10;
    if (point.z > depth.maxZ) code |= 0x20;
    return code;
}

// One Sutherland-Hodgman stage against "coordinate >= plane" (keepAbove) or "coordinate < plane".
uint32_t ClipStage(const AwTLVertex* in, uint32_t count, AwTLVertex* out, float AwTLVertex::*axis, float plane,
                   bool keepAbove) {
    auto inside = [&](const AwTLVertex& v) { return keepAbove ? v.*axis >= plane : v.*axis < plane; };
    uint32_t written = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const AwTLVertex& previous = in[(i + count - 1) % count];
        const AwTLVertex& current = in[i];
        const bool currentInside = inside(current);
        if (currentInside != inside(previous)) {
            const float t = (plane - previous.*axis) / (current.*axis - previous.*axis);
            AwTLVertex crossing = previous;
            crossing.x += (current.x - previous.x) * t;
            crossing.y += (current.y - previous.y) * t;
            crossing.z += (current.z - previous.z) * t;
            crossing.rhw += (current.rhw - previous.rhw) * t;
            crossing.u += (current.u - previous.u) * t;
            crossing.v += (current.v - previous.v) * t;
            crossing.*axis = plane; // exactly on the plane, whatever the rounding
            out[written++] = crossing;
        }
        if (currentInside) out[written++] = current;
    }
    return written;
}

} // namespace

void AwSetPrimitiveDepth(float z) {
    PrimitiveZ = z;
    PrimitiveRhw = AwRhwForDepth(z);
}

void AwSetPrimitiveTexture(AwTexture* texture) { PrimitiveTexture = texture == NullTexture ? nullptr : texture; }
void AwPrimitivesResetTexture() { PrimitiveTexture = nullptr; }

void AwDrawLine(int x1, int y1, const Colour& colour1, int x2, int y2, const Colour& colour2) {
    const AwTLVertex a = PixelVertex(x1, y1, colour1);
    const AwTLVertex b = PixelVertex(x2, y2, colour2);
    AwDrawClippedLine(colour1, colour2, a.x, a.y, a.z, a.rhw, b.x, b.y, b.z, b.rhw);
}

void AwDrawWhiteLine(int x1, int y1, int x2, int y2) {
    const Colour white = Colour::FromFloats(1.0f, 1.0f, 1.0f, 1.0f);
    AwDrawLine(x1, y1, white, x2, y2, white);
}

void AwDrawTriangle(int x1, int y1, const Colour& colour1, int x2, int y2, const Colour& colour2, int x3, int y3,
                    const Colour& colour3) {
    const AwTLVertex triangle[3] = {PixelVertex(x1, y1, colour1), PixelVertex(x2, y2, colour2),
                                    PixelVertex(x3, y3, colour3)};
    AwDrawClippedTriangle(triangle);
}

void AwDrawClippedLine(const Colour& colour1, const Colour& colour2, float x1, float y1, float z1, float rhw1,
                       float x2, float y2, float z2, float rhw2) {
    if (!(rhw1 >= 1.0f && rhw2 >= 1.0f)) return;
    AwTLVertex a{x1, y1, z1, rhw1, colour1.GetPacked(), 0, 0.0f, 0.0f};
    AwTLVertex b{x2, y2, z2, rhw2, colour2.GetPacked(), 0, 0.0f, 0.0f};
    const DepthLimits depth = CurrentDepthLimits();
    const uint32_t codeA = LineOutcode(a, b, depth);
    const uint32_t codeB = LineOutcode(b, a, depth);
    if (((codeA | codeB) & 0x30) != 0 || (codeA & codeB & 0xF) != 0) return;
    Append(LineBatch, a);
    Append(LineBatch, b);
    if (LineBatch.count == kAwLineBatchVertices) AwFlushLines();
}

namespace {

// Screen edges first, then optionally the depth range; `out` holds the input on entry.
uint32_t ClipPolygon(AwTLVertex (&out)[kAwClipPolygonMax], uint32_t count, bool depthToo) {
    AwTLVertex scratch[kAwClipPolygonMax];
    count = ClipStage(out, count, scratch, &AwTLVertex::x, 0.0f, true);
    count = ClipStage(scratch, count, out, &AwTLVertex::x, ScreenGeometry.ScreenWidthF, false);
    count = ClipStage(out, count, scratch, &AwTLVertex::y, 0.0f, true);
    count = ClipStage(scratch, count, out, &AwTLVertex::y, ScreenGeometry.ScreenHeightF, false);
    if (!depthToo) return count;
    const DepthLimits depth = CurrentDepthLimits();
    count = ClipStage(out, count, scratch, &AwTLVertex::z, depth.minZ, true);
    return ClipStage(scratch, count, out, &AwTLVertex::z, depth.maxZ, false);
}

} // namespace

uint32_t AwClipPolygon(const AwTLVertex (&triangle)[3], AwTLVertex (&out)[kAwClipPolygonMax]) {
    std::copy(triangle, triangle + 3, out);
    return ClipPolygon(out, 3, true);
}

uint32_t AwClipToScreen(const AwTLVertex* polygon, uint32_t count, AwTLVertex (&out)[kAwClipPolygonMax]) {
    count = std::min(count, 4u);
    std::copy(polygon, polygon + count, out);
    return ClipPolygon(out, count, false);
}

void AwDrawClippedTriangle(const AwTLVertex (&triangle)[3]) {
    AwTLVertex polygon[kAwClipPolygonMax];
    const uint32_t count = AwClipPolygon(triangle, polygon);
    for (uint32_t i = 1; i + 1 < count; ++i) {
        Append(TriangleBatch, polygon[0]);
        Append(TriangleBatch, polygon[i]);
        Append(TriangleBatch, polygon[i + 1]);
        if (TriangleBatch.count == kAwTriangleBatchVertices) AwFlushTriangles();
    }
}

void AwFlushLines() {
    if (LineBatch.count == 0) return;
    ApplyMaterial(kUntexturedMaterial);
    DrawBatch(LineBatch, plat::kPtLineList);
}

void AwFlushTriangles() {
    if (TriangleBatch.count == 0) return;
    if (!PrimitiveTexture) {
        ApplyMaterial(kUntexturedMaterial);
    } else {
        ApplyMaterial(kBlendedMaterial);
        AwSetTexture(PrimitiveTexture, 0);
    }
    DrawBatch(TriangleBatch, plat::kPtTriangleList);
}

void AwFlushPrimitives() {
    AwFlushLines();
    AwFlushTriangles();
}

std::span<const AwTLVertex> AwPendingLines() { return {LineBatch.vertices.data(), LineBatch.count}; }
std::span<const AwTLVertex> AwPendingTriangles() { return {TriangleBatch.vertices.data(), TriangleBatch.count}; }
