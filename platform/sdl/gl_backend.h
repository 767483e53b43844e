#pragma once
// The OpenGL video backend: rasterises the device's clears and draws into
// framebuffer objects on the render thread (the thread that made it), keeps
// the display surfaces' memory in step with their images, and presents into
// the cooperative-level window (a window of CreateProgramWindow) on flips
// and on blits to the primary.
//
// Its facts: the driver name "gl", the display modes SDL reports, texture
// stages, clip planes and the largest texture as the driver allows (at most
// 8, 6 and 2048), vendor id 0 and the fixed video-memory budget.

#include <memory>
#include <string>

#include "platform/d3d/backend.h"

namespace plat {

// Null when OpenGL cannot run here; why goes to *failure.
std::shared_ptr<DeviceBackend> CreateGlBackend(std::string* failure);

} // namespace plat
