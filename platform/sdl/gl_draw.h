#pragma once
// One primitive draw on OpenGL. Untransformed vertices go through the world,
// view and projection transforms and the viewport's depth range (reversed
// ranges included), with the user clip planes given in world space; their
// colours are lit on the CPU when lighting is on. Pre-transformed vertices
// (x, y, z in pixels and depth, rhw) go through an orthographic set-up over
// the whole target that keeps their w = 1 / rhw, so texturing stays
// perspective-correct. Both follow Direct3D's pixel centres (at integer
// coordinates, half a pixel from OpenGL's) and its viewport clipping.

#include <cstdint>
#include <vector>

#include "platform/d3d/backend.h"
#include "platform/d3d/device_state.h"
#include "platform/sdl/gl_api.h"
#include "platform/sdl/render_state.h"

namespace plat {

class GlDraw {
public:
    // units: the texture units the context has (at most the device's stages).
    GlDraw(const GlApi& gl, uint32_t units) : gl_(gl), units_(units) {}

    // Draws into the bound target (width x height) with the render states,
    // combiners and textures already applied to the first stages units.
    void Draw(const DeviceState& state, const DrawCall& draw, uint32_t width, uint32_t height, uint32_t stages,
              FogSource fog);

private:
    const GlApi& gl_;
    const uint32_t units_;
    // Per-draw arrays, kept to spare allocations.
    std::vector<float> positions_, fogCoords_;
    std::vector<uint32_t> diffuse_, specular_;
};

} // namespace plat
