#include "image/gamma.h"

#include "image/texture_error.h"
#include "image/texture_loader_state.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/gamma_control.h"
#include "platform/d3d/surface.h"
#include "platform/fpu.h"

void GammaControlAcquire(plat::Surface* primary) {
    GammaControlRelease();
    if (!TextureLoader.directDraw || !primary) return;
    plat::DdCaps hardware, emulation;
    if (plat::Failed(TextureLoader.directDraw->GetCaps(&hardware, &emulation))) return;
    if (hardware.caps2 & plat::kDdCaps2PrimaryGamma) primary->QueryGammaControl(&TextureLoader.gammaControl);
}

bool GammaSetRamp(const plat::GammaRamp& ramp) {
    if (!TextureLoader.gammaControl) return false;
    plat::HResult result = TextureLoader.gammaControl->SetGammaRamp(plat::kDdsgrCalibrate, ramp);
    plat::SetGameFpuMode(); // the display may have changed the floating-point mode
    if (plat::Succeeded(result)) return true;
    TextureReportDevice(result);
    return false;
}

void GammaControlRelease() {
    if (TextureLoader.gammaControl) TextureLoader.gammaControl->Release();
    TextureLoader.gammaControl = nullptr;
}
