#pragma once
// Direct3D's vertex lighting, computed on the CPU so that every term comes
// out as the Direct3D formulas give it: the lights' range cut-off, the
// attenuation 1 / (a0 + a1 d + a2 d^2), the spot cone with its falloff, the
// global ambient, the material's colour sources (diffuse, specular and
// emissive may each come from a vertex colour), and the specular highlight
// with a local or distant viewer. Lighting happens in camera space.

#include <cstdint>

#include "platform/d3d/device_state.h"
#include "platform/sdl/vertex_layout.h"

namespace plat {

// Lights count vertices (untransformed) of the layout with the device
// state's lights, material and render states; writes the vertex colours
// (0xAARRGGBB) that rasterising adds up: diffuse (ambient, emissive and
// diffuse light, the diffuse source's alpha) and specular.
void LightVertices(const DeviceState& state, const VertexLayout& layout, const uint8_t* vertices, uint32_t count,
                   uint32_t* diffuse, uint32_t* specular);

} // namespace plat
