#pragma once
// Screen-point picking as a side effect of drawing: objects whose render item
// asks for it have their box and then their triangles (in screen space, as
// ProcessVertices gives them) tested against the probes of the probe list;
// each probe keeps the nearest hit. Main thread only.

#include <cstdint>

#include "core/list.h"
#include "core/maths.h"
#include "platform/d3d/process_vertices.h"

namespace plat {
class VertexBuffer;
}

// Told of every accepted hit.
class AwPickCallback {
public:
    virtual ~AwPickCallback() = default;
    virtual void OnPick() = 0;
};

constexpr float kNoPickDepth = 3.402823466e+38f; // FLT_MAX

struct AwPickProbe {
    bool inList = false;
    bool precise = false;      // find the depth under the point and the hit position
    bool hitThisFrame = false; // a precise hit was recorded
    Vector3 hitPosition{0, 0, 0};
    uint32_t reserved = 0;
    float pixelX = 0, pixelY = 0;
    float nearestDepth = kNoPickDepth;
    float fractionX = 0.5f, fractionY = 0.5f;
    AwPickCallback* callback = nullptr;

    // From the fractions and the screen size.
    void UpdatePixelPosition();
    // True when the point lies inside the polygon (on an edge counts; wound
    // the way the device draws). A quick probe then takes depth d when nearer; a precise
    // one the depth under the point when nearer, with worldCentre (the
    // triangle's centre, null for box faces) as the hit position.
    bool TestPolygon(const plat::ScreenVertex* v, int count, float d, const Vector3* worldCentre = nullptr);
    // True when the point lies inside any of the six faces of a projected box
    // (corners in the bounding box's order).
    bool TestBox(const plat::ScreenVertex corners[8]) const;
    // True when the point's screen depth under the current camera is nearer than the hit.
    bool IsInFrontOfHit(const Vector3& point) const;
};

// The probes being tested, and those the current box may hit.
class AwPickProbeList {
public:
    static void PushBack(AwPickProbe* probe);
    static void Remove(AwPickProbe* probe);
};
extern List<AwPickProbe*> AwPickProbes;
extern List<AwPickProbe*> AwPickCandidates;
extern bool AwPickingEnabled;

// The draw list's probe (screen centre), in the probe list from set-up to shut-down.
extern AwPickProbe AwItemPickProbe;
void AwSetUpItemPickProbe();
void AwShutDownItemPickProbe();
// Fresh answer for the next frame.
void AwResetItemPickProbe();
// Every probe recomputes its pixel position (after a display-mode change).
void AwUpdatePickProbePositions();

// Transforms 8 box corners (untransformed positions from `first` in source)
// through the device's current transforms; false when the device or the
// scratch buffer is missing or the transform fails.
bool AwProjectBoxCorners(plat::VertexBuffer* source, uint32_t first, plat::ScreenVertex out[8]);
// Tests the six faces of a projected box against the probe list.
void AwPickTestBoxFaces(const plat::ScreenVertex corners[8]);
// Fills the candidate list for the triangles of the box's object.
void AwCollectPickCandidates(const plat::ScreenVertex corners[8]);
void AwPickTestQuad(const plat::ScreenVertex v[4]);
void AwPickTestTriangle(const plat::ScreenVertex v[3], const Vector3& worldCentre);
