#pragma once
// The device's texture stages on OpenGL's texture units: each stage's colour
// and alpha operations through the combine texture environment, its filters,
// addressing and level-of-detail bias, its texture coordinates (a vertex set,
// or generated from camera-space normals, positions or reflection vectors)
// and its texture transform.

#include <cstdint>

#include "platform/d3d/device_state.h"
#include "platform/sdl/gl_api.h"

namespace plat {

// The stages a draw uses: those before the first whose colour operation is
// disabled, at most units of them.
uint32_t ActiveStages(const DeviceState& state, uint32_t units);

// Sets the combiner of the active unit for the stage (the texture factor is
// the unit's constant colour).
void ApplyCombiner(const DeviceState& state, uint32_t stage);

// Sets the filters and addressing of the stage on the texture bound to the
// active unit, and the unit's level-of-detail bias.
void ApplySampler(const DeviceState& state, uint32_t stage);

// Sets the active unit's coordinate generation and texture matrix. The
// modelview matrix must be the identity (generated positions are taken in
// camera space); pretransformed vertices get neither.
void ApplyCoordinates(const GlApi& gl, const DeviceState& state, uint32_t stage, bool pretransformed);

} // namespace plat
