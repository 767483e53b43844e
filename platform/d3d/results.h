#pragma once
// Result codes of the DirectDraw 7 / Direct3D 7 shaped device layer, with the
// numeric values of the original interfaces (a negative value is a failure).

#include <cstdint>

namespace plat {

using HResult = int32_t;

constexpr bool Succeeded(HResult r) { return r >= 0; }
constexpr bool Failed(HResult r) { return r < 0; }

// The DirectDraw facility: 0x88760000 plus the code.
constexpr HResult DdResult(uint32_t code) { return static_cast<HResult>(0x88760000u | code); }

constexpr HResult kDdOk = 0;

// Generic COM failures.
constexpr HResult kDdErrUnsupported = static_cast<HResult>(0x80004001u);
constexpr HResult kDdErrNoInterface = static_cast<HResult>(0x80004002u);
constexpr HResult kDdErrOutOfMemory = static_cast<HResult>(0x8007000Eu);
constexpr HResult kDdErrInvalidParams = static_cast<HResult>(0x80070057u);

// DirectDraw.
constexpr HResult kDdErrCannotAttachSurface = DdResult(10);
constexpr HResult kDdErrInvalidCaps = DdResult(100);
constexpr HResult kDdErrInvalidMode = DdResult(120);
constexpr HResult kDdErrInvalidObject = DdResult(130);
constexpr HResult kDdErrInvalidPixelFormat = DdResult(145);
constexpr HResult kDdErrInvalidRect = DdResult(150);
constexpr HResult kDdErrNoColorKey = DdResult(215);
constexpr HResult kDdErrNoExclusiveMode = DdResult(225);
constexpr HResult kDdErrNotFound = DdResult(255);
constexpr HResult kDdErrOutOfVideoMemory = DdResult(380);
constexpr HResult kDdErrSurfaceAlreadyAttached = DdResult(410);
constexpr HResult kDdErrSurfaceBusy = DdResult(430);
constexpr HResult kDdErrSurfaceLost = DdResult(450);
constexpr HResult kDdErrSurfaceNotAttached = DdResult(460);
constexpr HResult kDdErrPrimarySurfaceAlreadyExists = DdResult(564);
constexpr HResult kDdErrNotFlippable = DdResult(582);
constexpr HResult kDdErrNotLocked = DdResult(584);
constexpr HResult kDdErrNotPalettized = DdResult(589);

// Direct3D.
constexpr HResult kD3dErrSceneInScene = DdResult(740);
constexpr HResult kD3dErrSceneNotInScene = DdResult(741);
constexpr HResult kD3dErrVertexBufferOptimized = DdResult(2060); // 0x8876080C
constexpr HResult kD3dErrVertexBufferLocked = DdResult(2062);
constexpr HResult kD3dErrVertexBufferUnlockFailed = DdResult(2063);
constexpr HResult kD3dErrZBufferNotPresent = DdResult(2070);
constexpr HResult kD3dErrStencilBufferNotPresent = DdResult(2071);
constexpr HResult kD3dErrUnsupportedColorOperation = DdResult(2073);
constexpr HResult kD3dErrUnsupportedAlphaOperation = DdResult(2075);
constexpr HResult kD3dErrTooManyOperations = DdResult(2077);
constexpr HResult kD3dErrUnsupportedTextureFilter = DdResult(2082);
constexpr HResult kD3dErrInvalidStateBlock = DdResult(2100);
constexpr HResult kD3dErrInBeginStateBlock = DdResult(2101);
constexpr HResult kD3dErrNotInBeginStateBlock = DdResult(2102);

} // namespace plat
