#pragma once
// Everything a device holds between calls: the state a backend draws with.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/d3d/d3d_types.h"

namespace plat {

class Surface;

struct LightSlot {
    Light7 light;
    bool enabled = false;
};

struct DeviceState {
    std::array<uint32_t, kRenderStateCount> renderStates{};
    std::array<std::array<uint32_t, kTextureStageStateCount>, kMaxTextureStages> stageStates{};
    std::array<Surface*, kMaxTextureStages> textures{}; // the device holds a reference on each
    std::array<Matrix, kTransformTexture7 + 1> transforms{}; // indexed by TransformState
    Viewport7 viewport;
    ClipStatus clipStatus;
    Material7 material;
    std::vector<LightSlot> lights;                   // one per light the device can enable
    std::vector<std::array<float, 4>> clipPlanes;    // one per user clip plane
    Surface* renderTarget = nullptr;
    Surface* zBuffer = nullptr;
    bool inScene = false;
};

// The state of a new device: the interface's default render and stage states,
// identity transforms, a viewport over the whole target.
DeviceState InitialDeviceState(const DeviceDesc7& caps, Surface* renderTarget, Surface* zBuffer);

} // namespace plat
