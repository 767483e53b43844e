#include "Awapi/aw3d/screen_geometry.h"

#include <bit>

AwScreenGeometry ScreenGeometry;

AwMaskShift AwMaskToShift(uint32_t mask) {
    if (mask == 0) return {};
    return {8u - static_cast<uint32_t>(std::popcount(mask)), static_cast<uint32_t>(std::countr_zero(mask))};
}

int AwGetScreenWidth() { return ScreenGeometry.Screen.right; }
int AwGetScreenHeight() { return ScreenGeometry.Screen.bottom; }
int AwGetScreenDepth() { return static_cast<int>(ScreenGeometry.Depth); }
int AwGetScreenPitch() { return ScreenGeometry.Pitch; }
