#pragma once
// Flat coloured lines and triangles in screen pixels over the 3D scene,
// collected in two batches of pre-transformed vertices, clipped to the screen
// and to the current camera's depth range, and drawn with one call per batch.
// Callers draw inside the frame callbacks and end with AwFlushPrimitives.
// Main thread only.

#include <cstdint>
#include <span>

#include "Awapi/VertBuff/tl_vertex_buffer.h"
#include "core/maths.h"

struct AwTexture;

constexpr uint32_t kAwLineBatchVertices = 3000;     // 1500 lines
constexpr uint32_t kAwTriangleBatchVertices = 3000; // 1000 triangles
// A triangle clipped by six planes, or a quad by the four screen edges, has at most nine corners.
constexpr uint32_t kAwClipPolygonMax = 9;

// Every new primitive gets depth z and rhw 1 / z.
void AwSetPrimitiveDepth(float z);
// The triangle batch's texture; NullTexture (the reset) draws untextured.
void AwSetPrimitiveTexture(AwTexture* texture);
void AwPrimitivesResetTexture();

// Integer pixel positions; vertices sit at the pixel centres.
void AwDrawLine(int x1, int y1, const Colour& colour1, int x2, int y2, const Colour& colour2);
void AwDrawWhiteLine(int x1, int y1, int x2, int y2);
void AwDrawTriangle(int x1, int y1, const Colour& colour1, int x2, int y2, const Colour& colour2, int x3, int y3,
                    const Colour& colour3);

// A line is dropped when either rhw is below 1, when either end lies outside
// the depth range, or when both ends lie beyond the same screen edge; else it
// is cut to the screen. A full batch is drawn at once.
void AwDrawClippedLine(const Colour& colour1, const Colour& colour2, float x1, float y1, float z1, float rhw1,
                       float x2, float y2, float z2, float rhw2);
// Clipped to a polygon, drawn as a fan of triangles.
void AwDrawClippedTriangle(const AwTLVertex (&triangle)[3]);
// Clips a triangle to the screen and the depth range; returns the corner count (may be 0).
uint32_t AwClipPolygon(const AwTLVertex (&triangle)[3], AwTLVertex (&out)[kAwClipPolygonMax]);
// Clips a convex polygon of up to four corners to the screen edges alone.
// Crossing points interpolate position, rhw and texture coordinates and take
// the colours of the corner before them.
uint32_t AwClipToScreen(const AwTLVertex* polygon, uint32_t count, AwTLVertex (&out)[kAwClipPolygonMax]);

void AwFlushPrimitives();
void AwFlushLines();
void AwFlushTriangles();

// The vertices waiting in each batch.
std::span<const AwTLVertex> AwPendingLines();
std::span<const AwTLVertex> AwPendingTriangles();
