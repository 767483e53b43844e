#include "Awapi/camera.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/render_states.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "core/numeric.h"
#include "platform/d3d/device3d.h"

using namespace plat;

List<AwCamera*>* AwCameraList = nullptr;
AwCamera* AwCurrentCamera = nullptr;

namespace {

constexpr int kLeft = 0, kTop = 1, kWidth = 2, kHeight = 3;

void Check(HResult result) {
    if (Failed(result)) AwReportError(result);
}

D3dQuaternion AxisQuaternion(float angle, int axis) {
    const int32_t i = FloorToInt(angle * 0.5f) & 0xFFF;
    const float s = SineOf(i), c = CosineOf(i);
    D3dQuaternion q{0, 0, 0, c};
    (axis == 0 ? q.x : axis == 1 ? q.y : q.z) = s;
    return q;
}

D3dQuaternion Multiply(const D3dQuaternion& a, const D3dQuaternion& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

float ScreenExtent(int edge) {
    return static_cast<float>(edge == kLeft || edge == kWidth ? ScreenGeometry.Screen.right
                                                              : ScreenGeometry.Screen.bottom);
}

// Clamps one axis of the viewport to the screen (unsigned, as the viewport is).
void FitAxis(uint32_t start, uint32_t length, uint32_t screenEnd, uint32_t& outStart, uint32_t& outLength) {
    uint32_t left = start;
    if (left >= screenEnd) left = screenEnd > 0 ? screenEnd - 1 : 0;
    uint32_t right = left + length;
    if (right <= left) right = left + 1;
    else if (right > screenEnd) right = screenEnd;
    outStart = left;
    outLength = right - left;
}

} // namespace

uint32_t AwSwapZFunction(uint32_t function) {
    switch (function) {
    case kCmpLess: return kCmpGreater;
    case kCmpGreater: return kCmpLess;
    case kCmpLessEqual: return kCmpGreaterEqual;
    case kCmpGreaterEqual: return kCmpLessEqual;
    default: return function;
    }
}

AwCamera::AwCamera() {
    if (!AwCameraList) AwCameraList = new List<AwCamera*>;
    AwCameraList->PushBack(this);
    primaryRange.ZFunction = secondaryRange.ZFunction = 0;
    viewProjection = projection = view = world = inverseViewProjection = IdentityMatrix();
    RefitViewport();
}

AwCamera::~AwCamera() {
    if (AwCurrentCamera == this) AwCurrentCamera = nullptr;
    Unlink();
}

void AwCamera::Unlink() {
    if (!AwCameraList || !AwCameraList->RemoveValue(this)) return;
    if (AwCameraList->IsEmpty()) {
        delete AwCameraList;
        AwCameraList = nullptr;
    }
}

void AwCamera::SetAngleZ(float angle) {
    angleZ = angle;
    rotationZ = AxisQuaternion(angle, 2);
    productDirty = orientationDirty = viewDirty = dirty = true;
}

void AwCamera::SetAngleX(float angle) {
    angleX = angle;
    rotationX = AxisQuaternion(angle, 0);
    productDirty = orientationDirty = viewDirty = dirty = true;
}

void AwCamera::SetAngleY(float angle) {
    angleY = angle;
    rotationY = AxisQuaternion(angle, 1);
    orientationDirty = viewDirty = dirty = true;
}

void AwCamera::SetViewportSize(const float& width, const float& height) {
    if (width != viewWidth || height != viewHeight) {
        viewWidth = width;
        viewHeight = height;
        xScale = 2.0f / width;
        yScale = -2.0f / height;
        projectionDirty = dirty = true;
    }
    if (!perspective) {
        perspective = true;
        projectionDirty = dirty = true;
    }
}

void AwCamera::SetRenderFlag(bool perspectiveOn) {
    if (perspectiveOn == perspective) return;
    perspective = perspectiveOn;
    projectionDirty = dirty = true;
}

void AwCamera::SetEdge(int edge, float fraction) {
    pixelAuthority &= static_cast<uint8_t>(~(1u << edge));
    float* fractions[] = {&leftFraction, &topFraction, &widthFraction, &heightFraction};
    uint32_t* pixels[] = {&leftPixels, &topPixels, &widthPixels, &heightPixels};
    *fractions[edge] = fraction;
    *pixels[edge] = static_cast<uint32_t>(FloorToInt(fraction * ScreenExtent(edge)));
    if (edge == kLeft || edge == kWidth) UpdateViewportX();
    else UpdateViewportY();
}

void AwCamera::SetViewportLeft(float fraction) { SetEdge(kLeft, fraction); }
void AwCamera::SetViewportTop(float fraction) { SetEdge(kTop, fraction); }
void AwCamera::SetViewportWidth(float fraction) { SetEdge(kWidth, fraction); }
void AwCamera::SetViewportHeight(float fraction) { SetEdge(kHeight, fraction); }

void AwCamera::RefitViewport() {
    float* fractions[] = {&leftFraction, &topFraction, &widthFraction, &heightFraction};
    uint32_t* pixels[] = {&leftPixels, &topPixels, &widthPixels, &heightPixels};
    for (int edge = 0; edge < 4; ++edge) {
        const float extent = ScreenExtent(edge);
        if (pixelAuthority & (1u << edge)) {
            if (extent > 0) *fractions[edge] = static_cast<float>(*pixels[edge]) / extent;
        } else {
            *pixels[edge] = static_cast<uint32_t>(FloorToInt(*fractions[edge] * extent));
        }
    }
    UpdateViewportX();
    UpdateViewportY();
}

void AwCamera::UpdateViewportX() {
    FitAxis(leftPixels, widthPixels, static_cast<uint32_t>(ScreenGeometry.Screen.right), viewport.x, viewport.width);
    halfWidth = static_cast<float>(viewport.width) * 0.5f;
    centreX = static_cast<float>(viewport.x + viewport.x + viewport.width) * 0.5f;
    invHalfWidth = 1.0f / halfWidth;
}

void AwCamera::UpdateViewportY() {
    FitAxis(topPixels, heightPixels, static_cast<uint32_t>(ScreenGeometry.Screen.bottom), viewport.y,
            viewport.height);
    halfHeight = static_cast<float>(viewport.height) * 0.5f;
    centreY = static_cast<float>(viewport.y + viewport.y + viewport.height) * 0.5f;
    invHalfHeight = 1.0f / halfHeight;
}

void AwCamera::SetDepthRange(float minZ, float maxZ) {
    if (splitDepth) {
        minZ *= 0.5f;
        maxZ *= 0.5f;
    }
    primaryRange.MinZ = minZ;
    primaryRange.MaxZ = maxZ;
    UpdateDepthRange();
}

void AwCamera::ChooseZFunction(AwDepthRange& range) const {
    range.ZFunction = range.MaxZ < range.MinZ ? AwSwapZFunction(baseZFunction) : baseZFunction;
}

void AwCamera::UseRange(const AwDepthRange& range) {
    viewport.minZ = range.MinZ;
    viewport.maxZ = range.MaxZ;
    near = range.Near;
    far = range.Far;
    invRange = range.InvRange;
}

void AwCamera::UpdateDepthRange() {
    primaryRange.InvRange = 1.0f / (primaryRange.Far - primaryRange.Near);
    ChooseZFunction(primaryRange);
    if (splitDepth) {
        secondaryRange.MinZ = 1.0f - primaryRange.MaxZ;
        secondaryRange.MaxZ = 1.0f - primaryRange.MinZ;
        secondaryRange.Near = primaryRange.Near;
        secondaryRange.Far = primaryRange.Far;
        secondaryRange.InvRange = primaryRange.InvRange;
        ChooseZFunction(secondaryRange);
    }
    UseRange(useSecondary ? secondaryRange : primaryRange);
}

void AwCamera::ResendIfCurrent() {
    if (AwCurrentCamera != this || AwStates.ZFunction == activeZFunction) return;
    AwSetZFunc(activeZFunction);
    ApplyViewport();
}

void AwCamera::SetZFunction(uint32_t function) {
    baseZFunction = function;
    ChooseZFunction(primaryRange);
    ChooseZFunction(secondaryRange);
    activeZFunction = (useSecondary ? secondaryRange : primaryRange).ZFunction;
    ResendIfCurrent();
}

void AwCamera::SetSplitDepth(bool on) {
    if (on == splitDepth) return;
    const float factor = on ? 0.5f : 2.0f;
    primaryRange.MinZ *= factor;
    primaryRange.MaxZ *= factor;
    UpdateDepthRange();
    splitDepth = on;
    if (!on && useSecondary) SelectDepthHalf(false);
}

// The secondary half mirrors the primary into the other half of the depth
// buffer: its MinZ and MaxZ reach the viewport as computed, with its own compare function.
void AwCamera::SelectDepthHalf(bool secondary) {
    useSecondary = secondary;
    const AwDepthRange& range = secondary ? secondaryRange : primaryRange;
    UseRange(range);
    activeZFunction = range.ZFunction ? range.ZFunction : baseZFunction;
    projectionDirty = dirty = true;
    Update();
    ResendIfCurrent();
}

void AwCamera::Update() {
    if (dirty) {
        Matrix& p = projection;
        if (projectionDirty) {
            p = Matrix();
            p.m[0][0] = xScale;
            p.m[1][1] = yScale;
            if (perspective) {
                p.m[2][2] = far * invRange;
                p.m[2][3] = 1.0f;
                p.m[3][2] = -near * far * invRange;
                p.m[3][3] = 0.0f;
            } else {
                p.m[2][2] = invRange;
                p.m[3][2] = -near * invRange;
                p.m[3][3] = 1.0f;
            }
            projectionDirty = false;
        }
        depthScale = viewport.maxZ * p.m[2][2] - viewport.minZ;
        depthOffset = viewport.minZ - near * depthScale;
        invDepthScale = 1.0f / depthScale;
        if (viewDirty) {
            if (orientationDirty) {
                if (productDirty) rotationZX = Multiply(rotationZ, rotationX);
                orientation = Multiply(rotationZX, rotationY);
                productDirty = orientationDirty = false;
            }
            view = MatrixRotationQuaternion(orientation);
            for (int j = 0; j < 3; ++j)
                view.m[3][j] = -(position.x * view.m[0][j] + position.y * view.m[1][j] + position.z * view.m[2][j]);
            viewDirty = false;
        }
        viewProjection = MatrixMultiply(view, projection);
        dirty = false;
        if (!MatrixInverse(viewProjection, &inverseViewProjection)) inverseViewProjection = IdentityMatrix();
    }
    if (worldReset) world = IdentityMatrix();
}

void AwCamera::ApplyViewport() {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return;
    Check(device->SetViewport(viewport));
    ClipStatus status;
    status.flags = kClipStatusExtents2;
    status.minX = static_cast<float>(viewport.x);
    status.maxX = static_cast<float>(viewport.x + viewport.width);
    status.minY = static_cast<float>(viewport.y);
    status.maxY = static_cast<float>(viewport.y + viewport.height);
    status.minZ = viewport.minZ;
    status.maxZ = viewport.maxZ;
    Check(device->SetClipStatus(status));
    if (AwStates.ZFunction != activeZFunction) AwSetZFunc(activeZFunction);
}

void AwCamera::ApplyTransforms() {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return;
    if (dirty) Update();
    Check(device->SetTransform(kTransformWorld, world));
    Check(device->SetTransform(kTransformView, view));
    Check(device->SetTransform(kTransformProjection, projection));
}

void AwCamera::ReadBackTransforms() {
    Device3D* device = AwDevice.Direct3DDevice;
    if (!device) return;
    Matrix scratch;
    Check(device->GetTransform(kTransformWorld, &scratch));
    Check(device->GetTransform(kTransformView, &scratch));
    Check(device->GetTransform(kTransformProjection, &scratch));
    Viewport7 port;
    Check(device->GetViewport(&port));
}

void AwCamera::GetDirection(Vector3& out) {
    if (viewDirty) Update();
    out = Vector3(view.m[0][2], view.m[1][2], view.m[2][2]);
}

void AwCamera::ProjectedDepthToRhw(float& out, float z) const {
    out = 1.0f / ((z - projection.m[3][2]) / projection.m[2][2]);
}

void AwRefitAllCameras() {
    if (!AwCameraList) return;
    for (AwCamera* camera : *AwCameraList) camera->RefitViewport();
}

void AwToggleDepthHalves() {
    if (!AwCameraList) return;
    for (AwCamera* camera : *AwCameraList)
        if (camera->splitDepth) camera->SelectDepthHalf(!camera->useSecondary);
}
