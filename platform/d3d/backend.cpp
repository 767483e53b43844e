#include "platform/d3d/backend.h"

namespace plat {

HResult DeviceBackend::SetCooperativeLevel(WindowHandle, uint32_t) { return kDdOk; }
HResult DeviceBackend::SetDisplayMode(const DisplayMode&) { return kDdOk; }
void DeviceBackend::RestoreDisplayMode() {}
HResult DeviceBackend::SetGammaRamp(const GammaRamp&) { return kDdErrUnsupported; }
bool DeviceBackend::PresentBlt(Surface&, const Rect&, const Rect&) { return false; }
void DeviceBackend::PresentFlip(Surface&) {}
void DeviceBackend::SurfaceAccess(Surface&, bool) {}

void DeviceBackend::SurfaceUnlocked(Surface&, bool) {}
void DeviceBackend::RenderStateSet(RenderState, uint32_t, StateOrigin) {}
void DeviceBackend::TextureStageStateSet(uint32_t, TextureStageStateType, uint32_t, StateOrigin) {}
void DeviceBackend::TextureSet(uint32_t, Surface*, StateOrigin) {}

} // namespace plat
