#pragma once
// The device's render states as OpenGL state: depth test and writes, depth
// bias, alpha test, blending, culling, fill and shade modes, stencil, fog and
// dithering.

#include "platform/d3d/device_state.h"
#include "platform/sdl/gl_api.h"

namespace plat {

// What the states act on besides their values.
struct RenderTargetTraits {
    bool depth = false;        // a Z-buffer is attached
    bool stencil = false;      // ... with stencil bits
    bool targetAlpha = false;  // the colour target stores alpha
};

// Where a draw's fog factor comes from.
enum class FogSource {
    None,           // fog off
    Depth,          // the distance from the camera (table or vertex fog)
    SpecularAlpha,  // the vertices' fog coordinate: their specular alpha
};

// Applies the render states; the fog source is decided by the caller.
void ApplyRenderStates(const DeviceState& state, const RenderTargetTraits& target, FogSource fog);

// Fog from the camera distance unless the vertices carry their own factor.
FogSource ChooseFogSource(const DeviceState& state, bool pretransformed);

} // namespace plat
