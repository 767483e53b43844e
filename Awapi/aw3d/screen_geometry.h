#pragma once
// The screen description shared by the device layer and the application
// shell. The device layer writes the mode it set; the shell writes the
// window's destination rectangle, the windowed and reference-rasterizer bits
// and the initial mode.

#include <cstdint>

#include "platform/d3d/ddraw_types.h"

constexpr uint32_t kDisplayWindowed = 0x1;
constexpr uint32_t kDisplayTripleBuffered = 0x2;
constexpr uint32_t kDisplayReferenceRasterizer = 0x80000000u;

// A colour mask as the loss of bits against 8 and the position of its lowest bit.
struct AwMaskShift {
    uint32_t loss = 8, shift = 0;
};
// An empty mask gives loss 8, shift 0.
AwMaskShift AwMaskToShift(uint32_t mask);

struct AwScreenGeometry {
    uint32_t Depth = 0;
    uint32_t DisplayFlags = 0;
    plat::Rect Screen;               // left 0, top 0, right = width, bottom = height
    float ScreenWidthF = 0, ScreenHeightF = 0;
    int32_t Pitch = 0;               // of the primary surface, in bytes
    AwMaskShift Red, Green, Blue;    // of an RGB primary
    plat::Rect Destination;          // the windowed present's target (the shell's)
    uint32_t InitialWidth = 640, InitialHeight = 480, InitialDepth = 16;
};

extern AwScreenGeometry ScreenGeometry;

int AwGetScreenWidth();
int AwGetScreenHeight();
int AwGetScreenDepth();
int AwGetScreenPitch();
