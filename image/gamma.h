#pragma once
// The display's gamma ramp, set through the primary surface when the display
// driver offers one (the level start sets a ramp); without it nothing happens.

namespace plat {
class Surface;
struct GammaRamp;
} // namespace plat

// Takes the primary surface's gamma control when the driver has a primary gamma ramp.
void GammaControlAcquire(plat::Surface* primary);
// Sets a calibrated ramp; false without a gamma control or when the display refuses it.
bool GammaSetRamp(const plat::GammaRamp& ramp);
void GammaControlRelease();
