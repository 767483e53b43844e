#pragma once
// Which render-state and texture-stage values a device takes. Values outside
// a state's range are wrong arguments; values the capabilities do not offer
// (a filter, a stencil operation, a texture operation, a clip plane) are
// refused, which is what lets callers fall back to a lesser choice.

#include <cstdint>

#include "platform/d3d/d3d_types.h"
#include "platform/d3d/results.h"

namespace plat {

struct DeviceState;

HResult CheckRenderState(const DeviceDesc7& caps, uint32_t state, uint32_t value);
HResult CheckTextureStageState(const DeviceDesc7& caps, uint32_t stage, uint32_t type, uint32_t value);

// ValidateDevice: the enabled stages (up to the first whose colour operation
// is disabled) and the textures they use must fit the device's stage counts.
HResult ValidateStages(const DeviceDesc7& caps, const DeviceState& state);

} // namespace plat
