#include "Awapi/frame_render.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/current_camera.h"
#include "Awapi/cursor3d.h"
#include "Awapi/draw_list.h"
#include "Awapi/font.h"
#include "Awapi/particles.h"
#include "core/clock.h"
#include "platform/d3d/d3dmath.h"
#include "platform/d3d/device3d.h"
#include "platform/d3d/surface.h"

namespace {

// GetBltStatus and GetFlipStatus queries.
constexpr uint32_t kBlitDone = 0x2;
constexpr uint32_t kCanFlip = 0x1;

void Check(plat::HResult result) {
    if (plat::Failed(result)) AwReportError(result);
}

// The layer finishes blits and flips at once, so one query is the whole
// wait; a failure (a lost surface) would never turn into success by waiting.
void WaitFor(plat::HResult (plat::Surface::*status)(uint32_t) const, plat::Surface* surface, uint32_t query) {
    Check((surface->*status)(query));
}

void PresentBackBuffer() {
    plat::Surface* primary = AwDevice.PrimarySurface;
    if (!primary) return;
    if ((ScreenGeometry.DisplayFlags & kDisplayWindowed) != 0) {
        AwTimedSection timed(RenderTimings.WindowPresent);
        WaitFor(&plat::Surface::GetBltStatus, primary, kBlitDone);
        Check(primary->Blt(&ScreenGeometry.Destination, AwDevice.BackSurface, nullptr,
                           plat::kDdBltAsync | plat::kDdBltDoNotWait, nullptr));
    } else {
        AwTimedSection timed(RenderTimings.Flip);
        if (plat::Failed(primary->Flip(nullptr, plat::kDdFlipNoVSync | plat::kDdFlipDoNotWait)))
            Check(primary->Flip(nullptr, plat::kDdFlipWait));
    }
}

} // namespace

void AwBeginScene() {
    if (AwDevice.InScene || !AwDevice.Direct3DDevice) return;
    AwTimedSection timed(RenderTimings.BeginScene);
    Check(AwDevice.Direct3DDevice->BeginScene());
    AwDevice.InScene = true;
}

void AwClear() {
    if (!AwDevice.Direct3DDevice) return;
    Check(AwDevice.Direct3DDevice->Clear(0, nullptr, plat::kClearTarget | plat::kClearZBuffer, AwClearColour, 1.0f,
                                         0));
}

plat::HResult AwClearAllBuffers() {
    plat::Device3D* device = AwDevice.Direct3DDevice;
    plat::Surface* primary = AwDevice.PrimarySurface;
    if (!device || !primary) return plat::kDdErrInvalidObject;
    const uint32_t flags = ScreenGeometry.DisplayFlags;
    const int buffers = (flags & kDisplayWindowed) != 0 ? 1 : (flags & kDisplayTripleBuffered) != 0 ? 3 : 2;
    plat::HResult result = plat::kDdOk;
    for (int i = 0; i < buffers; ++i) {
        Check(device->Clear(0, nullptr, plat::kClearTarget | plat::kClearZBuffer, 0, 1.0f, 0));
        result = primary->Flip(nullptr, 0);
    }
    return result;
}

void AwWaitForFlip() {
    if (!AwDevice.DeviceReady) return;
    if (AwDevice.BackSurface) WaitFor(&plat::Surface::GetBltStatus, AwDevice.BackSurface, kBlitDone);
    if ((ScreenGeometry.DisplayFlags & kDisplayWindowed) == 0 && AwDevice.PrimarySurface)
        WaitFor(&plat::Surface::GetFlipStatus, AwDevice.PrimarySurface, kCanFlip);
}

void AwTickFrameClock() {
    const uint32_t now = RealClock.GetTime32();
    LastFrameTicks = now - PreviousPresentTime;
    if (LastFrameTicks == 0) LastFrameTicks = 1;
    PreviousPresentTime = now;
    ++FrameCounter;
}

void AwPresent() { PresentBackBuffer(); }

void AwRenderFrame(AwCamera* camera, AwFrameCallback first, AwFrameCallback second) {
    AwTimedSection frame(RenderTimings.Frame);
    if (!AwDevice.DeviceReady) return;
    plat::Device3D* device = AwDevice.Direct3DDevice;
    AwUpdateCursor();
    AwDrawList::Render(); // opens the scene
    Check(device->SetTransform(plat::kTransformWorld, plat::IdentityMatrix()));
    if (first) first();
    AwSetCurrentCamera(camera);
    AwParticlesRender();
    if (second) second();
    for (AwFont* font : AwFontList) font->DrawQueued();
    {
        AwTimedSection timed(RenderTimings.EndScene);
        Check(device->EndScene());
    }
    AwDevice.InScene = false;
    AwTickFrameClock();
    PresentBackBuffer();
}
