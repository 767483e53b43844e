#pragma once
// Cameras: a position, an orientation and a view window turned into the
// device's world, view and projection transforms, plus the screen viewport
// (in pixels and in fractions of the screen) with its depth range and depth
// compare function. Every camera sits in the camera list, so a display-mode
// change can refit all viewports. Main thread only.

#include <cstdint>

#include "core/list.h"
#include "core/maths.h"
#include "platform/d3d/d3d_types.h"
#include "platform/d3d/d3dmath.h"

struct AwDepthRange {
    float MinZ = 0, MaxZ = 1;
    float Near = 0, Far = 10;
    float InvRange = 0.1f;
    uint32_t ZFunction = 0;
};

// The compare function of a reversed depth range: LESS <-> GREATER,
// LESSEQUAL <-> GREATEREQUAL; the others stay.
uint32_t AwSwapZFunction(uint32_t function);

class AwCamera {
public:
    AwCamera();
    virtual ~AwCamera();
    AwCamera(const AwCamera&) = delete;
    AwCamera& operator=(const AwCamera&) = delete;

    // The camera's forward axis in world space (the base's own answer is the
    // view matrix's third column).
    virtual void GetDirection(Vector3& out);
    virtual void SetDirection(const Vector3&) {}

    // Angles in units of 4,096 per turn.
    void SetAngleZ(float angle);
    void SetAngleX(float angle);
    void SetAngleY(float angle);
    // The view window; switches to a perspective projection.
    void SetViewportSize(const float& width, const float& height);
    void SetRenderFlag(bool perspective);
    // Viewport edges as fractions of the screen.
    void SetViewportLeft(float fraction);
    void SetViewportTop(float fraction);
    void SetViewportWidth(float fraction);
    void SetViewportHeight(float fraction);
    // Recomputes the viewport from the screen size (after a display-mode change).
    void RefitViewport();
    void SetDepthRange(float minZ, float maxZ);
    void UpdateDepthRange();
    void SetZFunction(uint32_t function);
    void ChooseZFunction(AwDepthRange& range) const;
    void SetSplitDepth(bool on);
    void SelectDepthHalf(bool secondary);

    // Brings the matrices up to date.
    void Update();
    void ApplyViewport();
    void ApplyTransforms();
    void ReadBackTransforms();
    void GetNear(float& out) const { out = near; }
    void GetFar(float& out) const { out = far; }
    void ProjectedDepthToRhw(float& out, float z) const;
    // Leaves the camera list (safe to call twice).
    void Unlink();

    plat::Matrix viewProjection, projection, view, world;
    bool dirty = true, projectionDirty = true, viewDirty = true, worldReset = true;
    plat::Matrix inverseViewProjection;
    float halfWidth = 0, halfHeight = 0, depthScale = 0;
    float invHalfWidth = 0, invHalfHeight = 0, invDepthScale = 0;
    float centreX = 0, centreY = 0, depthOffset = 0;
    float leftFraction = 0, topFraction = 0, widthFraction = 1, heightFraction = 1;
    uint32_t leftPixels = 0, topPixels = 0, widthPixels = 0, heightPixels = 0;
    uint8_t pixelAuthority = 0; // bits 0-3: left, top, width, height given in pixels
    float near = 1.0f, far = 100.0f, invRange = 0.0101f;
    AwDepthRange primaryRange, secondaryRange;
    uint32_t baseZFunction = plat::kCmpLessEqual;
    uint32_t activeZFunction = plat::kCmpLessEqual;
    Vector3 position{0, 0, 1};
    plat::D3dQuaternion orientation;
    plat::D3dQuaternion rotationZ, rotationX, rotationY, rotationZX;
    float angleZ = 0, angleX = 0, angleY = 0;
    bool productDirty = false, orientationDirty = false;
    float viewWidth = 1, viewHeight = 1, xScale = 1, yScale = 1;
    bool perspective = true;
    bool splitDepth = false, useSecondary = false;
    plat::Viewport7 viewport{0, 0, 640, 480, 0.0f, 1.0f};

private:
    void SetEdge(int edge, float fraction);
    void UpdateViewportX();
    void UpdateViewportY();
    void UseRange(const AwDepthRange& range);
    void ResendIfCurrent();
};

// Cameras in creation order; null while there is none.
extern List<AwCamera*>* AwCameraList;
// The camera whose viewport and transforms the device holds (the shell's current camera).
extern AwCamera* AwCurrentCamera;

// Refits every camera's viewport to the screen.
void AwRefitAllCameras();
// Flips every split-depth camera to its other depth half.
void AwToggleDepthHalves();
