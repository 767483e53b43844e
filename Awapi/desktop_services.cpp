#include "Awapi/desktop_services.h"

#include "Awapi/aw3d/device_state.h"
#include "Awapi/frame_render.h"

AwGdiTextStyleRecord AwGdiTextStyle;

namespace {

bool gdiDialogOpen = false;

} // namespace

void AwSetGdiTextStyle(const void* font, uint32_t textColour, uint32_t backgroundColour) {
    AwGdiTextStyle = {font, textColour, backgroundColour};
}

bool AwGdiTextOut(std::string_view, plat::Surface*, int32_t, int32_t, const plat::Rect*) { return false; }

bool AwGdiTextExtent(std::string_view, int32_t&, int32_t&) { return false; }

plat::Surface* AwGetGdiSurface() { return AwDevice.PrimarySurface; }

bool AwBeginGdiDialog() {
    if (gdiDialogOpen) return false;
    gdiDialogOpen = true;
    AwWaitForFlip();
    return true;
}

bool AwEndGdiDialog() {
    AwWaitForFlip();
    gdiDialogOpen = false;
    return true;
}

bool AwChooseFontDialog(void*) { return false; }

bool AwFileDialog(void*, char*, uint32_t, std::string_view, bool) { return false; }
