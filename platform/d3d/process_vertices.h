#pragma once
// The software vertex transform behind ProcessVertices: the same numbers for
// every backend, so what picking sees is what is drawn.

#include "platform/d3d/d3d_types.h"

namespace plat {

struct DeviceState;

// x and y in pixels, z in the viewport's depth range, rhw = 1 / w.
struct ScreenVertex {
    float x, y, z, rhw;
};

// world x view x projection of the device state.
Matrix CombinedTransform(const DeviceState& state);

// The viewport mapping: x = X + (1 + x/w) Width/2, y = Y + (1 - y/w) Height/2,
// z = MinZ + z/w (MaxZ - MinZ), which runs backwards for a reversed range.
ScreenVertex ProjectToScreen(const Matrix& worldViewProjection, const Viewport7& viewport, const D3dVector& p);

} // namespace plat
